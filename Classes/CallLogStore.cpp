#include "CallLogStore.h"

#include "Platform/Files/BundleResource.h"
#include "Platform/Files/DocumentsDirectory.h"
#include "Platform/Files/PropertyList.h"
#include "Platform/Log.h"

namespace {
const QString callLogName = QStringLiteral("calllog");

QString pathOfList(const QString &baseName)
{
    return DocumentsDirectory() + QLatin1Char('/') + QStringLiteral("%1.plist").arg(baseName);
}

// The path of the list's file, with the bundled seed copied there when no file exists yet.
QString seededPathOfList(const QString &baseName)
{
    const QString path = pathOfList(baseName);
    CopyBundleResourceIfMissing(baseName, QStringLiteral("plist"), path);
    return path;
}
} // namespace

CallLogStore &CallLogStore::shared()
{
    static CallLogStore store;
    return store;
}

QString CallLogStore::path()
{
    return pathOfList(callLogName);
}

std::optional<CallLog> CallLogStore::load() const
{
    return loadList(callLogName);
}

std::optional<CallLog> CallLogStore::record(const CallLogEntry &entry)
{
    std::optional<CallLog> log = load();
    if (!log)
        return std::nullopt;
    dropFirstEntryFor(*log, entry.phoneNumber().value_or(QString()));
    log->append(entry.toVariant());
    save(*log);
    return log;
}

void CallLogStore::save(const CallLog &log)
{
    saveList(log, callLogName);
}

void CallLogStore::clear()
{
    save(CallLog());
}

void CallLogStore::dropFirstEntryFor(CallLog &log, const QString &number)
{
    const QString wanted = number.toLower();
    for (qsizetype position = 0; position < log.size(); ++position) {
        const auto logged = CallLogEntry(log.at(position)).phoneNumber();
        if (logged && logged->toLower() == wanted) {
            log.removeAt(position);
            return;
        }
    }
}

std::optional<CallLog> CallLogStore::loadList(const QString &baseName)
{
    std::optional<CallLog> list = ReadPropertyListArray(seededPathOfList(baseName));
    NSLog(QStringLiteral("Data in Plist at appDelegate is %1").arg(DescribePropertyList(list)));
    return list;
}

void CallLogStore::saveList(const CallLog &list, const QString &baseName)
{
    const QString path = seededPathOfList(baseName);
    if (!WritePropertyListAtomically(path, list))
        qCWarning(lcMolvane).noquote() << path << "could not be saved; it is left as it was";
    NSLog(QStringLiteral("Data after adding at appDelegate is %1").arg(DescribePropertyList(list)));
    if (baseName == callLogName)
        Q_EMIT shared().changed(list);
}
