#include "Platform/UI/UINavigationController.h"

#include "Platform/UI/UINavigationBar.h"

#include <QPropertyAnimation>
#include <QStackedWidget>
#include <QVBoxLayout>

UINavigationController::UINavigationController(QWidget *parent)
    : ViewController(parent), bar(new UINavigationBar(this)), pages(new QStackedWidget(this))
{
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(0);
    column->addWidget(bar);
    column->addWidget(pages, 1);
    connect(bar, &UINavigationBar::backPressed, this, &UINavigationController::backPressed);
}

void UINavigationController::setRootViewController(ViewController *root)
{
    // Screens a layout put inside the container wait in its page stack until pushed: left as
    // its own children they would lie, unseen, over the bar and take its taps.
    const auto waiting = findChildren<ViewController *>(QString(), Qt::FindDirectChildrenOnly);
    for (ViewController *screen : waiting)
        pages->addWidget(screen);
    stack = {root};
    pages->addWidget(root);
    pages->setCurrentWidget(root);
    updateBar();
}

ViewController *UINavigationController::topViewController() const
{
    return stack.isEmpty() ? nullptr : stack.last();
}

void UINavigationController::pushViewController(ViewController *screen, bool animated)
{
    ViewController *leaving = topViewController();
    if (!screen || screen == leaving || stack.contains(screen))
        return;
    stack.append(screen);
    if (pages->indexOf(screen) < 0)
        pages->addWidget(screen);
    show(screen, true, animated, leaving);
}

void UINavigationController::popViewControllerAnimated(bool animated)
{
    if (stack.size() < 2)
        return;
    ViewController *leaving = stack.takeLast();
    show(stack.last(), false, animated, leaving);
}

void UINavigationController::setRootBackButtonTitle(const std::optional<QString> &title)
{
    rootBackTitle = title;
    updateBar();
}

void UINavigationController::backPressed()
{
    if (stack.size() > 1)
        popViewControllerAnimated(true);
    else
        Q_EMIT rootBackPressed();
}

void UINavigationController::show(ViewController *screen, bool slideFromRight, bool animated,
                                  ViewController *leaving)
{
    const bool onScreen = isVisible();
    if (onScreen && leaving)
        leaving->viewWillDisappear(animated);
    screen->view();
    if (onScreen)
        screen->viewWillAppear(animated);
    pages->setCurrentWidget(screen);
    updateBar();
    const auto finish = [screen, leaving, onScreen, animated] {
        if (!onScreen)
            return;
        screen->viewDidAppear(animated);
        if (leaving)
            leaving->viewDidDisappear(animated);
    };
    if (!animated || !onScreen) {
        finish();
        return;
    }
    auto *slide = new QPropertyAnimation(screen, "pos", this);
    const int from = slideFromRight ? pages->width() : -pages->width() / 3;
    slide->setStartValue(QPoint(from, 0));
    slide->setEndValue(QPoint(0, 0));
    slide->setDuration(pushMilliseconds);
    slide->setEasingCurve(QEasingCurve::OutCubic);
    connect(slide, &QPropertyAnimation::finished, this, finish);
    slide->start(QAbstractAnimation::DeleteWhenStopped);
}

void UINavigationController::updateBar()
{
    if (ViewController *top = topViewController())
        bar->followTitleOf(top);
    if (stack.size() > 1)
        bar->setBackButtonTitle(stack.at(stack.size() - 2)->title());
    else
        bar->setBackButtonTitle(rootBackTitle);
}

void UINavigationController::viewWillAppear(bool animated)
{
    if (ViewController *top = topViewController()) {
        top->view();
        top->viewWillAppear(animated);
        updateBar();
    }
}

void UINavigationController::viewDidAppear(bool animated)
{
    if (ViewController *top = topViewController())
        top->viewDidAppear(animated);
}

void UINavigationController::viewWillDisappear(bool animated)
{
    if (ViewController *top = topViewController())
        top->viewWillDisappear(animated);
}

void UINavigationController::viewDidDisappear(bool animated)
{
    if (ViewController *top = topViewController())
        top->viewDidDisappear(animated);
}
