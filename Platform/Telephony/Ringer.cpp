#include "Platform/Telephony/Ringer.h"

namespace {
const QString service = QStringLiteral("org.sigxcpu.Feedback");
const QString path = QStringLiteral("/org/sigxcpu/Feedback");
const QString appId = QStringLiteral("org.molvane.Molvane");
// The ring tone and vibration of the user's feedback theme.
const QString incomingCall = QStringLiteral("phone-incoming-call");
const int untilEnded = 0;
} // namespace

Ringer::Ringer(QObject *parent) : QObject(parent) {}

Ringer::~Ringer()
{
    stop();
}

void Ringer::start()
{
    if (std::exchange(ringing, true) || triggering)
        return;
    triggering = true;
    feedbackd().call(
        path, service, QStringLiteral("TriggerFeedback"),
        {appId, incomingCall, QVariantMap(), untilEnded}, this,
        [this](const QDBusMessage &reply) {
            triggering = false;
            triggered(reply.arguments().value(0).toUInt());
        },
        [this](const QDBusError &error) {
            triggering = false;
            ringing = false;
            feedbackd().warnUnavailable(QStringLiteral("incoming calls neither ring nor vibrate"),
                                        error);
        });
}

void Ringer::stop()
{
    ringing = false;
    if (feedbackId)
        end(*std::exchange(feedbackId, std::nullopt));
}

// Stopped while it was being started: the ring ends as soon as it has an id.
void Ringer::triggered(uint id)
{
    if (ringing)
        feedbackId = id;
    else
        end(id);
}

void Ringer::end(uint id)
{
    feedbackd().call(path, service, QStringLiteral("EndFeedback"), {id}, this);
}

// feedbackd is started by the bus on Phosh.
DBusClient &Ringer::feedbackd()
{
    if (!client)
        client.emplace(QDBusConnection::sessionBus(), service, QStringLiteral("Ringer"),
                       DBusClient::Start::OnDemand);
    return *client;
}
