#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/TelephonyService.h"
#include "support/ModemManagerMock.h"
#include "support/OfonoMock.h"
#include "support/PrivateSystemBus.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QDBusVariant>
#include <QSignalSpy>

class TelephonyBackendSelectionTest : public QObject
{
    Q_OBJECT

    PrivateSystemBus systemBus;
    std::unique_ptr<ModemManagerMock> modemManager;
    std::unique_ptr<OfonoMock> ofono;
    bool pinned = false;

    static QString backendName() { return TelephonyService::shared().backend().name(); }

    void startModemManager(const QVariantMap &parameters = {})
    {
        modemManager = std::make_unique<ModemManagerMock>(parameters);
        QVERIFY(modemManager->start());
    }

    void startOfono(const QVariantMap &parameters = {})
    {
        ofono = std::make_unique<OfonoMock>(parameters);
        QVERIFY(ofono->start());
    }

    void setOfonoInterfaces(const QStringList &interfaces) const
    {
        ofono->control(OfonoMock::modem, "SetProperty",
                       {"Interfaces", QVariant::fromValue(QDBusVariant(interfaces))},
                       "org.ofono.Modem");
    }

private Q_SLOTS:
    void cleanup()
    {
        modemManager.reset();
        ofono.reset();
        if (!pinned)
            QTRY_COMPARE(backendName(), "Simulated operator");
    }

    void emptyBusGivesTheSimulatedOperator()
    {
        QSignalSpy chosen(&TelephonyService::shared(), &TelephonyService::backendChanged);
        QTest::ignoreMessage(QtInfoMsg, "Telephony backend: Simulated operator");
        TelephonyService::shared().startAutomaticSelection();
        QTRY_COMPARE(chosen.size(), 1);
        QCOMPARE(chosen[0][0].toString(), "Simulated operator");
    }

    void voiceInterfaceAppearingLaterIsPickedUp()
    {
        startModemManager({{"voice", false}});
        startOfono({{"no_modem", true}});
        QSignalSpy chosen(&TelephonyService::shared(), &TelephonyService::backendChanged);
        modemManager->addVoice();
        QTRY_COMPARE(backendName(), "ModemManager");
        QCOMPARE(chosen.size(), 1);
    }

    void modemManagerComesBeforeOfono()
    {
        startOfono();
        QTRY_COMPARE(backendName(), "oFono");
        startModemManager();
        QTRY_COMPARE(backendName(), "ModemManager");
        modemManager->removeModem();
        QTRY_COMPARE(backendName(), "oFono");
    }

    void ofonoModemWithoutVoiceCallsIsPassedOver()
    {
        startOfono();
        QTRY_COMPARE(backendName(), "oFono");
        setOfonoInterfaces({"org.ofono.SimManager"});
        QTRY_COMPARE(backendName(), "Simulated operator");
        setOfonoInterfaces({"org.ofono.SimManager", "org.ofono.VoiceCallManager"});
        QTRY_COMPARE(backendName(), "oFono");
    }

    void restartedServiceTakesTheNextRequest()
    {
        startModemManager({{"ussd", true}});
        QTRY_COMPARE(backendName(), "ModemManager");
        CTCallDialWithID("146812#", -1);
        QTRY_COMPARE(modemManager->callsOf("Initiate").size(), 1);

        QVERIFY(modemManager->stop());
        QTRY_COMPARE(backendName(), "Simulated operator");
        QTest::ignoreMessage(QtInfoMsg, "Telephony backend: ModemManager");
        QVERIFY(modemManager->start());
        QTRY_COMPARE(backendName(), "ModemManager");
        CTCallDialWithID("*146*00123#", -1);
        QTRY_COMPARE(modemManager->callsOf("Initiate"),
                     (QList<QVariantList>{{"146812#"}, {"*146*00123#"}}));
    }

    // What keeps tests that install their own backend away from the bus.
    void installedBackendStopsTheSelection()
    {
        RecordingBackend::install();
        pinned = true;
        startModemManager();
        TelephonyService::shared().startAutomaticSelection();
        modemManager->removeModem();
        startOfono();
        QTest::qWait(100);
        QCOMPARE(backendName(), "Recording test modem");
    }
};

MOLVANE_TEST_MAIN(TelephonyBackendSelectionTest)
#include "tst_TelephonyBackendSelection.moc"
