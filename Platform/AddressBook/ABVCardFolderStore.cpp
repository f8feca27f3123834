#include "Platform/AddressBook/ABVCardFolderStore.h"

#include "Platform/AddressBook/ContactsModule.h"
#include "Platform/Files/ReadFileBounded.h"

#include <QDir>
#include <QDirIterator>
#include <QFileInfo>
#include <QFileSystemWatcher>
#include <QSaveFile>
#include <QSet>
#include <QStandardPaths>
#include <QUuid>

namespace {
constexpr qint64 MaxCardFileSize = 16 * 1024 * 1024;
// Changes come in bursts (an app writing several files); one look after they settle. A file
// caught half-written is looked at again after the same time.
constexpr int settleMs = 100;

const ContactsModule *module(ABErrorOut error)
{
    QString reason;
    const ContactsModule *loaded = LoadContactsModule(&reason);
    if (!loaded)
        ABFail(error, ABError::Code::StoreUnavailable,
               QStringLiteral("The contacts folder cannot be read: %1").arg(reason));
    return loaded;
}

// The file's first card; nothing when it holds no whole card (yet).
std::optional<VCard> firstCard(const ContactsModule &parser, const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    const std::optional<QByteArray> bytes = ReadFileBounded(file, MaxCardFileSize);
    if (!bytes)
        return std::nullopt;
    VCardFileContents contents = parser.parse(*bytes);
    if (contents.cards.isEmpty())
        return std::nullopt;
    return contents.cards.constFirst();
}
} // namespace

QString ABVCardFolderStore::defaultPath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) +
           QStringLiteral("/kpeoplevcard");
}

std::unique_ptr<ABVCardFolderStore> ABVCardFolderStore::open(ABErrorOut error)
{
    if (!module(error))
        return nullptr;
    const QString root = defaultPath();
    if (!QDir().mkpath(root)) {
        ABFail(error, ABError::Code::StoreUnavailable,
               QStringLiteral("The contacts folder %1 cannot be made").arg(root));
        return nullptr;
    }
    std::unique_ptr<ABVCardFolderStore> store(new ABVCardFolderStore(root));
    store->scan();
    return store;
}

ABVCardFolderStore::ABVCardFolderStore(const QString &root)
    : root(root), watcher(new QFileSystemWatcher(this))
{
    rescan.setSingleShot(true);
    rescan.setInterval(settleMs);
    connect(&rescan, &QTimer::timeout, this, &ABVCardFolderStore::scan);
    connect(watcher, &QFileSystemWatcher::directoryChanged, &rescan, qOverload<>(&QTimer::start));
    connect(watcher, &QFileSystemWatcher::fileChanged, &rescan, qOverload<>(&QTimer::start));
}

// Reads the files that are new or changed since the last look, and lets go of those gone.
void ABVCardFolderStore::scan()
{
    const ContactsModule *parser = module(nullptr);
    QStringList directories{root};
    QSet<QString> files;
    QList<std::pair<QString, VCard>> changedCards;
    bool halfWritten = false;
    QDirIterator found(root, QDir::Files | QDir::Dirs | QDir::NoDotAndDotDot,
                       QDirIterator::Subdirectories | QDirIterator::FollowSymlinks);
    while (found.hasNext()) {
        const QString path = found.next();
        const QFileInfo info = found.fileInfo();
        if (info.isDir()) {
            directories.append(path);
            continue;
        }
        const QString suffix = info.suffix().toLower();
        if (suffix != QLatin1String("vcf") && suffix != QLatin1String("vcard"))
            continue;
        files.insert(path);
        const auto known = seen.constFind(path);
        if (known != seen.cend() && known->modified == info.lastModified() &&
            known->size == info.size())
            continue;
        if (std::optional<VCard> card = parser ? firstCard(*parser, path) : std::nullopt) {
            changedCards.append({path, std::move(*card)});
            seen.insert(path, {info.lastModified(), info.size()});
        } else {
            halfWritten = true;
        }
    }
    QStringList gone;
    for (auto known = seen.begin(); known != seen.end();) {
        if (files.contains(known.key())) {
            ++known;
            continue;
        }
        gone.append(known.key());
        known = seen.erase(known);
    }
    if (!gone.isEmpty())
        dropCards(gone);
    if (!changedCards.isEmpty())
        takeCards(changedCards);
    watch(directories, files);
    if (halfWritten)
        rescan.start();
}

// Folders for files coming and going, files for those rewritten in place.
void ABVCardFolderStore::watch(const QStringList &directories, const QSet<QString> &files)
{
    const QStringList watchedPaths = watcher->files() + watcher->directories();
    const QSet<QString> watched(watchedPaths.cbegin(), watchedPaths.cend());
    QStringList wanted = directories + files.values();
    wanted.removeIf([&watched](const QString &path) { return watched.contains(path); });
    if (!wanted.isEmpty())
        watcher->addPaths(wanted);
}

void ABVCardFolderStore::remember(const QString &path)
{
    const QFileInfo info(path);
    seen.insert(path, {info.lastModified(), info.size()});
}

bool ABVCardFolderStore::writeFile(const QString &path, const QList<VCardProperty> &card,
                                   ABErrorOut error)
{
    QSaveFile file(path);
    if (!QDir().mkpath(QFileInfo(path).path()) || !file.open(QIODevice::WriteOnly) ||
        file.write(VCardWrite(card, VCardVersion::V30)) < 0 || !file.commit())
        return ABFail(error, ABError::Code::SaveFailed,
                      QStringLiteral("The address book could not be saved: %1: %2")
                          .arg(path, file.errorString()));
    remember(path);
    return true;
}

std::optional<QStringList> ABVCardFolderStore::writeCards(const CardWrites &writes,
                                                          ABErrorOut error)
{
    for (const auto &[path, card] : writes.changed) {
        if (!writeFile(path, card, error))
            return std::nullopt;
    }
    QStringList added;
    for (const QList<VCardProperty> &card : writes.added) {
        const QString path = root + QStringLiteral("/own/") +
                             QUuid::createUuid().toString(QUuid::WithoutBraces) +
                             QStringLiteral(".vcf");
        if (!writeFile(path, card, error))
            return std::nullopt;
        added.append(path);
    }
    for (const QString &path : writes.removed) {
        if (QFile::exists(path) && !QFile::remove(path)) {
            ABFail(error, ABError::Code::SaveFailed,
                   QStringLiteral("The address book could not be saved: %1 cannot be removed")
                       .arg(path));
            return std::nullopt;
        }
        seen.remove(path);
    }
    return added;
}
