#include "Platform/UI/ViewController.h"

#include "Platform/UI/UINavigationController.h"

#include <QEvent>
#include <QPropertyAnimation>

namespace {
const char *const tagProperty = "tag";
}

ViewController::ViewController(QWidget *parent) : QWidget(parent) {}

QWidget *ViewController::view()
{
    if (!viewLoaded) {
        viewLoaded = true;
        loadView();
        viewDidLoad();
    }
    return this;
}

QWidget *ViewController::viewWithTag(int tag)
{
    return ::viewWithTag(view(), tag);
}

UINavigationController *ViewController::navigationController() const
{
    for (QWidget *ancestor = parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        if (auto *navigation = qobject_cast<UINavigationController *>(ancestor))
            return navigation;
    }
    return nullptr;
}

void ViewController::presentModalViewController(ViewController *screen, bool animated)
{
    QWidget *window = this->window();
    viewWillDisappear(animated);
    screen->presenter = this;
    presented = screen;
    screen->setParent(window);
    screen->setGeometry(window->rect());
    window->installEventFilter(screen);
    screen->view();
    screen->viewWillAppear(animated);
    screen->show();
    screen->raise();
    const auto appeared = [this, screen = QPointer(screen), animated] {
        if (screen)
            screen->viewDidAppear(animated);
        viewDidDisappear(animated);
    };
    if (!animated) {
        appeared();
        return;
    }
    auto *rise = new QPropertyAnimation(screen, "pos", screen);
    rise->setStartValue(QPoint(0, window->height()));
    rise->setEndValue(QPoint(0, 0));
    rise->setDuration(modalMilliseconds);
    rise->setEasingCurve(QEasingCurve::OutCubic);
    connect(rise, &QPropertyAnimation::finished, this, appeared);
    rise->start(QAbstractAnimation::DeleteWhenStopped);
}

// The screen that presented this one, or the one that presented the screen this one sits in.
ViewController *ViewController::modalPresenter()
{
    if (presented)
        return this;
    for (QWidget *widget = this; widget; widget = widget->parentWidget()) {
        auto *screen = qobject_cast<ViewController *>(widget);
        if (screen && screen->presenter)
            return screen->presenter;
    }
    return nullptr;
}

void ViewController::dismissModalViewControllerAnimated(bool animated)
{
    ViewController *owner = modalPresenter();
    if (!owner || !owner->presented)
        return;
    ViewController *screen = owner->presented;
    owner->presented = nullptr;
    screen->window()->removeEventFilter(screen);
    screen->viewWillDisappear(animated);
    owner->viewWillAppear(animated);
    const auto gone = [owner = QPointer(owner), screen, animated] {
        screen->hide();
        screen->viewDidDisappear(animated);
        if (owner)
            owner->viewDidAppear(animated);
        screen->deleteLater();
    };
    if (!animated) {
        gone();
        return;
    }
    auto *fall = new QPropertyAnimation(screen, "pos", screen);
    fall->setEndValue(QPoint(0, screen->height()));
    fall->setDuration(modalMilliseconds);
    fall->setEasingCurve(QEasingCurve::InCubic);
    connect(fall, &QPropertyAnimation::finished, screen, gone);
    fall->start(QAbstractAnimation::DeleteWhenStopped);
}

// A presented screen keeps covering its window as the window is resized.
bool ViewController::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Resize && watched == window() && presenter)
        setGeometry(window()->rect());
    return QWidget::eventFilter(watched, event);
}

void setViewTag(QWidget *view, int tag)
{
    view->setProperty(tagProperty, tag);
}

int viewTag(const QWidget *view)
{
    return view->property(tagProperty).toInt();
}

QWidget *viewWithTag(QWidget *root, int tag)
{
    if (viewTag(root) == tag)
        return root;
    const auto descendants = root->findChildren<QWidget *>();
    for (QWidget *descendant : descendants) {
        if (viewTag(descendant) == tag)
            return descendant;
    }
    return nullptr;
}
