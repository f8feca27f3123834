#pragma once

#include <QPointer>
#include <QVariantMap>
#include <QWidget>
#include <functional>
#include <memory>

class UIApplication;

// What the application tells its delegate about its life.
class UIApplicationDelegate
{
public:
    virtual ~UIApplicationDelegate() = default;

    virtual bool didFinishLaunchingWithOptions(UIApplication *application,
                                               const QVariantMap &launchOptions) = 0;
    virtual void applicationWillResignActive(UIApplication *) {}
    virtual void applicationDidEnterBackground(UIApplication *) {}
    virtual void applicationWillEnterForeground(UIApplication *) {}
    virtual void applicationDidBecomeActive(UIApplication *) {}
    virtual void applicationDidReceiveMemoryWarning(UIApplication *) {}
    virtual void applicationWillTerminate(UIApplication *) {}
    // A link handed to the application, by its command line or by another program.
    virtual bool openURL(UIApplication *, const QString &) { return false; }
};

// The one application object of the process; it keeps the delegate and hands it out.
class UIApplication
{
public:
    explicit UIApplication(std::unique_ptr<UIApplicationDelegate> delegate);
    ~UIApplication();
    UIApplication(const UIApplication &) = delete;
    UIApplication &operator=(const UIApplication &) = delete;

    static UIApplication *sharedApplication();
    UIApplicationDelegate *delegate() const { return appDelegate.get(); }

    // Tells the delegate that launching has finished.
    bool finishLaunching(const QVariantMap &launchOptions = {});
    // Tells the delegate, once, that the application ends.
    void terminate();

    // The window the application shows, made visible; the one that later launches bring back.
    void makeKeyAndVisible(QWidget *window);
    QWidget *keyWindow() const { return key; }
    // Shows the key window again and asks the compositor to focus it with the launcher's token.
    void bringKeyWindowToFront(const QString &activationToken);
    // Hands each link to the delegate, then brings the window to the front.
    void open(const QStringList &links, const QString &activationToken);

private:
    std::unique_ptr<UIApplicationDelegate> appDelegate;
    QPointer<QWidget> key;
    bool terminated = false;
};

using UIApplicationDelegateFactory = std::function<std::unique_ptr<UIApplicationDelegate>()>;

// Runs the application's main loop and returns its exit status. The factory stands for the
// main screen layout, which makes the delegate once the toolkit is up. Returns early with a
// clear message when there is no display to show a window on.
int UIApplicationMain(int argc, char *argv[], const UIApplicationDelegateFactory &makeDelegate);
