#include "Platform/Telephony/SimulatedOperator.h"

#include "Platform/Log.h"
#include "Platform/Telephony/CallbackCode.h"

SimulatedOperator::SimulatedOperator(Delays delays, QObject *parent)
    : TelephonyBackend(parent), delays(delays)
{
    qCInfo(lcMolvane) << "No voice modem: calls go to a simulated operator";
}

QString SimulatedOperator::name() const
{
    return operatorName();
}

QString SimulatedOperator::operatorName()
{
    return QStringLiteral("Simulated operator");
}

std::optional<QString> SimulatedOperator::callbackNumber(const QString &dialString)
{
    return CallbackCode::numberIn(dialString);
}

void SimulatedOperator::dial(const QString &dialString, DialCompletion done)
{
    done(DialOutcome::sent());
    dialled.append(dialString);
    qCInfo(lcMolvane).noquote() << "Simulated operator: dialled" << dialString;
    const QString callID = startCall(CTCallStateDialing, dialString);
    endAfter(callID, delays.serviceCall);
    if (const auto number = callbackNumber(dialString))
        after(delays.ringBack, [this, number = *number] { ringBack(number); });
}

void SimulatedOperator::ringBack(const QString &number)
{
    const QString callID = startCall(CTCallStateIncoming, number);
    endAfter(callID, delays.ringTimeout);
}

void SimulatedOperator::answer(const CTCall &call)
{
    const auto found = calls.find(call.callID());
    if (found == calls.end() || found->second.snapshot.callState() != CTCallStateIncoming) {
        qCInfo(lcMolvane).noquote() << "Simulated operator: nothing to answer for" << call.callID();
        return;
    }
    changeState(call.callID(), CTCallStateConnected);
    endAfter(call.callID(), delays.callDuration);
}

void SimulatedOperator::hangUp(const CTCall &call)
{
    if (calls.contains(call.callID()))
        end(call.callID());
    else
        qCInfo(lcMolvane).noquote()
            << "Simulated operator: no call" << call.callID() << "to hang up";
}

// Reported at once: the operator is going away, and with it the event loop's pending reports.
void SimulatedOperator::endCalls()
{
    for (const auto &[callID, call] : calls)
        Q_EMIT callEvent(CTCall(callID, CTCallStateDisconnected, call.snapshot.number()));
    calls.clear();
}

QString SimulatedOperator::startCall(CTCallState state, const QString &number)
{
    const QString callID = QStringLiteral("simulated/%1").arg(++callsMade);
    calls[callID].snapshot = CTCall(callID, state, number);
    report(calls[callID].snapshot);
    return callID;
}

void SimulatedOperator::changeState(const QString &callID, CTCallState state)
{
    Call &call = calls[callID];
    call.snapshot = CTCall(callID, state, call.snapshot.number());
    report(call.snapshot);
}

// Events leave from the event loop, never from inside a dial or answer request, so every
// listener hears a call's states in the order they happened.
void SimulatedOperator::report(const CTCall &call)
{
    QTimer::singleShot(0, this, [this, call] {
        qCInfo(lcMolvane).noquote() << "Simulated operator: call" << call.callID()
                                    << CTCallStateName(call.callState()) << call.number();
        Q_EMIT callEvent(call);
    });
}

// A timer of the operator's own, rather than the event loop's single shot, so that what the
// operator has still to do can be seen among its children.
QTimer *SimulatedOperator::after(std::chrono::milliseconds delay, std::function<void()> step)
{
    auto *timer = new QTimer(this);
    timer->setSingleShot(true);
    connect(timer, &QTimer::timeout, this, [timer, step = std::move(step)] {
        timer->deleteLater();
        step();
    });
    timer->start(delay);
    return timer;
}

void SimulatedOperator::endAfter(const QString &callID, std::chrono::milliseconds delay)
{
    Call &call = calls[callID];
    dropTimer(call);
    call.timer = after(delay, [this, callID] { end(callID); });
}

void SimulatedOperator::end(const QString &callID)
{
    dropTimer(calls[callID]);
    changeState(callID, CTCallStateDisconnected);
    calls.erase(callID);
}

// Stopped first: a timer deleted later could still fire before it goes.
void SimulatedOperator::dropTimer(Call &call)
{
    if (!call.timer)
        return;
    call.timer->stop();
    call.timer->deleteLater();
    call.timer = nullptr;
}
