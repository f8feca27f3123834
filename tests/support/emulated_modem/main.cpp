// The emulated modem behind Debian's ModemManager, on a system bus of its own, for black-box tests
// written in another language. Once the modem is ready it prints "bus ADDRESS", then "at COMMAND"
// for each command the modem receives. It reads "ring NUMBER" and "hang-up" lines, and ends,
// stopping the daemon, when its input does.
#include "support/AtModemEmulator.h"
#include "support/ModemManagerDaemon.h"
#include "support/PrivateBus.h"

#include <QCoreApplication>
#include <QFile>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>
#include <unistd.h>

int main(int argc, char *argv[])
{
    QCoreApplication application(argc, argv);
    PrivateBus systemBus(PrivateBus::System);
    AtModemEmulator modem;
    ModemManagerDaemon daemon(modem);
    if (!daemon.start())
        return 1;
    QTextStream out(stdout);
    out << "bus " << qEnvironmentVariable("DBUS_SYSTEM_BUS_ADDRESS") << Qt::endl;

    // What the daemon asked while setting the modem up is nobody's business.
    qsizetype told = modem.commands().size();
    QTimer reporter;
    reporter.callOnTimeout([&] {
        const QStringList commands = modem.commands();
        for (; told < commands.size(); ++told)
            out << "at " << commands.at(told) << Qt::endl;
    });
    reporter.start(20);

    QFile input;
    input.open(stdin, QIODevice::ReadOnly);
    QSocketNotifier inputReady(STDIN_FILENO, QSocketNotifier::Read);
    QObject::connect(&inputReady, &QSocketNotifier::activated, [&] {
        const QString line = QString::fromUtf8(input.readLine()).trimmed();
        if (line.startsWith(QLatin1String("ring ")))
            modem.ring(line.mid(5));
        else if (line == QLatin1String("hang-up"))
            modem.hangUpRemotely();
        else if (input.atEnd() || line.isEmpty())
            application.quit();
    });
    const int status = application.exec();
    daemon.stop();
    return status;
}
