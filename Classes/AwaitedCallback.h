#pragma once

#include "Platform/Telephony/CTCall.h"

#include <QObject>
#include <map>
#include <optional>

class QTimer;

// The operator's callback that the requests which went out are waiting for: the first incoming
// call within two minutes of a request. The newest request waiting takes it; its number is not
// known beforehand.
class AwaitedCallback : public QObject
{
    Q_OBJECT

public:
    static AwaitedCallback &shared();

    static constexpr int waitMilliseconds = 2 * 60 * 1000;

    // A request is going out now; the returned wait is withdrawn when it turns out not to have.
    quint64 expect();
    void withdraw(quint64 wait);
    // Gives every wait up.
    void cancel();

    bool isAwaiting() const { return !waits.empty(); }
    // The callback on the line, ringing or connected, until it ends.
    std::optional<CTCall> callback() const { return onTheLine; }

Q_SIGNALS:
    void callbackRinging(const CTCall &call);
    void callbackEnded();
    // Nothing is awaited any more and no callback is on the line.
    void settled();

private:
    explicit AwaitedCallback(QObject *parent);
    void follow(const CTCall &call);
    void end(std::map<quint64, QTimer *>::iterator wait);
    void settleIfIdle();

    std::map<quint64, QTimer *> waits; // by the order the requests went out
    quint64 waitsMade = 0;
    std::optional<CTCall> onTheLine;
};
