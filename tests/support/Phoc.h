#pragma once

#include <QProcess>
#include <QProcessEnvironment>
#include <QTemporaryDir>

// phoc, the phone shell's compositor, as a phone runs it: one output of 720x1440 at scale 2
// (360x720 logical), in a runtime directory of its own. Headless it has no seat, so no window
// takes focus by itself; one presenting an activation token is still activated. On an Xvfb of
// its own it has a seat, and a new window takes focus. Windows are seen and closed from outside,
// as the shell's overview does. The compositor and its X server are stopped by process id when
// the object goes; a compositor that does not come up ends the test with its log.
class Phoc
{
public:
    enum Backend
    {
        Headless,
        X11,
    };

    enum WindowState
    {
        Gone,
        Present,
        Activated,
    };

    explicit Phoc(Backend backend = Headless);
    ~Phoc();

    // The environment given, with what a client needs to open its windows here and nowhere
    // else: WAYLAND_DISPLAY, XDG_RUNTIME_DIR, QT_QPA_PLATFORM=wayland, and no DISPLAY.
    QProcessEnvironment clientEnvironment(
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment()) const;

    // One line per window: app id, tab, 1 when activated or 0, tab, title.
    QStringList toplevels() const;
    // Asks every window of the app to close; false when it has none.
    bool close(const QString &appId) const;
    // True once a window of the app is in that state (Gone: none is left), false after 20 s.
    // The event loop turns meanwhile.
    bool waitFor(const QString &appId, WindowState state) const;
    // A fresh xdg-activation token, as a launcher gets one: a client that presents it for a
    // mapped window within 30 s has that window activated, once. Empty when none came.
    QString activationToken() const;

private:
    void startXvfb();
    void startCompositor(Backend backend);
    QString writeConfiguration(Backend backend) const;
    QString runtimeDirectory() const;
    struct ToolRun
    {
        bool succeeded;
        QByteArray output;
    };
    ToolRun runTool(const QStringList &arguments) const;

    QTemporaryDir directory;
    QProcess xvfb;
    QString display;
    // Before the compositor, whose output it gathers.
    QByteArray log;
    QProcess compositor;
};
