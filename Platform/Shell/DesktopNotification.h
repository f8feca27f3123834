#pragma once

#include "Platform/Telephony/DBusClient.h"

#include <QObject>
#include <functional>
#include <optional>
#include <utility>

// The app's one notification on the desktop's notification service: it stays until closed and
// tells which of its actions the user chose. The service tells only the app that showed it, and
// only while that runs. Without the service nothing is shown, and the log says so once.
class DesktopNotification : public QObject
{
    Q_OBJECT

public:
    using Actions = QList<std::pair<QString, QString>>;

    explicit DesktopNotification(QObject *parent = nullptr);
    ~DesktopNotification() override;

    // Shows the notification in place of the one shown before; actions are (key, label) pairs.
    void show(const QString &summary, const QString &body, const Actions &actions);
    void close();

Q_SIGNALS:
    void actionInvoked(const QString &key);
    // Closed by the user or the service, not by close().
    void dismissed();

private Q_SLOTS:
    void onActionInvoked(const QDBusMessage &signal);
    void onNotificationClosed(const QDBusMessage &signal);

private:
    DBusClient &service();
    void replied();
    // Whether the signal is about the notification shown, which it then no longer is.
    bool takesShown(const QDBusMessage &signal);

    std::optional<DBusClient> client;
    std::optional<uint> shownId;
    // Until Notify answers with the id, what is asked meanwhile waits, the latest wish only.
    bool awaitingId = false;
    std::function<void()> afterReply;
};
