#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/TelephonyService.h"
#include "support/AtModemEmulator.h"
#include "support/ModemManagerDaemon.h"
#include "support/OfonoMock.h"
#include "support/PrivateBus.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QDBusVariant>
#include <QLoggingCategory>
#include <QSignalSpy>

class TelephonyBackendSelectionTest : public QObject
{
    Q_OBJECT

    PrivateBus systemBus{PrivateBus::System};
    AtModemEmulator modem;
    std::unique_ptr<ModemManagerDaemon> modemManager;
    std::unique_ptr<OfonoMock> ofono;
    bool pinned = false;

    static QString backendName() { return TelephonyService::shared().backend().name(); }

    void startModemManager()
    {
        modemManager = std::make_unique<ModemManagerDaemon>(modem);
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
    // Diagnostic lines are checked here; they are written only when asked for.
    void initTestCase() { QLoggingCategory::setFilterRules("molvane=true"); }

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

    // A phone starts with its SIM locked; unlocking it makes the daemon take the modem's
    // interfaces down and export them again, and the app follows the modem through that.
    void modemUnlockedAfterStartIsFollowed()
    {
        modem.lockSim("1234");
        modem.setUssdReply("OK");
        startModemManager();
        startOfono({{"no_modem", true}});
        QVERIFY(modemManager->unlock("1234"));
        QTRY_COMPARE(backendName(), "ModemManager");
        CTCallDialWithID("146812#", -1);
        QTRY_COMPARE(modem.ussdRequests().value(0), "146812#");
    }

    void modemManagerComesBeforeOfono()
    {
        startOfono();
        QTRY_COMPARE(backendName(), "oFono");
        startModemManager();
        QTRY_COMPARE(backendName(), "ModemManager");
        QVERIFY(modemManager->stop());
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

    // What keeps tests that install their own backend away from the bus.
    void installedBackendStopsTheSelection()
    {
        RecordingBackend::install();
        pinned = true;
        TelephonyService::shared().startAutomaticSelection();
        startOfono();
        // A selection at work would have read oFono's modems by the time oFono answers a later
        // call, and installed its backend.
        QVERIFY(roundTrip(
            QDBusMessage::createMethodCall("org.ofono", "/", "org.ofono.Manager", "GetModems")));
        QCOMPARE(backendName(), "Recording test modem");
    }
};

MOLVANE_TEST_MAIN(TelephonyBackendSelectionTest)
#include "tst_TelephonyBackendSelection.moc"
