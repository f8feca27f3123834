#pragma once

#include <QTest>
#include <QWidget>
#include <QWindow>

// Where the control lies in its window.
inline QRect rectInWindow(const QWidget *control)
{
    return QRect(control->mapTo(control->window(), QPoint(0, 0)), control->size());
}

// A finger on the middle of the control: a press at that place in the window, which goes to
// whatever lies on top there, as a person's tap does.
inline void tap(const QWidget *control)
{
    QTest::mouseClick(control->window()->windowHandle(), Qt::LeftButton, {},
                      rectInWindow(control).center());
}
