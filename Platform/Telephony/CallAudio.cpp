#include "Platform/Telephony/CallAudio.h"

#include "Platform/Log.h"

#include <QPointer>

namespace {
const QString service = QStringLiteral("org.mobian_project.CallAudio");
const QString path = QStringLiteral("/org/mobian_project/CallAudio");
const QString daemonService = QStringLiteral("org.freedesktop.DBus");
const QString daemonPath = QStringLiteral("/org/freedesktop/DBus");
const QString logName = QStringLiteral("Call audio");
} // namespace

void CallAudio::findService(QObject *requester, std::function<void(bool found)> then)
{
    const auto told = [requester = QPointer(requester), then = std::move(then)](bool present) {
        if (requester)
            then(present);
    };
    const QDBusConnection bus = QDBusConnection::sessionBus();
    if (!bus.isConnected()) {
        found(false, told);
        return;
    }
    if (!client) {
        client.emplace(bus, service, logName, DBusClient::Start::OnDemand);
        busDaemon.emplace(bus, daemonService, logName);
    }
    busDaemon->call(
        daemonPath, daemonService, QStringLiteral("NameHasOwner"), {service}, this,
        [this, told](const QDBusMessage &reply) {
            if (reply.arguments().value(0).toBool())
                found(true, told);
            else
                listActivatable(told);
        },
        [this, told](const QDBusError &) { found(false, told); });
}

// Debian's callaudiod is started by the bus on its first call.
void CallAudio::listActivatable(const std::function<void(bool found)> &then)
{
    busDaemon->call(
        daemonPath, daemonService, QStringLiteral("ListActivatableNames"), {}, this,
        [this, then](const QDBusMessage &reply) {
            found(reply.arguments().value(0).toStringList().contains(service), then);
        },
        [this, then](const QDBusError &) { found(false, then); });
}

void CallAudio::found(bool present, const std::function<void(bool found)> &then)
{
    if (!present && !absenceLogged) {
        absenceLogged = true;
        qCInfo(lcMolvane).noquote()
            << "Call audio: no callaudiod on the session bus, so the call's audio stays where "
               "the system routes it and the speaker and mute controls are hidden";
    }
    then(present);
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
