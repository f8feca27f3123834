#include "Platform/Shell/DesktopNotification.h"
#include "support/DBusMock.h"
#include "support/PrivateBus.h"
#include "support/TestMain.h"

#include <QDBusArgument>

namespace {
const DesktopNotification::Actions answerOrDecline = {{"answer", "Answer"}, {"decline", "Decline"}};
} // namespace

// The notification as the desktop's notification service sees it, and the user's answers.
class DesktopNotificationTest : public QObject
{
    Q_OBJECT

    PrivateBus sessionBus{PrivateBus::Session};
    std::optional<DBusMock> daemon;
    QStringList heard;

    void listen(DesktopNotification &notification)
    {
        connect(&notification, &DesktopNotification::actionInvoked, this,
                [this](const QString &key) { heard << key; });
        connect(&notification, &DesktopNotification::dismissed, this,
                [this] { heard << "dismissed"; });
    }

    // A signal as "ActionInvoked id key" or "NotificationClosed id reason".
    void emitSignal(const QString &signal) const
    {
        const QStringList words = signal.split(' ');
        const bool action = words[0] == "ActionInvoked";
        const QVariant last = action ? QVariant(words[2]) : QVariant(words[2].toUInt());
        daemon->control(
            "/org/freedesktop/Notifications", "EmitSignal",
            {"", words[0], action ? "us" : "uu", QVariantList{words[1].toUInt(), last}});
    }

    // The daemon's answers are in, and what they led to has reached it and come back.
    void settle() const
    {
        daemon->catchUp();
        daemon->catchUp();
    }

private Q_SLOTS:
    void init()
    {
        daemon.emplace("org.freedesktop.Notifications", "notification_daemon", QVariantMap(),
                       QDBusConnection::SessionBus);
        QVERIFY(daemon->start());
        heard.clear();
    }

    void showsItsTextsAndActionsUntilAnswered()
    {
        DesktopNotification notification;
        notification.show("Callback", "+74951112233 is calling", answerOrDecline);
        settle();
        const QVariantList notify = daemon->callsOf("Notify").value(0);
        QCOMPARE(notify.mid(0, 6),
                 QVariantList({"Molvane", 0u, "org.molvane.Molvane", "Callback",
                               "+74951112233 is calling",
                               QStringList{"answer", "Answer", "decline", "Decline"}}));
        QCOMPARE(qdbus_cast<QVariantMap>(notify.value(6)),
                 QVariantMap({{"desktop-entry", "org.molvane.Molvane"},
                              {"urgency", QVariant::fromValue(uchar(1))},
                              {"category", "call.incoming"}}));
        QCOMPARE(notify.value(7), 0);
    }

    // Asked again before the first id came back, it still replaces the one shown.
    void aSecondShowReplacesTheFirst()
    {
        DesktopNotification notification;
        notification.show("Callback", "Ringing", answerOrDecline);
        notification.show("Callback", "Missed", {});
        settle();
        QCOMPARE(daemon->callsOf("Notify").value(1).mid(1, 4),
                 QVariantList({1u, "org.molvane.Molvane", "Callback", "Missed"}));
    }

    void close_data()
    {
        QTest::addColumn<bool>("idKnown");
        QTest::newRow("once shown") << true;
        QTest::newRow("before its id came back") << false;
    }
    // The daemon's NotificationClosed that follows is no answer of the user's.
    void close()
    {
        QFETCH(bool, idKnown);
        DesktopNotification notification;
        listen(notification);
        notification.show("Callback", "Ringing", answerOrDecline);
        if (idKnown)
            daemon->catchUp();
        notification.close();
        settle();
        QCOMPARE(daemon->callsOf("CloseNotification"), QList<QVariantList>{{1u}});
        QCOMPARE(heard, QStringList());
    }

    void followsOnlyItsOwnNotification_data()
    {
        QTest::addColumn<QStringList>("emitted");
        QTest::addColumn<QStringList>("expected");
        QTest::newRow("an action chosen")
            << QStringList{"ActionInvoked 1 answer"} << QStringList{"answer"};
        QTest::newRow("dismissed by the user")
            << QStringList{"NotificationClosed 1 2"} << QStringList{"dismissed"};
        QTest::newRow("closed by the daemon after the action")
            << QStringList{"ActionInvoked 1 decline", "NotificationClosed 1 3"}
            << QStringList{"decline"};
        QTest::newRow("another app's notification")
            << QStringList{"ActionInvoked 7 answer", "NotificationClosed 7 2"} << QStringList();
    }
    void followsOnlyItsOwnNotification()
    {
        QFETCH(QStringList, emitted);
        QFETCH(QStringList, expected);
        DesktopNotification notification;
        listen(notification);
        notification.show("Callback", "Ringing", answerOrDecline);
        daemon->catchUp();
        for (const QString &signal : emitted)
            emitSignal(signal);
        daemon->catchUp();
        QCOMPARE(heard, expected);
    }

    void withoutTheDaemonWarnsOnceAndShowsNothing()
    {
        daemon->stop();
        const QRegularExpression warning("^Notifications: org.freedesktop.Notifications cannot be "
                                         "reached, so notifications are not shown: ");
        QTest::ignoreMessage(QtWarningMsg, warning);
        QTest::failOnWarning(warning);
        DesktopNotification notification;
        notification.show("Callback", "Ringing", answerOrDecline);
        daemon->catchUp();
        notification.show("Callback", "Missed", {});
        notification.close();
        daemon->catchUp();
    }
};

MOLVANE_TEST_MAIN(DesktopNotificationTest)
#include "tst_DesktopNotification.moc"
