#include "DialerPadViewController.h"
#include "InCallBar.h"
#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/ModemManagerBackend.h"
#include "Platform/Telephony/ModemManagerInterfaces.h"
#include "Platform/Telephony/TelephonyService.h"
#include "Platform/UI/UIActivityIndicatorView.h"
#include "support/AtModemEmulator.h"
#include "support/CallAudioMock.h"
#include "support/CallLogFiles.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/ModemManagerDaemon.h"
#include "support/PrivateBus.h"
#include "support/Tap.h"
#include "support/TestMain.h"

#include <QDBusVariant>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>

namespace {
struct Event
{
    CTCallState state;
    QString number;
    bool operator==(const Event &) const = default;
};

char *toString(const Event &event)
{
    return qstrdup(QStringLiteral("%1 %2")
                       .arg(QLatin1String(CTCallStateName(event.state)), event.number)
                       .toUtf8()
                       .constData());
}

const QString operatorNumber = QStringLiteral("+74951112233");
} // namespace

// The whole way a request takes on a phone: the dial pad, the telephony layer, Debian's
// ModemManager daemon, and an emulated modem playing the network.
class ModemManagerBackendTest : public QObject
{
    Q_OBJECT

    PrivateBus systemBus{PrivateBus::System};
    PrivateBus sessionBus{PrivateBus::Session};
    std::unique_ptr<AtModemEmulator> modem;
    std::unique_ptr<ModemManagerDaemon> daemon;
    std::unique_ptr<LaunchedApplication> app;
    std::unique_ptr<CTCallCenter> callCenter;
    DialerPadViewController *dialPad = nullptr;
    DialPadScreen screen() const { return DialPadScreen(dialPad); }
    QList<Event> events;

    static QString backendName() { return TelephonyService::shared().backend().name(); }

    void startDaemon()
    {
        QVERIFY(daemon->start());
        QTRY_COMPARE_WITH_TIMEOUT(backendName(), "ModemManager", 10000);
    }

    void launch(const QVariantMap &preferences = {})
    {
        startDaemon();
        app = std::make_unique<LaunchedApplication>(preferences);
        dialPad = app->delegate()->dialerPadViewController;
    }

    void request(const QString &digits) const
    {
        for (const QChar digit : digits)
            tap(dialPad->viewWithTag(1000 + digit.digitValue()));
        tap(screen().call);
    }

    // The request's outcome has come once the dial pad stops its indicator.
    void waitForOutcome() const
    {
        QTRY_VERIFY_WITH_TIMEOUT(!screen().progress->isAnimating(), 10000);
    }

    // What the daemon knows of the number of its first call.
    QString incomingCallNumber() const
    {
        QDBusMessage get = QDBusMessage::createMethodCall(ModemManagerDaemon::service,
                                                          "/org/freedesktop/ModemManager1/Call/0",
                                                          "org.freedesktop.DBus.Properties", "Get");
        get.setArguments({"org.freedesktop.ModemManager1.Call", "Number"});
        return callServingEvents(get)
            .arguments()
            .value(0)
            .value<QDBusVariant>()
            .variant()
            .toString();
    }

private Q_SLOTS:
    void init()
    {
        events.clear();
        modem = std::make_unique<AtModemEmulator>();
        daemon = std::make_unique<ModemManagerDaemon>(*modem);
        callCenter = std::make_unique<CTCallCenter>();
        callCenter->setCallEventHandler([this](const CTCall &call) {
            events.append({call.callState(), call.number()});
        });
        TelephonyService::shared().startAutomaticSelection();
    }

    void cleanup()
    {
        app.reset();
        daemon.reset();
        QTRY_COMPARE(backendName(), "Simulated operator");
        modem.reset();
        QFile::remove(callLogPath());
    }

