#include "Platform/Telephony/ModemManagerWatcher.h"

#include "Platform/Telephony/ModemManagerInterfaces.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>

namespace {
const QString objectManagerInterface = QStringLiteral("org.freedesktop.DBus.ObjectManager");
using InterfacesAndProperties = QMap<QString, QVariantMap>;
} // namespace

ModemManagerWatcher::ModemManagerWatcher(const QDBusConnection &bus, QObject *parent)
    : ModemWatcher(bus, ModemManager::service, QStringLiteral("ModemManager"), parent)
{
    client.subscribe(ModemManager::rootPath, objectManagerInterface,
                     QStringLiteral("InterfacesAdded"), this, SLOT(interfacesAdded(QDBusMessage)));
    client.subscribe(ModemManager::rootPath, objectManagerInterface,
                     QStringLiteral("InterfacesRemoved"), this,
                     SLOT(interfacesRemoved(QDBusMessage)));
    start();
}

ModemWatcher::Query ModemManagerWatcher::modemsQuery() const
{
    return {ModemManager::rootPath, objectManagerInterface, QStringLiteral("GetManagedObjects")};
}

ModemWatcher::Modems ModemManagerWatcher::readModems(const QDBusMessage &reply) const
{
    const auto objects =
        qdbus_cast<QMap<QDBusObjectPath, InterfacesAndProperties>>(reply.arguments().value(0));
    Modems modems;
    for (auto object = objects.begin(); object != objects.end(); ++object) {
        const QStringList interfaces = object.value().keys();
        modems[object.key().path()] = QSet<QString>(interfaces.begin(), interfaces.end());
    }
    return modems;
}

void ModemManagerWatcher::interfacesAdded(const QDBusMessage &signal)
{
    const QString modem = signal.arguments().value(0).value<QDBusObjectPath>().path();
    const auto interfaces = qdbus_cast<InterfacesAndProperties>(signal.arguments().value(1));
    addInterfaces(modem, interfaces.keys());
}

void ModemManagerWatcher::interfacesRemoved(const QDBusMessage &signal)
{
    const QString modem = signal.arguments().value(0).value<QDBusObjectPath>().path();
    removeInterfaces(modem, qdbus_cast<QStringList>(signal.arguments().value(1)));
}
