#include "Platform/Telephony/OfonoWatcher.h"

#include "Platform/Telephony/OfonoInterfaces.h"

namespace {
const QString interfacesProperty = QStringLiteral("Interfaces");
}

OfonoWatcher::OfonoWatcher(const QDBusConnection &bus, QObject *parent)
    : ModemWatcher(bus, Ofono::service, QStringLiteral("oFono"), parent)
{
    client.subscribe(QStringLiteral("/"), Ofono::managerInterface, QStringLiteral("ModemAdded"),
                     this, SLOT(modemAdded(QDBusMessage)));
    client.subscribe(QStringLiteral("/"), Ofono::managerInterface, QStringLiteral("ModemRemoved"),
                     this, SLOT(modemRemoved(QDBusMessage)));
    // A modem lists VoiceCallManager only once it is powered and online.
    client.subscribe(QString(), Ofono::modemInterface, QStringLiteral("PropertyChanged"), this,
                     SLOT(modemPropertyChanged(QDBusMessage)), {interfacesProperty});
    start();
}

ModemWatcher::Query OfonoWatcher::modemsQuery() const
{
    return {QStringLiteral("/"), Ofono::managerInterface, QStringLiteral("GetModems")};
}

ModemWatcher::Modems OfonoWatcher::readModems(const QDBusMessage &reply) const
{
    Modems modems;
    for (const auto &[path, properties] :
         Ofono::objectsWithProperties(reply.arguments().value(0))) {
        const auto interfaces = qdbus_cast<QStringList>(properties.value(interfacesProperty));
        if (!interfaces.isEmpty())
            modems[path] = QSet<QString>(interfaces.begin(), interfaces.end());
    }
    return modems;
}

void OfonoWatcher::modemAdded(const QDBusMessage &signal)
{
    const QString modem = signal.arguments().value(0).value<QDBusObjectPath>().path();
    const auto properties = qdbus_cast<QVariantMap>(signal.arguments().value(1));
    setInterfaces(modem, qdbus_cast<QStringList>(properties.value(interfacesProperty)));
}

void OfonoWatcher::modemRemoved(const QDBusMessage &signal)
{
    removeModem(signal.arguments().value(0).value<QDBusObjectPath>().path());
}

void OfonoWatcher::modemPropertyChanged(const QDBusMessage &signal)
{
    const QVariant value = signal.arguments().value(1).value<QDBusVariant>().variant();
    setInterfaces(signal.path(), qdbus_cast<QStringList>(value));
}
