#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/OfonoBackend.h"
#include "Platform/Telephony/TelephonyService.h"
#include "support/OfonoMock.h"
#include "support/PrivateSystemBus.h"
#include "support/TestMain.h"

#include <QDBusObjectPath>
#include <QSignalSpy>

namespace {
// Answers every call a notification carries, as auto-answer does.
void answering(CTTelephonyCenter *, void *, const QString &, const void *,
               const QVariantMap &userInfo)
{
    CTCallAnswer(userInfo.value(kCTCall).value<CTCall>());
}
} // namespace

class OfonoBackendTest : public QObject
{
    Q_OBJECT

    PrivateSystemBus systemBus;
    std::unique_ptr<OfonoMock> ofono;
    std::unique_ptr<CTCallCenter> callCenter;
    QList<CTCallState> states;
    QString lastNumber;

private Q_SLOTS:
    void init()
    {
        ofono = std::make_unique<OfonoMock>();
        QVERIFY(ofono->start());
        TelephonyService::shared().setBackend(
            std::make_unique<OfonoBackend>(QDBusConnection::systemBus(), OfonoMock::modem));
        states.clear();
        callCenter = std::make_unique<CTCallCenter>();
        callCenter->setCallEventHandler([this](const CTCall &call) {
            states.append(call.callState());
            lastNumber = call.number();
        });
    }

    void cleanup()
    {
        CTTelephonyCenterRemoveObserver(CTTelephonyCenterGetDefault(), nullptr, std::nullopt,
                                        nullptr);
        callCenter.reset();
        ofono.reset();
    }

    void serviceCodeGoesThroughSupplementaryServices()
    {
        ofono->offerSupplementaryServices("Callback ordered");
        QSignalSpy replies(&TelephonyService::shared(), &TelephonyService::networkReply);
        CTCallDialWithID("*146*00447911123456#", -1);
        QTRY_COMPARE(replies.size(), 1);
        QCOMPARE(replies[0][0].toString(), "Callback ordered");
        QCOMPARE(ofono->callsOf("Initiate"), (QList<QVariantList>{{"*146*00447911123456#"}}));
        QVERIFY(ofono->callsOf("Dial").isEmpty());
    }

    void sessionAwaitingAResponseIsCancelledAndTheNextRequestGoesOutToo()
    {
        ofono->offerSupplementaryServices("Press 1 to confirm", "user-response");
        QSignalSpy replies(&TelephonyService::shared(), &TelephonyService::networkReply);
        CTCallDialWithID("*146*812#", -1);
        QTRY_COMPARE(ofono->callsOf("Cancel").size(), 1);
        CTCallDialWithID("*146*813#", -1);
        QTRY_COMPARE(replies.size(), 2);
        QCOMPARE(ofono->callsOf("Initiate"), (QList<QVariantList>{{"*146*812#"}, {"*146*813#"}}));
        QVERIFY(ofono->callsOf("Dial").isEmpty());
    }

    // A session another application left open stands in the way: it is cancelled, once.
    void sessionOpenBeforeARequestIsCancelledAndTheCodeNeverCalled_data()
    {
        QTest::addColumn<bool>("cancelCloses");
        QTest::newRow("Cancel closes it") << true;
        QTest::newRow("it stays open") << false;
    }

    void sessionOpenBeforeARequestIsCancelledAndTheCodeNeverCalled()
    {
        QFETCH(bool, cancelCloses);
        const QString interface = "org.ofono.SupplementaryServices";
        ofono->offerSupplementaryServices("Callback ordered");
        if (!cancelCloses)
            ofono->addMethod(OfonoMock::modem, interface, "Cancel", "", "", "pass");
        ofono->control(OfonoMock::modem, "UpdateProperties",
                       {interface, QVariantMap{{"State", "user-response"}}});
        std::optional<DialOutcome> outcome;
        CTCallDialWithID("*146*812#", -1, this, [&](const DialOutcome &told) { outcome = told; });
        QTRY_VERIFY(outcome);
        QCOMPARE(*outcome,
                 cancelCloses ? DialOutcome::sent() : DialOutcome::failed(DialOutcome::ModemError));
        QCOMPARE(ofono->callsOf("Initiate").size(), 2);
        QVERIFY(ofono->callsOf("Dial").isEmpty());
    }

