#include "AwaitedCallback.h"

#include "Platform/Telephony/TelephonyService.h"

#include <QCoreApplication>
#include <QTimer>

AwaitedCallback::AwaitedCallback(QObject *parent) : QObject(parent)
{
    connect(&TelephonyService::shared(), &TelephonyService::callEvent, this,
            &AwaitedCallback::follow);
}

AwaitedCallback &AwaitedCallback::shared()
{
    static auto *awaited = new AwaitedCallback(QCoreApplication::instance());
    return *awaited;
}

quint64 AwaitedCallback::expect()
{
    const quint64 wait = ++waitsMade;
    auto *timer = new QTimer(this);
    timer->setObjectName(QStringLiteral("CallbackWait"));
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [this, wait] { withdraw(wait); });
    timer->start(waitMilliseconds);
    waits.emplace(wait, timer);
    return wait;
}

void AwaitedCallback::withdraw(quint64 wait)
{
    if (const auto found = waits.find(wait); found != waits.end()) {
        end(found);
        settleIfIdle();
    }
}

void AwaitedCallback::cancel()
{
    while (!waits.empty())
        end(waits.begin());
    settleIfIdle();
}

void AwaitedCallback::end(std::map<quint64, QTimer *>::iterator wait)
{
    wait->second->deleteLater();
    waits.erase(wait);
}

void AwaitedCallback::settleIfIdle()
{
    if (waits.empty() && !onTheLine)
        Q_EMIT settled();
}

void AwaitedCallback::follow(const CTCall &call)
{
    if (onTheLine && call.callID() == onTheLine->callID()) {
        onTheLine = call;
        if (call.callState() != CTCallStateDisconnected)
            return;
        onTheLine.reset();
        Q_EMIT callbackEnded();
        settleIfIdle();
        return;
    }
    if (call.callState() != CTCallStateIncoming || waits.empty() || onTheLine)
        return;
    end(std::prev(waits.end()));
    onTheLine = call;
    Q_EMIT callbackRinging(call);
}
