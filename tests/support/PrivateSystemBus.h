#pragma once

#include <QProcess>
#include <QTemporaryDir>

// A system bus of the test's own: a dbus-daemon that lives as long as this object, and dies with
// the test process should that end first, announced through DBUS_SYSTEM_BUS_ADDRESS. Make it
// before anything connects to the system bus: the first connection is kept for the process.
class PrivateSystemBus
{
public:
    PrivateSystemBus();
    ~PrivateSystemBus();

private:
    void writeConfiguration(const QString &path) const;

    QTemporaryDir directory;
    QProcess daemon;
};

// Starts the process so that it is killed when the test process dies.
void startTiedToTest(QProcess &process, const QString &program, const QStringList &arguments);
