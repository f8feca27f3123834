#pragma once

#include "Platform/Telephony/DBusClient.h"

#include <QObject>
#include <functional>
#include <optional>

// The phone's call audio, routed by callaudiod on the session bus where a phone runs it: the
// voice-call mode while a call is up, the speaker and the microphone. On a desktop it is absent
// and there is nothing to route. The bus is reached only once a call needs it, not at start.
class CallAudio : public QObject
{
    Q_OBJECT

public:
    enum Mode : uint
    {
        DefaultMode = 0,
        VoiceCallMode = 1,
    };

    using QObject::QObject;

    // Tells then, while requester lives, whether the service runs or the bus can start it;
    // asked afresh each time, since it may come later than the app, and never waited for. Its
    // absence is logged once. Requests go nowhere until it has been looked for.
    void findService(QObject *requester, std::function<void(bool found)> then);
    void selectMode(Mode mode);
    void enableSpeaker(bool on);
    void muteMic(bool muted);

private:
    void listActivatable(const std::function<void(bool found)> &then);
    void found(bool present, const std::function<void(bool found)> &then);
    void request(const QString &method, const QVariant &argument);

    std::optional<DBusClient> client;
    std::optional<DBusClient> busDaemon;
    bool absenceLogged = false;
};
