#pragma once

#include <QDBusMessage>
#include <QProcess>
#include <QTemporaryDir>

class AtModemEmulator;

// Debian's own ModemManager in its test mode, on the test's private system bus, driving one
// emulated modem: the daemon a phone runs, without hardware, udev or root. Started, it has set
// the modem up and enabled it, so the modem is registered and its Voice interface is exported;
// a modem whose SIM is locked waits for its PIN.
class ModemManagerDaemon
{
public:
    explicit ModemManagerDaemon(AtModemEmulator &modem);
    ~ModemManagerDaemon();

    // Each returns once the daemon is ready with its modem, or gone from the bus; a failure
    // shows the daemon's log.
    bool start();
    bool stop();
    bool isRunning() const { return process.state() != QProcess::NotRunning; }
    // Gives the locked SIM its PIN and enables the modem.
    bool unlock(const QString &pin);

    // The modem's object path while the daemon runs.
    const QString &modemPath() const { return modem; }

    static inline const QString service = QStringLiteral("org.freedesktop.ModemManager1");

private:
    bool waitForOwner(bool owned) const;
    bool setUpModem();
    bool enableModem();
    QString findModem() const;
    int modemState() const;
    QString logPath() const;
    void showLog() const;

    AtModemEmulator &emulator;
    QTemporaryDir directory;
    QProcess process;
    QString modem;
};

// Sends the call and keeps the event loop turning until the answer comes, so that the emulated
// modem, which lives on the same loop, can serve the daemon meanwhile.
QDBusMessage callServingEvents(const QDBusMessage &call, int timeoutMilliseconds = 10000);

// A fence for what a service has told this process: returns once the service has answered the
// call, which it takes after every call this process sent it before, and this process has
// handled all that came before the answer (the service's signals, its replies to earlier
// calls). GDBus answers Peer.Ping out of turn: the call must be one of the service's own.
bool roundTrip(const QDBusMessage &call);
