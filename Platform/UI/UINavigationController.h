#pragma once

#include "Platform/UI/ViewController.h"

#include <optional>

class QStackedWidget;
class UINavigationBar;

// A stack of screens under a navigation bar. Pushing slides the new screen in from the right;
// the back button pops it. Appearance calls reach the screens as they come and go, and the
// stack's own appearance passes to the screen on top. A stack that carries on from a screen
// shown before it can give its root screen a way back too, which its owner takes.
class UINavigationController : public ViewController
{
    Q_OBJECT

public:
    static constexpr int pushMilliseconds = 250;

    explicit UINavigationController(QWidget *parent = nullptr);

    void setRootViewController(ViewController *root);
    void pushViewController(ViewController *screen, bool animated);
    void popViewControllerAnimated(bool animated);
    // A back button on the root screen, labelled with where it leads; it emits rootBackPressed.
    void setRootBackButtonTitle(const std::optional<QString> &title);

    ViewController *topViewController() const;
    QList<ViewController *> viewControllers() const { return stack; }
    UINavigationBar *navigationBar() const { return bar; }

    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

Q_SIGNALS:
    void rootBackPressed();

private:
    void backPressed();
    void show(ViewController *screen, bool slideFromRight, bool animated, ViewController *leaving);
    void updateBar();

    UINavigationBar *bar;
    QStackedWidget *pages;
    QList<ViewController *> stack;
    std::optional<QString> rootBackTitle;
};
