#include "support/Phoc.h"

#include "support/PrivateBus.h"

#include <QDir>
#include <QFile>
#include <QTest>

namespace {
// Alone in its runtime directory, the compositor takes the first name.
const QString socketName = QStringLiteral("wayland-0");

QString outputName(Phoc::Backend backend)
{
    return backend == Phoc::Headless ? QStringLiteral("HEADLESS-1") : QStringLiteral("X11-1");
}

// Turns the event loop meanwhile, so services the test itself runs keep answering.
bool waitForFinished(QProcess &process, int milliseconds)
{
    return QTest::qWaitFor([&] { return process.state() == QProcess::NotRunning; }, milliseconds);
}

void stop(QProcess &process)
{
    process.terminate();
    if (!process.waitForFinished(3000))
        process.kill();
    process.waitForFinished(3000);
}
} // namespace

Phoc::Phoc(Backend backend)
{
    QDir().mkpath(runtimeDirectory());
    QFile::setPermissions(runtimeDirectory(),
                          QFileDevice::ReadOwner | QFileDevice::WriteOwner | QFileDevice::ExeOwner);
    if (backend == X11)
        startXvfb();
    startCompositor(backend);
}

Phoc::~Phoc()
{
    stop(compositor);
    stop(xvfb);
}

QProcessEnvironment Phoc::clientEnvironment(QProcessEnvironment environment) const
{
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDirectory());
    environment.insert(QStringLiteral("WAYLAND_DISPLAY"), socketName);
    environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("wayland"));
    environment.remove(QStringLiteral("DISPLAY"));
    return environment;
}

QStringList Phoc::toplevels() const
{
    return QString::fromUtf8(runTool({QStringLiteral("list")}).output)
        .split(u'\n', Qt::SkipEmptyParts);
}

bool Phoc::close(const QString &appId) const
{
    return runTool({QStringLiteral("close"), appId}).succeeded;
}

bool Phoc::waitFor(const QString &appId, WindowState state) const
{
    static const QStringList states{QStringLiteral("gone"), QStringLiteral("present"),
                                    QStringLiteral("activated")};
    const ToolRun run = runTool({QStringLiteral("wait"), appId, states[state]});
    if (!run.succeeded)
        qWarning("windows seen meanwhile:\n%s", run.output.constData());
    return run.succeeded;
}

QString Phoc::activationToken() const
{
    const ToolRun run = runTool({QStringLiteral("token")});
    return run.succeeded ? QString::fromLatin1(run.output.trimmed()) : QString();
}

// Xvfb names the display it took once it accepts clients.
void Phoc::startXvfb()
{
    xvfb.setStandardErrorFile(directory.filePath(QStringLiteral("xvfb.log")));
    startTiedToTest(xvfb, QStringLiteral("Xvfb"),
                    {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-screen"),
                     QStringLiteral("0"), QStringLiteral("720x1440x24"),
                     QStringLiteral("-nolisten"), QStringLiteral("tcp")});
    if (!xvfb.waitForStarted(5000) || !xvfb.waitForReadyRead(10000))
        qFatal("Xvfb did not start: %s", qPrintable(xvfb.errorString()));
    display = u':' + QString::fromLatin1(xvfb.readLine().trimmed());
}

void Phoc::startCompositor(Backend backend)
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    environment.insert(QStringLiteral("XDG_RUNTIME_DIR"), runtimeDirectory());
    environment.insert(QStringLiteral("WLR_BACKENDS"),
                       backend == Headless ? QStringLiteral("headless") : QStringLiteral("x11"));
    environment.insert(QStringLiteral("WLR_HEADLESS_OUTPUTS"), QStringLiteral("1"));
    environment.insert(QStringLiteral("WLR_RENDERER"), QStringLiteral("pixman"));
    environment.insert(QStringLiteral("WLR_LIBINPUT_NO_DEVICES"), QStringLiteral("1"));
    // Its own defaults, not the settings of whoever runs the tests.
    environment.insert(QStringLiteral("GSETTINGS_BACKEND"), QStringLiteral("memory"));
    environment.remove(QStringLiteral("WAYLAND_DISPLAY"));
    if (backend == X11)
        environment.insert(QStringLiteral("DISPLAY"), display);
    else
        environment.remove(QStringLiteral("DISPLAY"));
    compositor.setProcessEnvironment(environment);
    compositor.setProcessChannelMode(QProcess::MergedChannels);
    QObject::connect(&compositor, &QProcess::readyRead, &compositor,
                     [this] { log += compositor.readAll(); });
    startTiedToTest(compositor, QStringLiteral("phoc"),
                    {QStringLiteral("-C"), writeConfiguration(backend)});
    // Said once the output is there, so a first window is laid out at its scale.
    const QByteArray ready = "Output '" + outputName(backend).toLatin1() + "' added";
    const auto readyOrGone = [&] {
        return log.contains(ready) || compositor.state() == QProcess::NotRunning;
    };
    if (!compositor.waitForStarted(5000) || !QTest::qWaitFor(readyOrGone, 10000) ||
        !log.contains(ready))
        qFatal("phoc did not start: %s\n%s", qPrintable(compositor.errorString()), log.constData());
}

QString Phoc::writeConfiguration(Backend backend) const
{
    const QString path = directory.filePath(QStringLiteral("phoc.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly))
        qFatal("cannot write %s", qPrintable(path));
    file.write(QStringLiteral("[output:%1]\nscale = 2\nmode = 720x1440\n")
                   .arg(outputName(backend))
                   .toUtf8());
    return path;
}

QString Phoc::runtimeDirectory() const
{
    return directory.filePath(QStringLiteral("runtime"));
}

Phoc::ToolRun Phoc::runTool(const QStringList &arguments) const
{
    QProcess tool;
    tool.setProcessEnvironment(clientEnvironment());
    tool.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    tool.start(QStringLiteral(MOLVANE_TOPLEVELS), arguments);
    // Longer than the tool ever waits by itself.
    const bool finished = tool.waitForStarted(5000) && waitForFinished(tool, 30000);
    return {finished && tool.exitStatus() == QProcess::NormalExit && tool.exitCode() == 0,
            tool.readAllStandardOutput()};
}
