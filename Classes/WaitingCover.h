#pragma once

#include <QPointer>
#include <QTimer>
#include <QWidget>

// The cover over the dial pad while a callback is awaited. It spans the screen, keeps its
// caption clear of the in-call bar, which stays above it, and goes after a while by itself.
// Taken down early, it stays hidden until its time is up, and says so only then.
class WaitingCover : public QWidget
{
    Q_OBJECT

public:
    static constexpr int lifetimeMilliseconds = 5000;

    // Shown at once over the screen, which owns it.
    WaitingCover(QWidget *screen, QWidget *inCallBar, const QString &caption);

    void takeDown();

Q_SIGNALS:
    // Its time is up; the cover is gone right after.
    void timeUp();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void layOut();

    QPointer<QWidget> inCallBar;
    QTimer lifetime;
};
