#include "AwaitedCallback.h"
#include "CallbackAttendant.h"
#include "DialerPadViewController.h"
#include "InCallBar.h"
#include "Platform/Telephony/CTTelephonyCenter.h"
#include "Platform/UI/TabBarController.h"
#include "support/DBusMock.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/PrivateBus.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QPushButton>
#include <QTimer>

Q_DECLARE_METATYPE(DialOutcome)

// The awaited callback seen through with the window open, closed, and brought back.
class CallbackAttendantTest : public QObject
{
    Q_OBJECT

    PrivateBus sessionBus{PrivateBus::Session};
    std::unique_ptr<DBusMock> notifications;
    std::unique_ptr<DBusMock> feedbackd;
    std::unique_ptr<LaunchedApplication> app;
    RecordingBackend *modem = nullptr;

    QWidget *window() const { return app->delegate()->window.get(); }
    CallbackAttendant *attendant() const { return window()->findChild<CallbackAttendant *>(); }
    InCallBar *bar() const
    {
        return app->delegate()->dialerPadViewController->findChild<InCallBar *>();
    }
    DialPadScreen screen() const { return DialPadScreen(app->delegate()->dialerPadViewController); }

    void launch(bool autoAnswer, const QString &language = "english")
    {
        app.reset();
        modem = RecordingBackend::install();
        app = std::make_unique<LaunchedApplication>(
            QVariantMap{{"enable_autoanswer", autoAnswer}, {"current_language", language}});
    }
    void request(const QString &number = "+79161234567")
    {
        screen().enter(number);
        QTest::mouseClick(screen().call, Qt::LeftButton);
        QTRY_COMPARE(modem->dialled.size(), 1);
    }
    void report(const QString &callID, CTCallState state, const QString &number = "+70000000146")
    {
        Q_EMIT modem->callEvent(CTCall(callID, state, number));
    }
    // The mock numbers notifications from 1 as they are first shown.
    uint lastNotificationId() const
    {
        uint shown = 0;
        for (const QVariantList &notify : notifications->callsOf("Notify"))
            shown += notify.at(1).toUInt() == 0;
        return shown;
    }
    QStringList answeredCalls() const
    {
        QStringList calls;
        for (const CTCall &call : modem->answered)
            calls << call.callID();
        return calls;
    }

private Q_SLOTS:
    void initTestCase()
    {
        notifications =
            std::make_unique<DBusMock>("org.freedesktop.Notifications", "notification_daemon",
                                       QVariantMap{}, QDBusConnection::SessionBus);
        QVERIFY(notifications->start());
        feedbackd = std::make_unique<DBusMock>("org.sigxcpu.Feedback",
                                               QDir(qEnvironmentVariable("MOLVANE_SOURCE_DIR"))
                                                   .filePath("tests/support/feedbackd_template.py"),
                                               QVariantMap{}, QDBusConnection::SessionBus);
        QVERIFY(feedbackd->start());
    }
    void cleanup()
    {
        app.reset();
        feedbackd->calls.clear();
    }

    // Closed while the callback is awaited, the app stays and says so; it answers the callback
    // and no later caller, and brings the window back for the call, which takes it away again.
    void closedWindowAnswersOnlyTheAwaitedCallback()
    {
        launch(true);
        request();
        const qsizetype noticesBefore = notifications->callsOf("Notify").size();
        QVERIFY(window()->close());
        QVERIFY(attendant()->staysWithoutWindow());
        QCOMPARE(CTTelephonyCenterGetDefault()->registrationCount(), 0);
        QTRY_COMPARE(notifications->callsOf("Notify").size(), noticesBefore + 1);
        const QVariantList notice = notifications->callsOf("Notify").last();
        QCOMPARE(notice.at(4).toString(), "Waiting for the operator's callback");
        QCOMPARE(notice.at(5).toStringList(), QStringList({"cancel", "Cancel"}));

        app->delegate()->mainTab->setSelectedIndex(1);
        report("callback", CTCallStateIncoming);
        report("stranger", CTCallStateIncoming, "+78120000000");
        QCOMPARE(answeredCalls(), QStringList{"callback"});
        QVERIFY(window()->isVisible());
        QCOMPARE(app->delegate()->mainTab->selectedIndex(), 0);
        report("callback", CTCallStateConnected);
        QVERIFY(bar()->isVisible());
        QTRY_VERIFY(notifications->methodsCalled().contains("CloseNotification"));

        report("stranger", CTCallStateDisconnected, "+78120000000");
        report("callback", CTCallStateDisconnected);
        QVERIFY(!window()->isVisible());
        QVERIFY(!attendant()->staysWithoutWindow());
    }

