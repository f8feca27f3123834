#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/OfonoBackend.h"
#include "Platform/Telephony/TelephonyService.h"
#include "support/OfonoMock.h"
#include "support/PrivateBus.h"
#include "support/TestMain.h"

class OfonoBackendTest : public QObject
{
    Q_OBJECT

    PrivateBus systemBus{PrivateBus::System};
    std::unique_ptr<OfonoMock> ofono;
    std::unique_ptr<CTCallCenter> callCenter;
    QList<CTCallState> states;
    QStringList callIDs;
    QString lastNumber;

private Q_SLOTS:
    void init()
    {
        ofono = std::make_unique<OfonoMock>();
        QVERIFY(ofono->start());
        TelephonyService::shared().setBackend(
            std::make_unique<OfonoBackend>(QDBusConnection::systemBus(), OfonoMock::modem));
        states.clear();
        callIDs.clear();
        callCenter = std::make_unique<CTCallCenter>();
        callCenter->setCallEventHandler([this](const CTCall &call) {
            states.append(call.callState());
            callIDs.append(call.callID());
            lastNumber = call.number();
        });
    }

    void cleanup()
    {
        callCenter.reset();
        ofono.reset();
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

    // oFono hands out a call's path again once the call is gone.
    void callOnAPathUsedBeforeIsANewCall()
    {
        const QString path = OfonoMock::modem + "/voicecall01";
        CTCallDialWithID("146812#", -1);
        QTRY_COMPARE(states, QList<CTCallState>{CTCallStateDialing});
        ofono->hangUpRemotely(path);
        QTRY_COMPARE(states, (QList<CTCallState>{CTCallStateDialing, CTCallStateDisconnected}));

        CTCallDialWithID("146813#", -1);
        QTRY_COMPARE(states.size(), 3);
        QCOMPARE(states.last(), CTCallStateDialing);
        QCOMPARE(lastNumber, "146813#");
        QCOMPARE(callIDs, QStringList(3, path));
    }
};

MOLVANE_TEST_MAIN(OfonoBackendTest)
#include "tst_OfonoBackend.moc"
