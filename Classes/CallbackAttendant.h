#pragma once

#include "Localizer.h"

#include <QEventLoopLocker>
#include <QObject>
#include <functional>
#include <memory>

class CTCall;
class DesktopNotification;
class QWidget;

// Sees the awaited callback through, whatever becomes of the window. While the window shows,
// auto-answer answers the callback, or it is offered to be answered by hand. When the window is
// closed with auto-answer on and a callback awaited, the app stays without it: it says so in a
// notification, answers that callback and no other call, brings the window back for the call,
// and ends when the call does, or when nothing is awaited any more.
class CallbackAttendant : public QObject
{
    Q_OBJECT

public:
    // What the screens do for a call: bring the in-call bar into view, and offer a call there to
    // be answered by hand (bringing it into view too).
    struct CallScreen
    {
        std::function<void()> show;
        std::function<void(const CTCall &call)> offer;
    };

    CallbackAttendant(QWidget *window, Localizer text, CallScreen callScreen,
                      QObject *parent = nullptr);
    ~CallbackAttendant() override;

    // Whether the app stays although its window was closed.
    bool staysWithoutWindow() const { return keepAlive != nullptr; }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void windowClosing();
    void windowShown();
    void callbackRinging(const CTCall &call);
    void callbackEnded();
    void nothingAwaited();
    void showWaitingNotice();
    void leave();

    QWidget *window;
    Localizer text;
    CallScreen callScreen;
    DesktopNotification *notice;
    std::unique_ptr<QEventLoopLocker> keepAlive;
    // The window came back for a callback answered while it was closed, and goes with the call.
    bool backForTheCall = false;
};
