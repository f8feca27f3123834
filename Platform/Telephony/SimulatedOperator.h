#pragma once

#include "Platform/Telephony/TelephonyBackend.h"

#include <QStringList>
#include <QTimer>
#include <chrono>
#include <functional>
#include <map>
#include <optional>

struct SimulatedOperatorDelays
{
    std::chrono::milliseconds ringBack{3000};      // from the request to the callback
    std::chrono::milliseconds callDuration{10000}; // an answered callback, until it ends
    std::chrono::milliseconds ringTimeout{30000};  // an unanswered callback stops ringing
    std::chrono::milliseconds serviceCall{1000};   // the request's own call, until it ends
};

// Stands in for the modem and the operator when no voice modem is present. Every dialled string
// becomes a short outgoing call; a callback-service code is answered by ringing back. All events
// are posted from the event loop, as a modem's would be.
class SimulatedOperator : public TelephonyBackend
{
    Q_OBJECT

public:
    using Delays = SimulatedOperatorDelays;

    explicit SimulatedOperator(Delays delays = {}, QObject *parent = nullptr);

    QString name() const override;
    static QString operatorName();
    // Every dial is sent.
    void dial(const QString &dialString, DialCompletion done) override;
    void answer(const CTCall &call) override;
    void hangUp(const CTCall &call) override;
    void endCalls() override;

    // Every string dialled, in order.
    const QStringList &dialledCodes() const { return dialled; }

    // The number a callback-service code asks to be rung back for, if it is one.
    static std::optional<QString> callbackNumber(const QString &dialString);

private:
    struct Call
    {
        CTCall snapshot;
        QTimer *timer = nullptr; // ends the call in its current state
    };

    QString startCall(CTCallState state, const QString &number);
    void changeState(const QString &callID, CTCallState state);
    void report(const CTCall &call);
    QTimer *after(std::chrono::milliseconds delay, std::function<void()> step);
    void endAfter(const QString &callID, std::chrono::milliseconds delay);
    void end(const QString &callID);
    static void dropTimer(Call &call);
    void ringBack(const QString &number);

    Delays delays;
    QStringList dialled;
    std::map<QString, Call> calls;
    int callsMade = 0;
};
