#include "support/PrivateSystemBus.h"

#include <QDBusConnection>
#include <QFile>
#include <csignal>
#include <sys/prctl.h>

namespace {
// The name QDBusConnection::systemBus() connects under.
const QString systemBusConnectionName = QStringLiteral("qt_default_system_bus");
} // namespace

void startTiedToTest(QProcess &process, const QString &program, const QStringList &arguments)
{
    process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGKILL); });
    process.start(program, arguments);
}

PrivateSystemBus::PrivateSystemBus()
{
    if (QDBusConnection(systemBusConnectionName).isConnected())
        qFatal("the system bus was connected before the private one was started");
    const QString configuration = directory.filePath(QStringLiteral("system.conf"));
    writeConfiguration(configuration);
    startTiedToTest(daemon, QStringLiteral("dbus-daemon"),
                    {QStringLiteral("--config-file=") + configuration, QStringLiteral("--nofork"),
                     QStringLiteral("--print-address=1")});
    if (!daemon.waitForStarted(5000) || !daemon.waitForReadyRead(5000))
        qFatal("dbus-daemon did not start: %s %s", qPrintable(daemon.errorString()),
               daemon.readAllStandardError().constData());
    const QByteArray address = daemon.readLine().trimmed();
    qputenv("DBUS_SYSTEM_BUS_ADDRESS", address);
}

PrivateSystemBus::~PrivateSystemBus()
{
    daemon.terminate();
    if (!daemon.waitForFinished(3000))
        daemon.kill();
}

void PrivateSystemBus::writeConfiguration(const QString &path) const
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(
        QStringLiteral(
            R"(<!DOCTYPE busconfig PUBLIC "-//freedesktop//DTD D-Bus Bus Configuration 1.0//EN"
 "http://www.freedesktop.org/standards/dbus/1.0/busconfig.dtd">
<busconfig>
  <type>system</type>
  <listen>unix:dir=%1</listen>
  <auth>EXTERNAL</auth>
  <policy context="default">
    <allow user="*"/>
    <allow own="*"/>
    <allow send_destination="*" eavesdrop="true"/>
    <allow eavesdrop="true"/>
  </policy>
</busconfig>
)")
            .arg(directory.path())
            .toUtf8());
}
