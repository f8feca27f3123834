#include "Platform/Telephony/ModemCalls.h"

#include "Platform/Log.h"

ModemCalls::ModemCalls(QString logName, Report report)
    : logName(std::move(logName)), reportEvent(std::move(report))
{
}

std::optional<CTCallState> ModemCalls::reportedState(const QString &callID) const
{
    const auto found = calls.find(callID);
    return found == calls.end() ? std::nullopt : found->second.reported;
}

void ModemCalls::add(const QString &callID, const QString &number)
{
    calls[callID] = Call{number, std::nullopt};
}

void ModemCalls::setNumber(const QString &callID, const QString &number)
{
    if (const auto found = calls.find(callID); found != calls.end() && !number.isEmpty())
        found->second.number = number;
}

void ModemCalls::changeState(const QString &callID, CTCallState state)
{
    if (state == CTCallStateDisconnected) {
        remove(callID);
        return;
    }
    const auto found = calls.find(callID);
    if (found == calls.end() || found->second.reported == state)
        return;
    found->second.reported = state;
    report(callID, state, found->second.number);
}

void ModemCalls::remove(const QString &callID)
{
    const auto found = calls.find(callID);
    if (found == calls.end())
        return;
    const Call ended = found->second;
    // Forgotten before the report, so a listener that acts on the call finds it gone.
    calls.erase(found);
    if (ended.reported)
        report(callID, CTCallStateDisconnected, ended.number);
}

void ModemCalls::removeAll()
{
    while (!calls.empty()) {
        // A copy: remove erases the key it is given before it reports the call.
        const QString callID = calls.begin()->first;
        remove(callID);
    }
}

void ModemCalls::report(const QString &callID, CTCallState state, const QString &number)
{
    qCInfo(lcMolvane).noquote() << logName + QLatin1Char(':') << "call" << callID
                                << CTCallStateName(state) << number;
    reportEvent(CTCall(callID, state, number));
}
