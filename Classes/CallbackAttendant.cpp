#include "CallbackAttendant.h"

#include "AwaitedCallback.h"
#include "Platform/Shell/DesktopNotification.h"
#include "Platform/Telephony/CTTelephonyCenter.h"
#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/UI/UIApplication.h"
#include "Preferences.h"

#include <QEvent>
#include <QWidget>
#include <utility>

namespace {
const QString cancelAction = QStringLiteral("cancel");

// Auto-answer's registration answers whoever calls.
void stopAnsweringEveryCall()
{
    CTTelephonyCenterRemoveObserver(CTTelephonyCenterGetDefault(), nullptr, std::nullopt, nullptr);
}
} // namespace

CallbackAttendant::CallbackAttendant(QWidget *window, Localizer text, CallScreen callScreen,
                                     QObject *parent)
    : QObject(parent), window(window), text(std::move(text)), callScreen(std::move(callScreen)),
      notice(new DesktopNotification(this))
{
    window->installEventFilter(this);
    AwaitedCallback &awaited = AwaitedCallback::shared();
    connect(&awaited, &AwaitedCallback::callbackRinging, this, &CallbackAttendant::callbackRinging);
    connect(&awaited, &AwaitedCallback::callbackEnded, this, &CallbackAttendant::callbackEnded);
    connect(&awaited, &AwaitedCallback::settled, this, &CallbackAttendant::nothingAwaited);
    connect(notice, &DesktopNotification::actionInvoked, this, [](const QString &action) {
        if (action == cancelAction)
            AwaitedCallback::shared().cancel();
    });
}

CallbackAttendant::~CallbackAttendant() = default;

bool CallbackAttendant::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == window && event->type() == QEvent::Close)
        windowClosing();
    else if (watched == window && event->type() == QEvent::Show)
        windowShown();
    return QObject::eventFilter(watched, event);
}

// Staying is decided before the window goes, so the app does not end with it.
void CallbackAttendant::windowClosing()
{
    const AwaitedCallback &awaited = AwaitedCallback::shared();
    const bool waiting = Preferences::shared().autoAnswer() && awaited.isAwaiting();
    // A call of ours is seen to its end, so its audio is given back.
    if (!waiting && !awaited.callback()) {
        leave();
        return;
    }
    if (!keepAlive)
        keepAlive = std::make_unique<QEventLoopLocker>();
    // Unseen, only the awaited callback is answered.
    stopAnsweringEveryCall();
    if (waiting)
        showWaitingNotice();
}

void CallbackAttendant::showWaitingNotice()
{
    notice->show(
        QStringLiteral("Molvane"),
        text(u"Waiting for the operator's callback", u"Ожидание обратного звонка оператора"),
        {{cancelAction, text(u"Cancel", u"Отмена")}});
}

// Brought back by the user, the app is theirs again, and lives as long as the window.
void CallbackAttendant::windowShown()
{
    notice->close();
    if (!backForTheCall)
        keepAlive.reset();
}

void CallbackAttendant::callbackRinging(const CTCall &call)
{
    if (keepAlive && !window->isVisible()) {
        CTCallAnswer(call);
        backForTheCall = true;
        callScreen.show();
        UIApplication::sharedApplication()->bringKeyWindowToFront(QString());
        // The dial pad's appearance registered auto-answer again; it would take the next caller.
        stopAnsweringEveryCall();
        return;
    }
    const bool answeredByItself = CTTelephonyCenterGetDefault()->registrationCount() > 0;
    if (window->isVisible() && !answeredByItself)
        callScreen.offer(call);
}

// Closed again, the window decides as any close does whether the app goes on.
void CallbackAttendant::callbackEnded()
{
    if (std::exchange(backForTheCall, false) && window->isVisible())
        window->close();
}

void CallbackAttendant::nothingAwaited()
{
    if (!window->isVisible())
        leave();
}

// Once the window is closed, letting go ends the app.
void CallbackAttendant::leave()
{
    notice->close();
    keepAlive.reset();
}
