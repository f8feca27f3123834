#include "DialerPadViewController.h"
#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/ModemManagerBackend.h"
#include "Platform/Telephony/TelephonyService.h"
#include "support/LaunchedApplication.h"
#include "support/ModemManagerMock.h"
#include "support/PrivateSystemBus.h"
#include "support/TestMain.h"

#include <QDBusArgument>
#include <QLabel>

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
} // namespace

class ModemManagerBackendTest : public QObject
{
    Q_OBJECT

    PrivateSystemBus systemBus;
    std::unique_ptr<ModemManagerMock> modemManager;
    std::unique_ptr<CTCallCenter> callCenter;
    QList<Event> events;

    void startModem(const QVariantMap &parameters)
    {
        modemManager = std::make_unique<ModemManagerMock>(parameters);
        QVERIFY(modemManager->start());
        TelephonyService::shared().setBackend(std::make_unique<ModemManagerBackend>(
            QDBusConnection::systemBus(), ModemManagerMock::modem));
    }

    // Everything the modem was asked, without the reading of properties and lists.
    QStringList requests() const
    {
        QStringList requests = modemManager->methodsCalled();
        requests.removeAll("GetAll");
        requests.removeAll("ListCalls");
        return requests;
    }

private Q_SLOTS:
    void init()
    {
        events.clear();
        callCenter = std::make_unique<CTCallCenter>();
        callCenter->setCallEventHandler([this](const CTCall &call) {
            events.append({call.callState(), call.number()});
        });
    }

    void cleanup()
    {
        callCenter.reset();
        modemManager.reset();
    }

    void serviceCodeGoesThroughUssdAndTheReplyIsShown()
    {
        startModem({{"ussd", true}, {"ussd_reply", "We will call you back"}});
        LaunchedApplication app;
        DialerPadViewController *dialPad = app.delegate()->dialerPadViewController;
        for (int tag : {1008, 1001, 1002})
            QTest::mouseClick(dialPad->viewWithTag(tag), Qt::LeftButton);
        QTest::mouseClick(dialPad->btnCall, Qt::LeftButton);

        QTRY_COMPARE_WITH_TIMEOUT(dialPad->lblStatus->text(), "We will call you back", 3000);
        QCOMPARE(modemManager->callsOf("Initiate"), (QList<QVariantList>{{"146812#"}}));
        QCOMPARE(requests(), QStringList{"Initiate"});
    }

    void withoutUssdTheCodeIsCalledAndFollowedToItsEnd()
    {
        startModem({});
        CTCallDialWithID("*146*0079123456789#", -1);
        QTRY_COMPARE(events, (QList<Event>{{CTCallStateDialing, "*146*0079123456789#"}}));
        const QVariantList created = modemManager->callsOf("CreateCall").value(0);
        QCOMPARE(qdbus_cast<QVariantMap>(created.value(0)),
                 (QVariantMap{{"number", "*146*0079123456789#"}}));
        QCOMPARE(requests(), (QStringList{"CreateCall", "Start"}));

        const QString call = modemManager->pathsOf("Start").value(0);
        modemManager->setCallState(call, ModemManagerMock::RingingOut);
        modemManager->setCallState(call, ModemManagerMock::Active);
        modemManager->setCallState(call, ModemManagerMock::Terminated);
        QTRY_COMPARE(events.size(), 3);
        QCOMPARE(events.mid(1), (QList<Event>{{CTCallStateConnected, "*146*0079123456789#"},
                                              {CTCallStateDisconnected, "*146*0079123456789#"}}));
        // A terminated call is deleted, not left listed.
        QTRY_COMPARE(modemManager->callsOf("DeleteCall"),
                     (QList<QVariantList>{{QVariant::fromValue(QDBusObjectPath(call))}}));
    }

