#include "support/ModemManagerDaemon.h"

#include "support/AtModemEmulator.h"
#include "support/PrivateBus.h"

#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnectionInterface>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusPendingCall>
#include <QFile>
#include <QTest>
#include <tuple>

namespace {
const QString rootPath = QStringLiteral("/org/freedesktop/ModemManager1");
const QString modemInterface = QStringLiteral("org.freedesktop.ModemManager1.Modem");
// MMModemState.
constexpr int lockedState = 2;
constexpr int registeredState = 8;
} // namespace

QDBusMessage callServingEvents(const QDBusMessage &call, int timeoutMilliseconds)
{
    QDBusPendingCall pending = QDBusConnection::systemBus().asyncCall(call, timeoutMilliseconds);
    // The bus ends the call with an error reply before this wait runs out.
    std::ignore = QTest::qWaitFor([&] { return pending.isFinished(); }, timeoutMilliseconds + 1000);
    return pending.reply();
}

bool roundTrip(const QDBusMessage &call)
{
    // Handled first, so that what this process asks in answer goes out ahead of the call.
    QCoreApplication::sendPostedEvents();
    const bool answered = callServingEvents(call).type() == QDBusMessage::ReplyMessage;
    QCoreApplication::sendPostedEvents();
    return answered;
}

ModemManagerDaemon::ModemManagerDaemon(AtModemEmulator &modem) : emulator(modem) {}

ModemManagerDaemon::~ModemManagerDaemon()
{
    stop();
}

bool ModemManagerDaemon::start()
{
    // In test mode the daemon serves the session bus and asks polkit on the system bus: both
    // are the test's private bus, where the application finds it as on a phone.
    const QByteArray bus = qgetenv("DBUS_SYSTEM_BUS_ADDRESS");
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("DBUS_SESSION_BUS_ADDRESS"), QString::fromUtf8(bus));
    process.setProcessEnvironment(environment);
    process.setStandardOutputFile(QProcess::nullDevice());
    process.setStandardErrorFile(directory.filePath(QStringLiteral("stderr")));
    startTiedToTest(process, QStringLiteral("/usr/sbin/ModemManager"),
                    {QStringLiteral("--test-session"), QStringLiteral("--test-enable"),
                     QStringLiteral("--test-no-udev"), QStringLiteral("--no-auto-scan"),
                     QStringLiteral("--test-no-suspend-resume"), QStringLiteral("--test-no-qrtr"),
                     QStringLiteral("--log-level=DEBUG"), QStringLiteral("--log-timestamps"),
                     QStringLiteral("--log-file=") + logPath()});
    if (!process.waitForStarted(5000) || !waitForOwner(true) || !setUpModem()) {
        showLog();
        return false;
    }
    return true;
}

bool ModemManagerDaemon::stop()
{
    modem.clear();
    if (process.state() == QProcess::NotRunning)
        return true;
    // On its way out the daemon still talks to the modem, which answers from this loop.
    process.terminate();
    if (!QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, 5000))
        process.kill();
    process.waitForFinished(1000);
    if (QTest::currentTestFailed())
        showLog();
    return waitForOwner(false);
}

bool ModemManagerDaemon::waitForOwner(bool owned) const
{
    QDBusConnectionInterface *bus = QDBusConnection::systemBus().interface();
    return QTest::qWaitFor([&] { return bus->isServiceRegistered(service).value() == owned; },
                           10000);
}

// The modem is the emulator's port, taken as the primary AT port of a generic modem; enabling
// it registers it on the emulated network.
bool ModemManagerDaemon::setUpModem()
{
    QDBusMessage profile = QDBusMessage::createMethodCall(
        service, rootPath, QStringLiteral("org.freedesktop.ModemManager1.Test"),
        QStringLiteral("SetProfile"));
    profile.setArguments({QStringLiteral("molvane-test"), QStringLiteral("generic"),
                          QStringList{emulator.portName()}});
    if (callServingEvents(profile).type() == QDBusMessage::ErrorMessage)
        return false;
    if (!QTest::qWaitFor([&] { return !(modem = findModem()).isEmpty(); }, 10000) ||
        !QTest::qWaitFor([&] { return modemState() >= lockedState; }, 10000))
        return false;
    return modemState() == lockedState || enableModem();
}

bool ModemManagerDaemon::unlock(const QString &pin)
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        service, modem, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setArguments({modemInterface, QStringLiteral("Sim")});
    const QString sim = callServingEvents(get)
                            .arguments()
                            .value(0)
                            .value<QDBusVariant>()
                            .variant()
                            .value<QDBusObjectPath>()
                            .path();
    QDBusMessage sendPin = QDBusMessage::createMethodCall(
        service, sim, QStringLiteral("org.freedesktop.ModemManager1.Sim"),
        QStringLiteral("SendPin"));
    sendPin.setArguments({pin});
    const QDBusMessage sent = callServingEvents(sendPin);
    if (sent.type() == QDBusMessage::ErrorMessage) {
        qWarning("Sim.SendPin failed: %s", qPrintable(sent.errorMessage()));
        return false;
    }
    return QTest::qWaitFor([&] { return modemState() > lockedState; }, 10000) && enableModem();
}

bool ModemManagerDaemon::enableModem()
{
    QDBusMessage enable =
        QDBusMessage::createMethodCall(service, modem, modemInterface, QStringLiteral("Enable"));
    enable.setArguments({true});
    const QDBusMessage enabled = callServingEvents(enable);
    if (enabled.type() == QDBusMessage::ErrorMessage) {
        qWarning("Modem.Enable failed: %s", qPrintable(enabled.errorMessage()));
        return false;
    }
    return QTest::qWaitFor([&] { return modemState() >= registeredState; }, 10000);
}

QString ModemManagerDaemon::findModem() const
{
    const QDBusMessage reply = callServingEvents(QDBusMessage::createMethodCall(
        service, rootPath, QStringLiteral("org.freedesktop.DBus.ObjectManager"),
        QStringLiteral("GetManagedObjects")));
    const auto objects =
        qdbus_cast<QMap<QDBusObjectPath, QMap<QString, QVariantMap>>>(reply.arguments().value(0));
    return objects.isEmpty() ? QString() : objects.firstKey().path();
}

int ModemManagerDaemon::modemState() const
{
    QDBusMessage get = QDBusMessage::createMethodCall(
        service, modem, QStringLiteral("org.freedesktop.DBus.Properties"), QStringLiteral("Get"));
    get.setArguments({modemInterface, QStringLiteral("State")});
    return callServingEvents(get).arguments().value(0).value<QDBusVariant>().variant().toInt();
}

QString ModemManagerDaemon::logPath() const
{
    return directory.filePath(QStringLiteral("ModemManager.log"));
}

void ModemManagerDaemon::showLog() const
{
    for (const QString &path : {logPath(), directory.filePath(QStringLiteral("stderr"))}) {
        QFile file(path);
        if (file.open(QIODevice::ReadOnly))
            qWarning("%s:\n%s", qPrintable(path), file.readAll().right(20000).constData());
    }
}
