#include "support/Phoc.h"
#include "support/PrivateBus.h"
#include "support/TestMain.h"

#include <QProcess>

namespace {
const QString appId = "org.molvane.Molvane";
} // namespace

// The built program on the phone shell's compositor, its window seen and closed from outside as
// the shell's overview does.
class PhocToplevelsTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void closedFromOverview_data()
    {
        QTest::addColumn<Phoc::Backend>("backend");
        QTest::addColumn<Phoc::WindowState>("shown");
        // Without a seat nothing takes focus.
        QTest::newRow("headless") << Phoc::Headless << Phoc::Present;
        QTest::newRow("on a seat") << Phoc::X11 << Phoc::Activated;
    }

    void closedFromOverview()
    {
        QFETCH(Phoc::Backend, backend);
        QFETCH(Phoc::WindowState, shown);
        PrivateBus bus(PrivateBus::Session);
        Phoc phoc(backend);
        QProcessEnvironment environment = phoc.clientEnvironment();
        // No modem on this bus either.
        environment.insert("DBUS_SYSTEM_BUS_ADDRESS",
                           qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"));
        QProcess app;
        app.setProcessEnvironment(environment);
        app.setProcessChannelMode(QProcess::ForwardedChannels);
        startTiedToTest(app, MOLVANE_PROGRAM, {});

        QVERIFY(phoc.waitFor(appId, shown));
        QVERIFY(phoc.close(appId));
        QVERIFY(phoc.waitFor(appId, Phoc::Gone));
        QVERIFY(QTest::qWaitFor([&] { return app.state() == QProcess::NotRunning; }, 10000));
        QCOMPARE(app.exitStatus(), QProcess::NormalExit);
        QCOMPARE(app.exitCode(), 0);
    }
};

MOLVANE_TEST_MAIN(PhocToplevelsTest)
#include "tst_PhocToplevels.moc"