    // A slow network is not a failure: the indicator turns until the reply comes, as the
    // modem sends it.
    void slowModemStillSendsTheRequest()
    {
        modem->setAnswerDelay(std::chrono::milliseconds(1500));
        modem->setUssdReply("We will call you back");
        launch();
        bool turningAtTheReply = false;
        const QObject watching;
        connect(modem.get(), &AtModemEmulator::sending, &watching, [&](const QString &text) {
            if (text.startsWith("+CUSD:"))
                turningAtTheReply = screen().progress->isAnimating();
        });
        request("812");
        waitForOutcome();
        QVERIFY(turningAtTheReply);
        QCOMPARE(screen().status->text(), "We will call you back");
    }

    // A modem the daemon found without USSD has no interface for service codes at all.
    void modemWithoutUssdHasTheCodeCalled()
    {
        modem->setUssdSupported(false);
        launch();
        request("00123");
        waitForOutcome();
        QCOMPARE(screen().status->text(), QString());
        QCOMPARE(modem->commandsStartingWith("ATD"), QStringList{"ATD*146*00123#;"});
        QTRY_COMPARE(events, (QList<Event>{{CTCallStateDialing, "*146*00123#"}}));
    }

    void callbackIsAnsweredOnlyWithAutoAnswerOn_data()
    {
        QTest::addColumn<bool>("autoAnswer");
        QTest::newRow("on") << true;
        QTest::newRow("off") << false;
    }

    void callbackIsAnsweredOnlyWithAutoAnswerOn()
    {
        QFETCH(bool, autoAnswer);
        launch({{"enable_autoanswer", autoAnswer}});
        for (const int key : {1008, 1001, 1002})
            tap(dialPad->viewWithTag(key));
        QCOMPARE(screen().number->text(), "812");

        modem->ring(operatorNumber);
        QTRY_VERIFY(events.contains(Event{CTCallStateIncoming, operatorNumber}));
        QCOMPARE(screen().number->text(), QString());
        if (autoAnswer) {
            QTRY_COMPARE(modem->commandsStartingWith("ATA"), QStringList{"ATA"});
            QTRY_VERIFY(events.contains(Event{CTCallStateConnected, operatorNumber}));
        } else {
            // The daemon takes this process's calls in turn, and sends the modem their commands
            // in turn: once a hang-up asked for after the ring is through, an answer asked for
            // at the ring would have reached the modem.
            QCOMPARE(callServingEvents(QDBusMessage::createMethodCall(
                                           ModemManagerDaemon::service, daemon->modemPath(),
                                           ModemManager::voiceInterface, "HangupAll"))
                         .type(),
                     QDBusMessage::ReplyMessage);
            QCOMPARE(modem->commandsStartingWith("ATA"), QStringList());
        }
    }

    void numberLearntLaterIsCarriedByLaterEvents()
    {
        launch();
        modem->ring(operatorNumber, false);
        QTRY_COMPARE(events, (QList<Event>{{CTCallStateIncoming, ""}}));
        // The daemon learns the number from the call list it polls.
        QTRY_COMPARE_WITH_TIMEOUT(incomingCallNumber(), operatorNumber, 5000);
        modem->hangUpRemotely();
        QTRY_COMPARE(events.size(), 2);
        QCOMPARE(events.last(), (Event{CTCallStateDisconnected, operatorNumber}));
    }

    // The backend reads the calls there are when it starts, as it does when the app starts or
    // the daemon comes back.
    void callRingingBeforeTheBackendStartsIsReported()
    {
        startDaemon();
        modem->ring(operatorNumber);
        QTRY_VERIFY(events.contains(Event{CTCallStateIncoming, operatorNumber}));

        ModemManagerBackend backend(QDBusConnection::systemBus(), daemon->modemPath());
        QSignalSpy reported(&backend, &TelephonyBackend::callEvent);
        QTRY_COMPARE(reported.size(), 1);
        const auto call = reported.at(0).at(0).value<CTCall>();
        QCOMPARE((Event{call.callState(), call.number()}),
                 (Event{CTCallStateIncoming, operatorNumber}));
    }

