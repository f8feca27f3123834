#include "UIButtonWithLongTap.h"

#include "Platform/UI/ViewController.h"

#include <QMouseEvent>
#include <QTouchEvent>

UIButtonWithLongTap::UIButtonWithLongTap(QWidget *parent) : QPushButton(parent)
{
    setAttribute(Qt::WA_AcceptTouchEvents);
    // Named, and a child of the button, so a test can fire it rather than wait a second.
    longTapTimer.setObjectName(QStringLiteral("LongTap"));
    longTapTimer.setSingleShot(true);
    longTapTimer.setInterval(longTapMilliseconds);
    connect(&longTapTimer, &QTimer::timeout, this, &UIButtonWithLongTap::detecetedLongTap);
}

void UIButtonWithLongTap::mousePressEvent(QMouseEvent *event)
{
    tapConsumed = false;
    QPushButton::mousePressEvent(event);
    if (event->button() == Qt::LeftButton)
        longTapTimer.start();
}

void UIButtonWithLongTap::mouseReleaseEvent(QMouseEvent *event)
{
    if (tapConsumed) {
        // The hold was the tap; only the pressed look goes, no click is sent.
        setDown(false);
        event->accept();
        return;
    }
    QPushButton::mouseReleaseEvent(event);
    longTapTimer.stop();
}

bool UIButtonWithLongTap::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::TouchBegin:
        touchesBegan();
        return true;
    case QEvent::TouchUpdate: {
        const auto *touch = static_cast<QTouchEvent *>(event);
        if (!touch->points().isEmpty() && !tapConsumed)
            setDown(rect().contains(touch->points().first().position().toPoint()));
        return true;
    }
    case QEvent::TouchEnd: {
        const auto *touch = static_cast<QTouchEvent *>(event);
        touchesEnded(!touch->points().isEmpty() &&
                     rect().contains(touch->points().first().position().toPoint()));
        return true;
    }
    case QEvent::TouchCancel:
        touchesCancelled();
        return true;
    default:
        return QPushButton::event(event);
    }
}

void UIButtonWithLongTap::touchesBegan()
{
    tapConsumed = false;
    setDown(true);
    longTapTimer.start();
}

void UIButtonWithLongTap::touchesEnded(bool inside)
{
    setDown(false);
    if (tapConsumed)
        return;
    longTapTimer.stop();
    if (inside)
        click();
}

void UIButtonWithLongTap::touchesCancelled()
{
    longTapTimer.stop();
    setDown(false);
}

void UIButtonWithLongTap::detecetedLongTap()
{
    tapConsumed = true;
    if (longTapDelegate)
        longTapDelegate->buttonDidLongTap(viewTag(this));
}
