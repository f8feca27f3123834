#include "Platform/Telephony/ModemWatcher.h"

#include "Platform/Log.h"

ModemWatcher::ModemWatcher(const QDBusConnection &bus, const QString &service,
                           const QString &logName, QObject *parent)
    : QObject(parent), client(bus, service, logName),
      ownerWatcher(service, bus, QDBusServiceWatcher::WatchForOwnerChange)
{
    connect(&ownerWatcher, &QDBusServiceWatcher::serviceOwnerChanged, this,
            [this](const QString &, const QString &, const QString &newOwner) {
                followOwner(newOwner);
            });
}

std::optional<QString> ModemWatcher::modemWith(const QString &interface) const
{
    for (const auto &[path, interfaces] : modems) {
        if (interfaces.contains(interface))
            return path;
    }
    return std::nullopt;
}

void ModemWatcher::start()
{
    fetchModems();
}

void ModemWatcher::followOwner(const QString &newOwner)
{
    ++generation;
    if (newOwner.isEmpty()) {
        qCInfo(lcMolvane).noquote() << client.name() << "stopped";
        settle({}, QString());
        return;
    }
    qCInfo(lcMolvane).noquote() << client.name() << "started as" << newOwner;
    // Nothing is known of the new process until its modems are read.
    modems.clear();
    serviceOwner = newOwner;
    ready = false;
    Q_EMIT changed();
    fetchModems();
}

void ModemWatcher::fetchModems()
{
    const Query query = modemsQuery();
    const quint64 asked = generation;
    client.call(
        query.path, query.interface, query.method, {}, this,
        [this, asked](const QDBusMessage &reply) {
            if (asked == generation)
                settle(readModems(reply), reply.service());
        },
        [this, asked, method = query.method](const QDBusError &error) {
            if (asked != generation)
                return;
            if (!DBusClient::serviceAbsent(error))
                client.logError(method, error);
            settle({}, QString());
        });
}

void ModemWatcher::settle(Modems known, const QString &knownOwner)
{
    modems = std::move(known);
    serviceOwner = knownOwner;
    ready = true;
    Q_EMIT changed();
}

void ModemWatcher::addInterfaces(const QString &modem, const QStringList &interfaces)
{
    for (const QString &interface : interfaces)
        modems[modem].insert(interface);
    Q_EMIT changed();
}

void ModemWatcher::removeInterfaces(const QString &modem, const QStringList &interfaces)
{
    const auto found = modems.find(modem);
    if (found == modems.end())
        return;
    for (const QString &interface : interfaces)
        found->second.remove(interface);
    if (found->second.isEmpty())
        modems.erase(found);
    Q_EMIT changed();
}

void ModemWatcher::setInterfaces(const QString &modem, const QStringList &interfaces)
{
    modems.erase(modem);
    addInterfaces(modem, interfaces);
}

void ModemWatcher::removeModem(const QString &modem)
{
    if (modems.erase(modem))
        Q_EMIT changed();
}
