#include "Platform/UI/TabBarController.h"

#include "Platform/UI/UITabBar.h"

#include <QShowEvent>
#include <QTabBar>

TabBarController::TabBarController(QWidget *parent) : QTabWidget(parent)
{
    // Our handler is connected before the tab widget's own, so the old screen hears that it
    // will disappear while it is still the one shown.
    auto *bar = new UITabBar(this);
    connect(bar, &QTabBar::currentChanged, this, &TabBarController::selectionWillChange);
    setTabBar(bar);
    connect(this, &QTabWidget::currentChanged, this, &TabBarController::selectionDidChange);
    setTabPosition(QTabWidget::South);
    setDocumentMode(true);
}

ViewController *TabBarController::viewControllerAt(int index) const
{
    return qobject_cast<ViewController *>(widget(index));
}

ViewController *TabBarController::selectedViewController() const
{
    return viewControllerAt(currentIndex());
}

void TabBarController::setItemTitle(int index, const QString &title)
{
    setTabText(index, title);
}

void TabBarController::selectionWillChange(int newIndex)
{
    if (!isVisible())
        return;
    if (ViewController *old = viewControllerAt(appearedIndex))
        old->viewWillDisappear(false);
    if (ViewController *next = viewControllerAt(newIndex)) {
        next->view();
        next->viewWillAppear(false);
    }
}

void TabBarController::selectionDidChange(int newIndex)
{
    if (!isVisible())
        return;
    ViewController *old = viewControllerAt(appearedIndex);
    appearedIndex = newIndex;
    if (ViewController *next = viewControllerAt(newIndex))
        next->viewDidAppear(false);
    if (old)
        old->viewDidDisappear(false);
}

void TabBarController::showEvent(QShowEvent *event)
{
    QTabWidget::showEvent(event);
    // A window restored from the task bar is not a screen appearing.
    if (event->spontaneous() || appearedIndex == currentIndex() || currentIndex() < 0)
        return;
    appearedIndex = currentIndex();
    ViewController *shown = selectedViewController();
    shown->view();
    shown->viewWillAppear(false);
    shown->viewDidAppear(false);
}

void TabBarController::hideEvent(QHideEvent *event)
{
    QTabWidget::hideEvent(event);
    if (event->spontaneous())
        return;
    if (ViewController *shown = viewControllerAt(appearedIndex)) {
        shown->viewWillDisappear(false);
        shown->viewDidDisappear(false);
    }
    appearedIndex = -1;
}
