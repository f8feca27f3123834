#include "DialerPadViewController.h"
#include "InCallBar.h"
#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/SimulatedOperator.h"
#include "Platform/Telephony/TelephonyService.h"
#include "Platform/UI/TabBarController.h"
#include "Platform/UI/UIActivityIndicatorView.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/RecordingBackend.h"
#include "support/Tap.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

using namespace std::chrono_literals;

class DialerPadCallWatchingTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchedApplication> app;
    RecordingBackend *modem = nullptr;
    DialerPadViewController *dialPad = nullptr;
    DialPadScreen screen() const { return DialPadScreen(dialPad); }

    void launch(const QVariantMap &preferences = {})
    {
        app.reset();
        modem = RecordingBackend::install();
        app = std::make_unique<LaunchedApplication>(preferences);
        dialPad = app->delegate()->dialerPadViewController;
    }

    static int registrations() { return CTTelephonyCenterGetDefault()->registrationCount(); }

    void showTab(int index) { app->delegate()->mainTab->setSelectedIndex(index); }

    static void setAutoAnswer(bool on)
    {
        UserDefaults defaults = UserDefaults::standardUserDefaults();
        defaults.setBool(on, "enable_autoanswer");
        defaults.synchronize();
    }

private Q_SLOTS:
    void init() { launch(); }
    void cleanup() { app.reset(); }

    void eachAppearanceFollowsTheAutoAnswerSetting()
    {
        QCOMPARE(registrations(), 0);
        setAutoAnswer(true);
        showTab(1);
        showTab(0);
        QCOMPARE(registrations(), 1);
        showTab(1);
        showTab(0);
        QCOMPARE(registrations(), 2);
        // Switching it off takes effect at the next appearance, and one removal undoes all.
        setAutoAnswer(false);
        QCOMPARE(registrations(), 2);
        showTab(1);
        showTab(0);
        QCOMPARE(registrations(), 0);
    }

    void incomingAndEndedCallsClearTheNumber_data()
    {
        QTest::addColumn<int>("state");
        QTest::addColumn<bool>("clears");
        QTest::newRow("incoming") << int(CTCallStateIncoming) << true;
        QTest::newRow("disconnected") << int(CTCallStateDisconnected) << true;
        QTest::newRow("dialing") << int(CTCallStateDialing) << false;
        QTest::newRow("connected") << int(CTCallStateConnected) << false;
    }

    void incomingAndEndedCallsClearTheNumber()
    {
        QFETCH(int, state);
        QFETCH(bool, clears);
        screen().enter("123");
        QTest::mouseClick(screen().edit, Qt::LeftButton);
        QVERIFY(screen().editCover->isVisible());

        Q_EMIT modem->callEvent(CTCall("call", CTCallState(state), "+123"));
        QCOMPARE(screen().number->text().isEmpty(), clears);
        QCOMPARE(screen().editCover->isVisible(), !clears);
        // The edit field itself stays; only the cover goes.
        QVERIFY(dialPad->viewWithTag(99));
    }

    void callbackAnswersWhateverCallANotificationCarries()
    {
        const CTCall ringing("a", CTCallStateIncoming, "+7");
        const CTCall outgoing("b", CTCallStateDialing, "146812#");
        callback(CTTelephonyCenterGetDefault(), nullptr, "any name", nullptr,
                 {{kCTCall, QVariant::fromValue(ringing)}});
        callback(CTTelephonyCenterGetDefault(), nullptr, "other", nullptr,
                 {{kCTCall, QVariant::fromValue(outgoing)}});
        callback(CTTelephonyCenterGetDefault(), nullptr, "no call", nullptr,
                 {{"kCTCallStatus", 4}});
        QCOMPARE(modem->answered, (QList<CTCall>{ringing, outgoing}));
    }

    void handOverFromRecentMakesExactlyOneRequest()
    {
        showTab(1);
        app->delegate()->g_strSelectedNumberFromCallLog = "+123";
        app->delegate()->g_bIsNumberDialledFromCallLog = true;
        showTab(0);
        QCOMPARE(modem->dialled, QStringList{"*146*00123#"});
        QCOMPARE(app->delegate()->g_bIsNumberDialledFromCallLog, false);
        QCOMPARE(app->delegate()->g_strSelectedNumberFromCallLog, QString());
        showTab(1);
        showTab(0);
        QCOMPARE(modem->dialled.size(), 1);
    }

    void busyMessageNamesTheUserAndGoes()
    {
        setAutoAnswer(true);
        showTab(1);
        showTab(0);
        screen().progress->startAnimating();
        screen().enter("812");
        dialPad->UserBusyMessage("812");
        QCOMPARE(screen().status->text(), "User 812 Busy!");
        QVERIFY(!screen().progress->isAnimating());
        QCOMPARE(registrations(), 0);
        QTRY_COMPARE_WITH_TIMEOUT(screen().number->text(), QString(), 3000);
    }

    void withheldNumberIsNamedOnTheBar()
    {
        const CTCall ringing("1", CTCallStateIncoming, QString());
        Q_EMIT modem->callEvent(ringing);
        TelephonyService::shared().answer(ringing);
        Q_EMIT modem->callEvent(CTCall("1", CTCallStateConnected, QString()));
        QVERIFY(screen().inCallBar->isVisible());
        QCOMPARE(screen().inCallBar->lblParty->text(), "Unknown number");
        Q_EMIT modem->callEvent(CTCall("1", CTCallStateDisconnected, QString()));
        QVERIFY(!screen().inCallBar->isVisible());
    }

    void autoAnswerEndToEndWithTheSimulatedOperator()
    {
        auto simulated = std::make_unique<SimulatedOperator>(SimulatedOperator::Delays{
            .ringBack = 50ms, .callDuration = 10s, .ringTimeout = 1000ms, .serviceCall = 10ms});
        SimulatedOperator *network = simulated.get();
        app.reset();
        TelephonyService::shared().setBackend(std::move(simulated));
        app = std::make_unique<LaunchedApplication>(QVariantMap{{"enable_autoanswer", true}});
        dialPad = app->delegate()->dialerPadViewController;
        QList<CTCallState> states;
        CTCallCenter watcher;
        watcher.setCallEventHandler([&states](const CTCall &call) { states << call.callState(); });

        for (int tag : {1008, 1001, 1002})
            QTest::mouseClick(dialPad->viewWithTag(tag), Qt::LeftButton);
        QTest::mouseClick(screen().call, Qt::LeftButton);
        QCOMPARE(network->dialledCodes(), QStringList{"146812#"});
        QVERIFY(screen().waitingCover() && screen().waitingCover()->isVisible());
        QCOMPARE(screen().number->text(), "812");

        QTRY_VERIFY(states.contains(CTCallStateIncoming));
        QCOMPARE(screen().number->text(), QString());
        QTRY_VERIFY(states.contains(CTCallStateConnected));
        QVERIFY2(screen().waitingCover(), "the overlay stays until its own removal");
        // The call's bar lies above the waiting cover, within a finger's reach.
        QTRY_VERIFY(screen().inCallBar->isVisible());
        // Held sideways, the cover's caption stays readable beside the bar.
        dialPad->window()->resize(720, 360);
        const auto *caption = screen().waitingCover()->findChild<QLabel *>();
        QTRY_VERIFY(!QRect(caption->mapTo(dialPad, QPoint()), caption->size())
                         .intersects(screen().inCallBar->geometry()));
        tap(screen().inCallBar->btnHangUp);
        QTRY_COMPARE(states.last(), CTCallStateDisconnected);
        QTRY_VERIFY(!screen().inCallBar->isVisible());
        QVERIFY(screen().waitingCover());

        auto *removal = dialPad->findChild<QTimer *>("WaitingOverlayRemoval");
        QVERIFY(removal->remainingTime() > 4000);
        removal->start(0);
        QTRY_VERIFY(!screen().waitingCover());
    }
};

MOLVANE_TEST_MAIN(DialerPadCallWatchingTest)
#include "tst_DialerPadCallWatching.moc"
