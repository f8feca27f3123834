#pragma once

#include <QMetaType>
#include <QString>

enum CTCallState
{
    CTCallStateDialing,
    CTCallStateIncoming,
    CTCallStateConnected,
    CTCallStateDisconnected,
};

// A snapshot of one call as a telephony event reports it. The identifier names the call to the
// backend that owns it, so an answer request reaches the right call.
class CTCall
{
public:
    CTCall() = default;
    CTCall(QString callID, CTCallState callState, QString number)
        : identifier(std::move(callID)), state(callState), callNumber(std::move(number))
    {
    }

    const QString &callID() const { return identifier; }
    CTCallState callState() const { return state; }
    const QString &number() const { return callNumber; }

    bool operator==(const CTCall &) const = default;

private:
    QString identifier;
    CTCallState state = CTCallStateDisconnected;
    QString callNumber;
};

Q_DECLARE_METATYPE(CTCall)

const char *CTCallStateName(CTCallState state);
