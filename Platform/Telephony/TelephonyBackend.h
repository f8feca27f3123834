#pragma once

#include "Platform/Telephony/CTCall.h"
#include "Platform/Telephony/DialOutcome.h"

#include <QObject>

// One way of reaching the modem. A backend dials and answers, tells each dial's outcome once,
// reports every change of a call's state through callEvent, and the network's answer to a
// service code through networkReply.
class TelephonyBackend : public QObject
{
    Q_OBJECT

public:
    using QObject::QObject;

    // A short name for the log and the About screen.
    virtual QString name() const = 0;
    virtual void dial(const QString &dialString, DialCompletion done) = 0;
    virtual void answer(const CTCall &call) = 0;
    // Ends the call, whatever its state: dialling, ringing or connected.
    virtual void hangUp(const CTCall &call) = 0;
    // The backend is being replaced: every call it follows is reported ended, since nothing
    // will report on it again.
    virtual void endCalls() = 0;

Q_SIGNALS:
    void callEvent(const CTCall &call);
    void networkReply(const QString &text);
};
