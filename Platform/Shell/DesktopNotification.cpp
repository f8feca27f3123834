#include "Platform/Shell/DesktopNotification.h"

namespace {
const QString serviceName = QStringLiteral("org.freedesktop.Notifications");
const QString path = QStringLiteral("/org/freedesktop/Notifications");
const QString appId = QStringLiteral("org.molvane.Molvane");
const uchar normalUrgency = 1;
// It waits for the user's answer, so it never expires.
const int neverExpires = 0;

QStringList flattened(const DesktopNotification::Actions &actions)
{
    QStringList keysAndLabels;
    for (const auto &[key, label] : actions)
        keysAndLabels << key << label;
    return keysAndLabels;
}

QVariantMap hints()
{
    return {{QStringLiteral("desktop-entry"), appId},
            {QStringLiteral("urgency"), QVariant::fromValue(normalUrgency)},
            {QStringLiteral("category"), QStringLiteral("call.incoming")}};
}
} // namespace

DesktopNotification::DesktopNotification(QObject *parent) : QObject(parent) {}

// Its actions would go nowhere once the app is gone.
DesktopNotification::~DesktopNotification()
{
    close();
}

void DesktopNotification::show(const QString &summary, const QString &body, const Actions &actions)
{
    if (awaitingId) {
        afterReply = [this, summary, body, actions] { show(summary, body, actions); };
        return;
    }
    awaitingId = true;
    service().call(
        path, serviceName, QStringLiteral("Notify"),
        {QStringLiteral("Molvane"), shownId.value_or(0), appId, summary, body, flattened(actions),
         hints(), neverExpires},
        this,
        [this](const QDBusMessage &reply) {
            shownId = reply.arguments().value(0).toUInt();
            replied();
        },
        [this](const QDBusError &error) {
            service().warnUnavailable(QStringLiteral("notifications are not shown"), error);
            replied();
        });
}

void DesktopNotification::close()
{
    if (awaitingId) {
        afterReply = [this] { close(); };
        return;
    }
    // Forgotten at once: the service's NotificationClosed for it is no dismissal.
    if (shownId)
        service().call(path, serviceName, QStringLiteral("CloseNotification"),
                       {*std::exchange(shownId, std::nullopt)}, this);
}

void DesktopNotification::replied()
{
    awaitingId = false;
    if (afterReply)
        std::exchange(afterReply, {})();
}

DBusClient &DesktopNotification::service()
{
    if (!client) {
        client.emplace(QDBusConnection::sessionBus(), serviceName, QStringLiteral("Notifications"),
                       DBusClient::Start::OnDemand);
        // Heard before anything is shown, so that no answer of the user is missed.
        client->subscribe(path, serviceName, QStringLiteral("ActionInvoked"), this,
                          SLOT(onActionInvoked(QDBusMessage)));
        client->subscribe(path, serviceName, QStringLiteral("NotificationClosed"), this,
                          SLOT(onNotificationClosed(QDBusMessage)));
    }
    return *client;
}

bool DesktopNotification::takesShown(const QDBusMessage &signal)
{
    if (!shownId || signal.arguments().value(0).toUInt() != *shownId)
        return false;
    shownId.reset();
    return true;
}

// The service takes the notification away once an action is chosen.
void DesktopNotification::onActionInvoked(const QDBusMessage &signal)
{
    if (takesShown(signal))
        Q_EMIT actionInvoked(signal.arguments().value(1).toString());
}

void DesktopNotification::onNotificationClosed(const QDBusMessage &signal)
{
    if (takesShown(signal))
        Q_EMIT dismissed();
}