    // Nothing awaited, a close ends the app as always; a wait given up, or run out, ends it too.
    void theAppGoesWhenNothingIsAwaited()
    {
        launch(true);
        QVERIFY(window()->close());
        QVERIFY(!attendant()->staysWithoutWindow());

        launch(false);
        request();
        QVERIFY(window()->close());
        QVERIFY(!attendant()->staysWithoutWindow());

        launch(true);
        request();
        const qsizetype noticesBefore = notifications->callsOf("Notify").size();
        QVERIFY(window()->close());
        QTRY_COMPARE(notifications->callsOf("Notify").size(), noticesBefore + 1);
        const uint shown = lastNotificationId();
        notifications->control("/org/freedesktop/Notifications", "EmitSignal",
                               {"org.freedesktop.Notifications", "ActionInvoked", "us",
                                QVariantList{shown, "cancel"}});
        QTRY_VERIFY(!attendant()->staysWithoutWindow());
        QVERIFY(!AwaitedCallback::shared().isAwaiting());

        launch(true);
        request();
        QVERIFY(window()->close());
        window()->show();
        QVERIFY(!attendant()->staysWithoutWindow());
        QVERIFY(window()->close());
        QVERIFY(attendant()->staysWithoutWindow());
        AwaitedCallback::shared().findChild<QTimer *>("CallbackWait")->start(0);
        QTRY_VERIFY(!attendant()->staysWithoutWindow());
    }

    void onlyARequestThatMayHaveGoneOutIsAwaited_data()
    {
        QTest::addColumn<DialOutcome>("outcome");
        QTest::addColumn<bool>("awaited");
        QTest::newRow("sent") << DialOutcome::sent() << true;
        QTest::newRow("unknown") << DialOutcome::failed(DialOutcome::OutcomeUnknown) << true;
        QTest::newRow("refused") << DialOutcome::failed(DialOutcome::Refused) << false;
        QTest::newRow("no modem") << DialOutcome::failed(DialOutcome::NoService) << false;
    }

    // A request surely not sent has no callback to wait for, so a close then ends the app.
    void onlyARequestThatMayHaveGoneOutIsAwaited()
    {
        QFETCH(DialOutcome, outcome);
        QFETCH(bool, awaited);
        launch(true);
        modem->outcome = outcome;
        request();
        QTRY_VERIFY(!screen().progress->isAnimating());
        QCOMPARE(AwaitedCallback::shared().isAwaiting(), awaited);
        QVERIFY(window()->close());
        QCOMPARE(attendant()->staysWithoutWindow(), awaited);
        AwaitedCallback::shared().cancel();
    }

    void offeredCallIsAnsweredOrDeclinedByHand_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("decline");
        QTest::newRow("english") << "english"
                                 << "Answer"
                                 << "Decline";
        QTest::newRow("russian") << "russian"
                                 << "Ответить"
                                 << "Отклонить";
    }

    // Without auto-answer the callback rings, with its number and the keys to take it or not.
    void offeredCallIsAnsweredOrDeclinedByHand()
    {
        QFETCH(QString, language);
        QFETCH(QString, answer);
        QFETCH(QString, decline);
        launch(false, language);
        for (const bool answering : {true, false}) {
            request();
            modem->dialled.clear();
            report("callback", CTCallStateIncoming);
            QVERIFY(bar()->isVisible());
            QCOMPARE(bar()->lblParty->text(), "+70000000146");
            QVERIFY(!bar()->btnHangUp->isVisible());
            QCOMPARE(bar()->btnAnswer->text(), answer);
            QCOMPARE(bar()->btnDecline->text(), decline);
            QTRY_COMPARE(feedbackd->callsOf("TriggerFeedback").size(), 1);
            QCOMPARE(feedbackd->callsOf("TriggerFeedback").last().at(1), "phone-incoming-call");

            QTest::mouseClick(answering ? bar()->btnAnswer : bar()->btnDecline, Qt::LeftButton);
            QCOMPARE((answering ? modem->answered : modem->hungUp).size(), 1);
            report("callback", answering ? CTCallStateConnected : CTCallStateDisconnected);
            QTRY_COMPARE(feedbackd->callsOf("EndFeedback").size(), 1);
            QCOMPARE(bar()->isVisible(), answering);
            report("callback", CTCallStateDisconnected);
            QVERIFY(!bar()->isVisible());
            modem->answered.clear();
            modem->hungUp.clear();
            feedbackd->calls.clear();
        }
    }
};

MOLVANE_TEST_MAIN(CallbackAttendantTest)
#include "tst_CallbackAttendant.moc"