    void refusedUssdFallsBackToACall()
    {
        startModem({{"ussd", true},
                    {"ussd_error", "org.freedesktop.ModemManager1.Error.Core.WrongState"}});
        CTCallDialWithID("146812#", -1);
        QTRY_COMPARE(requests(), (QStringList{"Initiate", "CreateCall", "Start"}));
    }

    void plainNumberIsAlwaysACall()
    {
        startModem({{"ussd", true}});
        CTCallDialWithID("+7 912 345-67-89", -1);
        QTRY_COMPARE(requests(), (QStringList{"CreateCall", "Start"}));
        QCOMPARE(qdbus_cast<QVariantMap>(modemManager->callsOf("CreateCall")[0][0]),
                 (QVariantMap{{"number", "+79123456789"}}));
    }

    void undialableStringsNeverReachTheModem()
    {
        startModem({{"ussd", true}});
        CTCallDialWithID("146812#;*21*555#", -1);
        CTCallDialWithID("146812#\x01", -1);
        CTCallDialWithID("146812#", -1);
        // Requests leave in order: had the others gone, they would have come first.
        QTRY_COMPARE(modemManager->callsOf("Initiate").size(), 1);
        QCOMPARE(modemManager->callsOf("Initiate")[0], QVariantList{"146812#"});
        QCOMPARE(requests(), QStringList{"Initiate"});
    }

    void incomingCallIsAnsweredByTheAutoAnswerCallback()
    {
        startModem({});
        LaunchedApplication app({{"enable_autoanswer", true}});
        DialerPadViewController *dialPad = app.delegate()->dialerPadViewController;
        dialPad->lblNumberField->setText("812");

        const QString call = modemManager->addIncomingCall("+79001234567");
        QTRY_COMPARE(modemManager->pathsOf("Accept"), QStringList{call});
        QTRY_COMPARE(events, (QList<Event>{{CTCallStateIncoming, "+79001234567"},
                                           {CTCallStateConnected, "+79001234567"}}));
        QCOMPARE(dialPad->lblNumberField->text(), QString());

        modemManager->setCallState(call, ModemManagerMock::Terminated);
        QTRY_COMPARE(events.size(), 3);
        QCOMPARE(events.last(), (Event{CTCallStateDisconnected, "+79001234567"}));
    }

    void numberLearntLaterIsCarriedByLaterEvents()
    {
        startModem({});
        const QString call = modemManager->addIncomingCall("");
        QTRY_COMPARE(events, (QList<Event>{{CTCallStateIncoming, ""}}));
        modemManager->setCallNumber(call, "+79001234567");
        modemManager->setCallState(call, ModemManagerMock::Terminated);
        QTRY_COMPARE(events.size(), 2);
        QCOMPARE(events.last(), (Event{CTCallStateDisconnected, "+79001234567"}));
    }

    void callRingingBeforeTheBackendStartsIsReported()
    {
        modemManager = std::make_unique<ModemManagerMock>();
        QVERIFY(modemManager->start());
        modemManager->addIncomingCall("+79001234567");
        TelephonyService::shared().setBackend(std::make_unique<ModemManagerBackend>(
            QDBusConnection::systemBus(), ModemManagerMock::modem));
        QTRY_COMPARE(events, (QList<Event>{{CTCallStateIncoming, "+79001234567"}}));
    }

    void serviceGoneAndBackAgain()
    {
        startModem({{"ussd", true}});
        QVERIFY(modemManager->stop());
        CTCallDialWithID("146812#", -1);
        CTCallAnswer(CTCall("/org/freedesktop/ModemManager1/Call/1", CTCallStateIncoming, "1"));
        // Failures are only logged; the event loop goes on.
        QTest::qWait(50);

        QVERIFY(modemManager->start());
        CTCallDialWithID("146812#", -1);
        QTRY_COMPARE(modemManager->callsOf("Initiate"), (QList<QVariantList>{{"146812#"}}));
    }
};

MOLVANE_TEST_MAIN(ModemManagerBackendTest)
#include "tst_ModemManagerBackend.moc"