    void withoutSupplementaryServicesTheCodeIsDialledAndFollowed()
    {
        CTCallDialWithID("146812#", -1);
        QTRY_COMPARE(states, QList<CTCallState>{CTCallStateDialing});
        QCOMPARE(ofono->callsOf("Dial"), (QList<QVariantList>{{"146812#", ""}}));

        const QString call = OfonoMock::modem + "/voicecall01";
        ofono->setCallState(call, "alerting");
        ofono->setCallState(call, "active");
        ofono->hangUpRemotely(call);
        QTRY_COMPARE(states, (QList<CTCallState>{CTCallStateDialing, CTCallStateConnected,
                                                 CTCallStateDisconnected}));
        QCOMPARE(lastNumber, "146812#");

        // Dial hands out the same path again: it is a new call.
        CTCallDialWithID("146813#", -1);
        QTRY_COMPARE(states.size(), 4);
        QCOMPARE(states.last(), CTCallStateDialing);
        QCOMPARE(lastNumber, "146813#");
    }

    void incomingCallIsAnsweredAndEndsWhenTheCallerHangsUp()
    {
        CTTelephonyCenterAddObserver(CTTelephonyCenterGetDefault(), nullptr, answering,
                                     std::nullopt, nullptr, CFNotificationSuspensionBehaviorHold);
        const QString call = ofono->addIncomingCall("+79001234567");
        QTRY_COMPARE(states, (QList<CTCallState>{CTCallStateIncoming, CTCallStateConnected}));
        QCOMPARE(ofono->pathsOf("Answer"), QStringList{call});
        QCOMPARE(lastNumber, "+79001234567");

        ofono->hangUpRemotely(call);
        QTRY_COMPARE(states.size(), 3);
        QCOMPARE(states.last(), CTCallStateDisconnected);
    }

    void failedDialsTellWhy_data()
    {
        QTest::addColumn<QString>("interface");
        QTest::addColumn<QString>("method");
        QTest::addColumn<QString>("error");
        QTest::addColumn<int>("failure");
        QTest::addColumn<bool>("called");
        QTest::newRow("network ended the request")
            << "org.ofono.SupplementaryServices"
            << "Initiate"
            << "org.ofono.Error.Terminated" << int(DialOutcome::NetworkRefused) << false;
        QTest::newRow("call failed")
            << "org.ofono.VoiceCallManager"
            << "Dial"
            << "org.ofono.Error.Failed" << int(DialOutcome::ModemError) << true;
        QTest::newRow("not allowed")
            << "org.ofono.VoiceCallManager"
            << "Dial"
            << "org.freedesktop.DBus.Error.AccessDenied" << int(DialOutcome::NotAuthorised) << true;
    }

    void failedDialsTellWhy()
    {
        QFETCH(QString, interface);
        QFETCH(QString, method);
        QFETCH(QString, error);
        QFETCH(int, failure);
        QFETCH(bool, called);
        ofono->addMethod(OfonoMock::modem, interface, method, method == "Dial" ? "ss" : "s",
                         method == "Dial" ? "o" : "sv",
                         QString("raise dbus.exceptions.DBusException('refused', name=%1)")
                             .arg(pythonString(error)));
        std::optional<DialOutcome> outcome;
        CTCallDialWithID("146812#", -1, this, [&](const DialOutcome &told) { outcome = told; });
        QTRY_VERIFY(outcome);
        QCOMPARE(*outcome, DialOutcome::failed(DialOutcome::Failure(failure)));
        QCOMPARE(ofono->callsOf("Dial").size(), called ? 1 : 0);
    }

    void undialableStringsNeverReachTheModem()
    {
        CTCallDialWithID("146812#;", -1);
        CTCallDialWithID("146\r812#", -1);
        CTCallDialWithID("146812", -1);
        QTRY_COMPARE(ofono->callsOf("Dial").size(), 1);
        QCOMPARE(ofono->callsOf("Dial")[0][0], "146812");
    }
};

MOLVANE_TEST_MAIN(OfonoBackendTest)
#include "tst_OfonoBackend.moc"