    void daemonStoppedDuringACallEndsItAndItsReturnIsFollowed()
    {
        launch({{"enable_autoanswer", true}});
        modem->ring(operatorNumber);
        QTRY_VERIFY(events.contains(Event{CTCallStateConnected, operatorNumber}));

        QVERIFY(daemon->stop());
        QTRY_COMPARE(events.last(), (Event{CTCallStateDisconnected, operatorNumber}));
        QTRY_COMPARE(backendName(), "Simulated operator");

        startDaemon();
        request("812");
        QTRY_COMPARE(modem->ussdRequests(), QStringList{"146812#"});
    }

    void answeredCallbackHasItsBarUntilItEnds_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<bool>("hungUpHere");
        QTest::addColumn<QStringList>("names");
        QTest::newRow("hung up here, in English")
            << "english" << true << QStringList{"Speaker", "Mute", "Hang up"};
        QTest::newRow("hung up by the caller, in Russian")
            << "russian" << false << QStringList{"Динамик", "Без звука", "Завершить"};
    }

    // The call's audio follows it through callaudiod: the voice-call mode while it is up, the
    // speaker and the microphone as switched, the default mode once it ends.
    void answeredCallbackHasItsBarUntilItEnds()
    {
        QFETCH(QString, language);
        QFETCH(bool, hungUpHere);
        QFETCH(QStringList, names);
        CallAudioMock callAudio;
        QVERIFY(callAudio.start());
        launch({{"enable_autoanswer", true}, {"current_language", language}});
        InCallBar *bar = screen().inCallBar;
        QVERIFY(!bar->isVisible());

        modem->ring(operatorNumber);
        QTRY_VERIFY(bar->isVisible());
        QCOMPARE(bar->lblParty->text(), operatorNumber);
        // They show once the call audio service has been found.
        QTRY_VERIFY(bar->btnSpeaker->isVisible() && bar->btnMute->isVisible());
        QCOMPARE((QStringList{bar->btnSpeaker->accessibleName(), bar->btnMute->accessibleName(),
                              bar->btnHangUp->accessibleName()}),
                 names);
        tap(bar->btnSpeaker);
        tap(bar->btnMute);
        QVERIFY(bar->btnSpeaker->isChecked() && bar->btnMute->isChecked());

        if (hungUpHere)
            tap(bar->btnHangUp);
        else
            modem->hangUpRemotely();
        QTRY_VERIFY(!bar->isVisible());
        // The daemon sends ATH while it probes the modem: only what follows the answer counts.
        const QStringList commands = modem->commands();
        const QStringList afterAnswer = commands.mid(commands.lastIndexOf("ATA") + 1);
        static const QRegularExpression hangUp("^(AT\\+CHLD=1\\d*|AT\\+CHUP|ATH)$");
        QCOMPARE(afterAnswer.filter(hangUp).size(), hungUpHere ? 1 : 0);
        QTRY_COMPARE(callAudio.requests(), (QStringList{"SelectMode 1", "EnableSpeaker true",
                                                        "MuteMic true", "SelectMode 0"}));
    }

    // The request may have reached the network before the daemon went.
    void requestOpenWhenTheDaemonStopsIsNotConfirmed()
    {
        modem->setUssdReply(std::nullopt);
        launch({{"enable_autoanswer", true}});
        request("812");
        QTRY_COMPARE(modem->ussdRequests().size(), 1);
        QVERIFY(daemon->stop());
        waitForOutcome();
        QCOMPARE(screen().status->text(), "Not confirmed: the modem did not answer in time");
        QCOMPARE(CTTelephonyCenterGetDefault()->registrationCount(), 1);
    }
};

MOLVANE_TEST_MAIN(ModemManagerBackendTest)
#include "tst_ModemManagerBackend.moc"
