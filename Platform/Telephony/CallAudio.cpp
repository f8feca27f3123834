#include "Platform/Telephony/CallAudio.h"

#include "Platform/Log.h"

#include <QDBusConnectionInterface>

namespace {
const QString service = QStringLiteral("org.mobian_project.CallAudio");
const QString path = QStringLiteral("/org/mobian_project/CallAudio");
} // namespace

bool CallAudio::isAvailable()
{
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!client)
        client.emplace(bus, service, QStringLiteral("Call audio"), DBusClient::Start::OnDemand);
    QDBusConnectionInterface *daemon = bus.isConnected() ? bus.interface() : nullptr;
    const bool available = daemon && (daemon->isServiceRegistered(service).value() ||
                                      daemon->activatableServiceNames().value().contains(service));
    if (!available && !absenceLogged) {
        absenceLogged = true;
        qCInfo(lcMolvane).noquote()
            << "Call audio: no callaudiod on the session bus, so the call's audio stays where "
               "the system routes it and the speaker and mute controls are hidden";
    }
    return available;
}

void CallAudio::selectMode(Mode mode)
{
    request(QStringLiteral("SelectMode"), uint(mode));
}

void CallAudio::enableSpeaker(bool on)
{
    request(QStringLiteral("EnableSpeaker"), on);
}

void CallAudio::muteMic(bool muted)
{
    request(QStringLiteral("MuteMic"), muted);
}

// Each method answers whether it succeeded; a refusal is worth a log line, nothing more.
void CallAudio::request(const QString &method, const QVariant &argument)
{
    if (!client)
        return;
    client->call(path, service, method, {argument}, this,
                 [this, method](const QDBusMessage &reply) {
                     if (!reply.arguments().value(0).toBool())
                         qCInfo(lcMolvane).noquote() << "Call audio:" << method << "was refused";
                 });
}
