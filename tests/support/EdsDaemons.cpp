#include "support/EdsDaemons.h"

#include <QDBusConnectionInterface>
#include <QDir>
#include <QFile>
#include <QTest>
#include <csignal>
#include <dlfcn.h>

namespace {
const QString connectionName = QStringLiteral("molvane_eds_daemons");

struct Daemon
{
    QString service;
    QString program;
    QStringList arguments;
};

const std::array<Daemon, 2> &daemonTable()
{
    static const std::array<Daemon, 2> table{{
        {EdsDaemons::registryService, QStringLiteral("/usr/libexec/evolution-source-registry"), {}},
        // Without a client it would quit after ten seconds.
        {EdsDaemons::addressBookService,
         QStringLiteral("/usr/libexec/evolution-addressbook-factory"),
         {QStringLiteral("--keep-running")}},
    }};
    return table;
}

// Gone or a zombie: a daemon the bus started is not ours to reap.
bool hasExited(uint pid)
{
    QFile stat(QStringLiteral("/proc/%1/stat").arg(pid));
    if (!stat.open(QIODevice::ReadOnly))
        return true;
    const QByteArray fields = stat.readAll();
    return fields.mid(fields.lastIndexOf(')') + 2, 1) == "Z";
}

// GLib ends a process whose session bus connection closes, and the address book module keeps
// one: the bus is about to end before the test does. Only a GIO already loaded is looked at.
void keepGlibThroughBusEnd()
{
    void *gio = ::dlopen("libgio-2.0.so.0", RTLD_LAZY | RTLD_NOLOAD);
    if (!gio)
        return;
    constexpr int sessionBus = 2; // G_BUS_TYPE_SESSION
    const auto get =
        reinterpret_cast<void *(*)(int, void *, void **)>(::dlsym(gio, "g_bus_get_sync"));
    const auto setExitOnClose = reinterpret_cast<void (*)(void *, int)>(
        ::dlsym(gio, "g_dbus_connection_set_exit_on_close"));
    const auto unref = reinterpret_cast<void (*)(void *)>(::dlsym(gio, "g_object_unref"));
    if (void *connection = get(sessionBus, nullptr, nullptr)) {
        setExitOnClose(connection, 0);
        unref(connection);
    }
    ::dlclose(gio);
}
} // namespace

EdsDaemons::EdsDaemons()
{
    const QString temporary = QDir::tempPath() + u'/';
    QStringList privateVariables{QStringLiteral("HOME"), QStringLiteral("XDG_CACHE_HOME"),
                                 QStringLiteral("XDG_RUNTIME_DIR")};
    if (!qEnvironmentVariable("XDG_DATA_HOME").startsWith(temporary) ||
        !qEnvironmentVariable("XDG_CONFIG_HOME").startsWith(temporary))
        privateVariables << QStringLiteral("XDG_DATA_HOME") << QStringLiteral("XDG_CONFIG_HOME");
    for (const QString &variable : std::as_const(privateVariables)) {
        const QString path = directory.filePath(variable.toLower());
        QDir().mkpath(path);
        qputenv(variable.toLatin1(), QFile::encodeName(path));
    }
    QFile::setPermissions(directory.filePath(QStringLiteral("xdg_runtime_dir")),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    // No dconf-service: each process keeps its own settings.
    qputenv("GSETTINGS_BACKEND", "memory");

    // Only the address book's services, so no other user service starts.
    const QString services = directory.filePath(QStringLiteral("services"));
    QDir().mkpath(services);
    bus = std::make_unique<PrivateBus>(PrivateBus::Session, services);
    connection = QDBusConnection::connectToBus(qEnvironmentVariable("DBUS_SESSION_BUS_ADDRESS"),
                                               connectionName);
}

EdsDaemons::~EdsDaemons()
{
    stop();
    QDBusConnection::disconnectFromBus(connectionName);
    keepGlibThroughBusEnd();
    bus.reset();
}

bool EdsDaemons::start()
{
    setActivation(true);
    for (size_t i = 0; i < daemons.size(); ++i) {
        const Daemon &daemon = daemonTable()[i];
        QProcess &process = daemons[i];
        if (isOwned(daemon.service))
            continue;
        const QString log = directory.filePath(QStringLiteral("daemons.log"));
        process.setStandardOutputFile(log, QIODevice::Append);
        process.setStandardErrorFile(log, QIODevice::Append);
        startTiedToTest(process, daemon.program, daemon.arguments);
        // Ready is the name owned, whichever process owns it.
        if (!process.waitForStarted(5000) ||
            !QTest::qWaitFor(
                [&] { return isOwned(daemon.service) || process.state() == QProcess::NotRunning; },
                10000) ||
            !isOwned(daemon.service)) {
            qWarning("%s did not take %s", qPrintable(daemon.program), qPrintable(daemon.service));
            showLog();
            return false;
        }
    }
    return true;
}

bool EdsDaemons::stop()
{
    setActivation(false);
    bool stopped = true;
    // The factory first, as the registry's client.
    for (size_t i = daemons.size(); i-- > 0;) {
        const QString &service = daemonTable()[i].service;
        const QDBusReply<uint> pid = connection.interface()->servicePid(service);
        if (pid.isValid()) {
            const auto gone = [&] { return !isOwned(service) && hasExited(pid.value()); };
            ::kill(pid.value(), SIGTERM);
            if (!QTest::qWaitFor(gone, 5000)) {
                qWarning("%s ignored SIGTERM", qPrintable(service));
                ::kill(pid.value(), SIGKILL);
                if (!QTest::qWaitFor(gone, 5000))
                    qWarning("%s outlived SIGKILL", qPrintable(service));
                stopped = false;
            }
        }
        daemons[i].waitForFinished(1000);
    }
    return stopped;
}

bool EdsDaemons::isRunning() const
{
    return isOwned(registryService) && isOwned(addressBookService);
}

bool EdsDaemons::isOwned(const QString &service) const
{
    return connection.interface()->isServiceRegistered(service).value();
}

// Each service file is there while the daemons should run, so a client calling while they are
// stopped finds nothing rather than starting them.
void EdsDaemons::setActivation(bool enabled)
{
    const QDir services(directory.filePath(QStringLiteral("services")));
    for (const Daemon &daemon : daemonTable()) {
        const QString file = daemon.service + QStringLiteral(".service");
        if (enabled)
            QFile::copy(QStringLiteral("/usr/share/dbus-1/services/") + file,
                        services.filePath(file));
        else
            QFile::remove(services.filePath(file));
    }
    connection.call(QDBusMessage::createMethodCall(
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("/org/freedesktop/DBus"),
        QStringLiteral("org.freedesktop.DBus"), QStringLiteral("ReloadConfig")));
}

void EdsDaemons::showLog() const
{
    QFile log(directory.filePath(QStringLiteral("daemons.log")));
    if (log.open(QIODevice::ReadOnly))
        qWarning("evolution-data-server:\n%s", log.readAll().right(20000).constData());
}
