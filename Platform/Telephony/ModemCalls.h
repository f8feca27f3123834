#pragma once

#include "Platform/Telephony/CTCall.h"

#include <functional>
#include <map>
#include <optional>

// The calls a modem service has, turned into call events: a call is reported each time its
// state changes, and its end only when something of it was reported before.
class ModemCalls
{
public:
    using Report = std::function<void(const CTCall &call)>;

    ModemCalls(QString logName, Report report);

    bool contains(const QString &callID) const { return calls.contains(callID); }
    // The state last reported for the call; nothing when none was, or the call is not followed.
    std::optional<CTCallState> reportedState(const QString &callID) const;
    // Starts following a call, replacing one followed under the same identifier (oFono reuses
    // a call's path once the call is gone).
    void add(const QString &callID, const QString &number);
    // The number may become known only after the call is reported; later events carry it.
    void setNumber(const QString &callID, const QString &number);
    // Reports the new state if it differs from the last one reported; a disconnected call is
    // forgotten.
    void changeState(const QString &callID, CTCallState state);
    // Forgets the call, reporting it disconnected if it was reported before.
    void remove(const QString &callID);
    // Forgets every call in the same way.
    void removeAll();

private:
    struct Call
    {
        QString number;
        std::optional<CTCallState> reported;
    };

    void report(const QString &callID, CTCallState state, const QString &number);

    QString logName;
    Report reportEvent;
    std::map<QString, Call> calls;
};
