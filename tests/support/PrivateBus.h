#pragma once

#include <QProcess>
#include <QTemporaryDir>

// A system or session bus of the test's own: a dbus-daemon that lives as long as this object, and
// dies with the test process should that end first, announced through DBUS_SYSTEM_BUS_ADDRESS or
// DBUS_SESSION_BUS_ADDRESS. Make it before anything connects to that bus: the first connection
// is kept for the process.
class PrivateBus
{
public:
    enum Kind
    {
        System,
        Session,
    };

    // The bus starts a service whose file lies in serviceDirectory when it is first called.
    explicit PrivateBus(Kind kind, const QString &serviceDirectory = {});
    ~PrivateBus();

private:
    void writeConfiguration(const QString &path) const;

    Kind kind;
    QString serviceDirectory;
    QTemporaryDir directory;
    QProcess daemon;
};

// Starts the process so that it is killed when the test process dies.
void startTiedToTest(QProcess &process, const QString &program, const QStringList &arguments);
