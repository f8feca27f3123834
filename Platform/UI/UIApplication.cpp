#include "Platform/UI/UIApplication.h"

#include "Platform/Telephony/TelephonyService.h"
#include "Platform/UI/SharedMemoryRendering.h"

#include <QApplication>
#include <QGuiApplication>
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
    TelephonyService::shared().startAutomaticSelection();

    UIApplication application(makeDelegate());
    QObject::connect(&qtApplication, &QCoreApplication::aboutToQuit,
                     [&application] { application.terminate(); });
    application.finishLaunching();
    return qtApplication.exec();
}
