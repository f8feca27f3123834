#include "support/PrivateBus.h"

#include <QDBusConnection>
#include <QFile>
#include <csignal>
#include <sys/prctl.h>

namespace {
// The names QDBusConnection::systemBus() and sessionBus() connect under.
const char *connectionName(PrivateBus::Kind kind)
{
    return kind == PrivateBus::System ? "qt_default_system_bus" : "qt_default_session_bus";
}
} // namespace

void startTiedToTest(QProcess &process, const QString &program, const QStringList &arguments)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process.start(program, arguments);
}

PrivateBus::PrivateBus(Kind kind, const QString &serviceDirectory)
    : kind(kind), serviceDirectory(serviceDirectory)
{
    if (QDBusConnection(QLatin1String(connectionName(kind))).isConnected())
        qFatal("the bus was connected before the private one was started");
    const QString configuration = directory.filePath(QStringLiteral("bus.conf"));
    writeConfiguration(configuration);
    startTiedToTest(daemon, QStringLiteral("dbus-daemon"),
                    {QStringLiteral("--config-file=") + configuration, QStringLiteral("--nofork"),
                     QStringLiteral("--print-address=1")});
    if (!daemon.waitForStarted(5000) || !daemon.waitForReadyRead(5000))
        qFatal("dbus-daemon did not start: %s %s", qPrintable(daemon.errorString()),
               daemon.readAllStandardError().constData());
    const QByteArray address = daemon.readLine().trimmed();
    qputenv(kind == System ? "DBUS_SYSTEM_BUS_ADDRESS" : "DBUS_SESSION_BUS_ADDRESS", address);
}

PrivateBus::~PrivateBus()
{
    daemon.terminate();
    if (!daemon.waitForFinished(3000))
        daemon.kill();
}

void PrivateBus::writeConfiguration(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(
        QStringLiteral(
            R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>%2</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  %3
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
)")
            .arg(directory.path(), kind == System ? "system" : "session",
                 serviceDirectory.isEmpty()
                     ? QString()
                     : QStringLiteral("<servicedir>%1</servicedir>").arg(serviceDirectory))
            .toUtf8());
}
