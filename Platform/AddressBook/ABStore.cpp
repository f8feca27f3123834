#include "Platform/AddressBook/ABStore.h"

#include "Platform/AddressBook/ABPhoneBookStore.h"
#include "Platform/AddressBook/ABSQLiteStore.h"
#include "Platform/AddressBook/ABVCardFolderStore.h"
#include "Platform/Log.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QEventLoop>
#include <QFileInfo>
#include <QTimer>
#include <algorithm>

namespace {
constexpr char registryService[] = "org.gnome.evolution.dataserver.Sources5";
constexpr int busAnswerMs = 2000;

std::unique_ptr<ABStore> sharedStore;

// Whether the registry runs or can be started on the session bus. Asked without blocking: the
// event loop runs while the bus answers.
bool phoneBookCanRun()
{
    QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected())
        return false;
    const QString service = QLatin1String(registryService);
    QDBusPendingReply<bool> running =
        bus.interface()->asyncCall(QStringLiteral("NameHasOwner"), service);
    QDBusPendingReply<QStringList> activatable =
        bus.interface()->asyncCall(QStringLiteral("ListActivatableNames"));
    QEventLoop loop;
    QTimer::singleShot(busAnswerMs, &loop, &QEventLoop::quit);
    int answered = 0;
    for (QDBusPendingCall *call : {static_cast<QDBusPendingCall *>(&running),
                                   static_cast<QDBusPendingCall *>(&activatable)}) {
        auto *watcher = new QDBusPendingCallWatcher(*call, &loop);
        QObject::connect(watcher, &QDBusPendingCallWatcher::finished, &loop, [&] {
            if (++answered == 2)
                loop.quit();
        });
    }
    if (answered < 2)
        loop.exec();
    return (running.isValid() && running.value()) ||
           (activatable.isValid() && activatable.value().contains(service));
}

bool sessionIsPlasma()
{
    return qEnvironmentVariable("XDG_CURRENT_DESKTOP").contains(QLatin1String("KDE")) ||
           qEnvironmentVariableIsSet("KDE_FULL_SESSION");
}

std::optional<ABStoreKind> kindAskedFor()
{
    const QString asked = qEnvironmentVariable("MOLVANE_ADDRESS_BOOK").trimmed().toLower();
    if (asked == QLatin1String("eds"))
        return ABStoreKind::PhoneBook;
    if (asked == QLatin1String("folder"))
        return ABStoreKind::VCardFolder;
    if (asked == QLatin1String("sqlite"))
        return ABStoreKind::SQLite;
    if (!asked.isEmpty())
        qCWarning(lcMolvane).noquote()
            << "MOLVANE_ADDRESS_BOOK is" << asked
            << "- not one of eds, folder, sqlite; the address book is chosen as usual";
    return std::nullopt;
}

ABStoreKind chooseKind()
{
    if (const std::optional<ABStoreKind> asked = kindAskedFor())
        return *asked;
    if (phoneBookCanRun())
        return ABStoreKind::PhoneBook;
    if (QFileInfo::exists(ABVCardFolderStore::defaultPath()) || sessionIsPlasma())
        return ABStoreKind::VCardFolder;
    return ABStoreKind::SQLite;
}

std::optional<ABStoreKind> chosen;

std::unique_ptr<ABStore> openStore(ABStoreKind kind, ABErrorOut error)
{
    switch (kind) {
    case ABStoreKind::PhoneBook:
        return ABPhoneBookStore::open(error);
    case ABStoreKind::VCardFolder:
        return ABVCardFolderStore::open(error);
    case ABStoreKind::SQLite:
        break;
    }
    return ABSQLiteStore::open(error);
}
} // namespace

ABStoreKind ABStore::chosenKind()
{
    if (!chosen)
        chosen = chooseKind();
    return *chosen;
}

ABStore *ABStore::shared(ABErrorOut error)
{
    if (sharedStore && sharedStore->hasMoved())
        closeShared();
    if (sharedStore)
        return sharedStore.get();
    static const bool closedBeforeExit = [] {
        // The phone book's connection has a thread that must end while the application exists.
        qAddPostRoutine(&ABStore::closeShared);
        return true;
    }();
    Q_UNUSED(closedBeforeExit)
    sharedStore = openStore(chosenKind(), error);
    return sharedStore.get();
}

void ABStore::closeShared()
{
    sharedStore.reset();
    chosen.reset();
}

const std::vector<ABStoreSnapshot::Record> &ABStoreSnapshot::records(ABRecordType type) const
{
    return type == kABGroupType ? groups : people;
}

std::vector<ABStoreSnapshot::Record> &ABStoreSnapshot::records(ABRecordType type)
{
    return type == kABGroupType ? groups : people;
}

std::optional<size_t> ABStoreSnapshot::indexOf(ABRecordType type, ABRecordID recordID) const
{
    const auto &list = records(type);
    const auto found = std::lower_bound(
        list.begin(), list.end(), recordID,
        [](const Record &record, ABRecordID wanted) { return record.recordID < wanted; });
    if (found == list.end() || found->recordID != recordID)
        return std::nullopt;
    return size_t(found - list.begin());
}
