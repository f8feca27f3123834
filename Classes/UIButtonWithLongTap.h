#pragma once

#include <QPushButton>
#include <QTimer>

class UIButtonWithLongTapDelegate
{
public:
    virtual ~UIButtonWithLongTapDelegate() = default;
    // The button with this tag has been held for the long-tap delay.
    virtual void buttonDidLongTap(int tag) = 0;
};

// A button that also reports a press held for one second to its delegate, and then swallows
// the end of that press so that no ordinary tap follows. Works with the mouse and with touch;
// a touch the system cancels withdraws the pending long tap.
class UIButtonWithLongTap : public QPushButton
{
    Q_OBJECT

public:
    static constexpr int longTapMilliseconds = 1000;

    explicit UIButtonWithLongTap(QWidget *parent = nullptr);

    UIButtonWithLongTapDelegate *delegate() const { return longTapDelegate; }
    void setDelegate(UIButtonWithLongTapDelegate *delegate) { longTapDelegate = delegate; }
    bool consumedTap() const { return tapConsumed; }

protected:
    void mousePressEvent(QMouseEvent *event) override;
    void mouseReleaseEvent(QMouseEvent *event) override;
    bool event(QEvent *event) override;

private:
    void touchesBegan();
    void touchesEnded(bool inside);
    void touchesCancelled();
    void detecetedLongTap();

    UIButtonWithLongTapDelegate *longTapDelegate = nullptr;
    bool tapConsumed = false;
    QTimer longTapTimer{this};
};
