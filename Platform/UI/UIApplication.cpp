#include "Platform/UI/UIApplication.h"

#include "Platform/Log.h"
#include "Platform/Shell/ColorSchemePreference.h"
#include "Platform/Shell/SingleInstance.h"
#include "Platform/Telephony/TelephonyService.h"
#include "Platform/UI/SharedMemoryRendering.h"
#include "Platform/UI/UITheme.h"

#include <QApplication>
#include <QGuiApplication>
#include <QWindow>
#include <cstdio>

namespace {
UIApplication *sharedInstance = nullptr;

// Qt aborts with a terse platform-plugin error when no display is reachable; say what to do.
bool hasDisplay()
{
    const bool platformChosen = !qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM");
    return platformChosen || !qEnvironmentVariableIsEmpty("DISPLAY") ||
           !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

void explainMissingDisplay(const char *program)
{
    std::fprintf(stderr,
                 "%s: no display found: neither WAYLAND_DISPLAY nor DISPLAY is set.\n"
                 "Start it from a graphical session, or on a machine without a screen run\n"
                 "  make run\n"
                 "which starts it on a virtual X display and tells how to look at it, or\n"
                 "  xvfb-run -s '-screen 0 720x1280x24' %s\n",
                 program, program);
}

// A compositor activates only a window on screen, so a window just shown is activated once it
// is exposed.
class ActivationOnExpose : public QObject
{
public:
    explicit ActivationOnExpose(QWidget *window) : QObject(window), window(window)
    {
        window->windowHandle()->installEventFilter(this);
    }

    bool eventFilter(QObject *, QEvent *event) override
    {
        if (event->type() == QEvent::Expose && window->windowHandle()->isExposed()) {
            window->activateWindow();
            deleteLater();
        }
        return false;
    }

private:
    QWidget *window;
};

void activateOnceExposed(QWidget *window)
{
    const QWindow *handle = window->windowHandle();
    if (!handle || handle->isExposed())
        window->activateWindow();
    else
        new ActivationOnExpose(window);
}

// What is left of the command line once the toolkit took its options: the links to open.
QStringList linksOnCommandLine()
{
    QStringList links = QCoreApplication::arguments().mid(1);
    links.removeIf([](const QString &argument) { return argument.startsWith(u'-'); });
    return links;
}

void listenToLaterLaunches(SingleInstance &instance, UIApplication &application)
{
    QObject::connect(
        &instance, &SingleInstance::activated, &instance,
        [&application](const QString &token) { application.bringKeyWindowToFront(token); });
    QObject::connect(&instance, &SingleInstance::opened, &instance,
                     [&application](const QStringList &links, const QString &token) {
                         application.open(links, token);
                     });
    QObject::connect(
        &instance, &SingleInstance::actionActivated, &instance,
        [&application](const QString &action, const QVariantList &, const QString &token) {
            qCInfo(lcMolvane).noquote() << "No action" << action << "to activate";
            application.bringKeyWindowToFront(token);
        });
}
} // namespace

UIApplication::UIApplication(std::unique_ptr<UIApplicationDelegate> delegate)
    : appDelegate(std::move(delegate))
{
    Q_ASSERT(!sharedInstance);
    sharedInstance = this;
}

UIApplication::~UIApplication()
{
    appDelegate.reset();
    sharedInstance = nullptr;
}

UIApplication *UIApplication::sharedApplication()
{
    return sharedInstance;
}

bool UIApplication::finishLaunching(const QVariantMap &launchOptions)
{
    return appDelegate->didFinishLaunchingWithOptions(this, launchOptions);
}

void UIApplication::terminate()
{
    if (terminated)
        return;
    terminated = true;
    appDelegate->applicationWillTerminate(this);
}

void UIApplication::makeKeyAndVisible(QWidget *window)
{
    key = window;
    window->show();
    activateOnceExposed(window);
}

void UIApplication::bringKeyWindowToFront(const QString &activationToken)
{
    if (!key)
        return;
    // QtWayland activates with this variable only, and clears it once used.
    if (!activationToken.isEmpty())
        qputenv("XDG_ACTIVATION_TOKEN", activationToken.toUtf8());
    key->show();
    key->raise();
    activateOnceExposed(key);
}

void UIApplication::open(const QStringList &links, const QString &activationToken)
{
    for (const QString &link : links)
        appDelegate->openURL(this, link);
    bringKeyWindowToFront(activationToken);
}

int UIApplicationMain(int argc, char *argv[], const UIApplicationDelegateFactory &makeDelegate)
{
    if (!hasDisplay()) {
        explainMissingDisplay(argc > 0 ? argv[0] : "molvane");
        return 2;
    }
    useSharedMemoryRendering();
    QApplication qtApplication(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("molvane"));
    QGuiApplication::setApplicationDisplayName(QStringLiteral("Molvane"));
    QGuiApplication::setDesktopFileName(QStringLiteral("org.molvane.Molvane"));
    // Before telephony or a window: a launch handed over starts neither.
    SingleInstance instance(QGuiApplication::desktopFileName());
    const QStringList links = linksOnCommandLine();
    if (instance.claim(links) == SingleInstance::HandedOver)
        return 0;
    TelephonyService::shared().startAutomaticSelection();
    ColorSchemePreference colorScheme;
    UITheme::apply(colorScheme.read());
    QObject::connect(&colorScheme, &ColorSchemePreference::changed, &UITheme::apply);

    UIApplication application(makeDelegate());
    QObject::connect(&qtApplication, &QCoreApplication::aboutToQuit,
                     [&application] { application.terminate(); });
    listenToLaterLaunches(instance, application);
    application.finishLaunching();
    if (!links.isEmpty())
        application.open(links, QString());
    return qtApplication.exec();
}
