#pragma once

#include "Platform/Telephony/DBusClient.h"
#include "Platform/Telephony/ModemCalls.h"
#include "Platform/Telephony/TelephonyBackend.h"

// A backend that reaches one modem through a D-Bus service. A service code goes to the network
// as a request when the modem takes it and is called otherwise; only a ringing call is
// answered. A dial is sent once the service has taken the call or the network the request.
// A session the network keeps open after its reply is closed again.
class ModemBackend : public TelephonyBackend
{
    Q_OBJECT

public:
    void dial(const QString &dialString, DialCompletion done) final;
    void answer(const CTCall &call) final;
    void hangUp(const CTCall &call) final;
    void endCalls() final;

protected:
    // requestInterface is the modem's interface with Initiate and Cancel for service codes.
    ModemBackend(const QDBusConnection &bus, const QString &service, const QString &logName,
                 QString modem, QString requestInterface, QObject *parent);

    virtual void startVoiceCall(const QString &number, DialCompletion done) = 0;
    // The interface of the service's call objects, and its method that answers one.
    virtual QString callInterface() const = 0;
    virtual QString answerMethod() const = 0;
    // The network's answer in Initiate's reply.
    virtual QString replyText(const QDBusMessage &reply) const = 0;
    // Reads whether the network waits for the user's response, which keeps the session open.
    virtual void readAwaitsResponse(std::function<void(bool awaits)> then) = 0;
    // Whether the error says the network itself turned the request down.
    virtual bool refusedByNetwork(const QDBusError &error) const = 0;
    // Whether Initiate was turned away because a session is still open.
    virtual bool sessionStillOpen(const QDBusError &error) const = 0;

    // Logs why the call could not be placed and tells the dial's outcome.
    void callFailed(const QString &method, const QDBusError &error, const DialCompletion &done);

    static DialOutcome::Failure failureFor(const QDBusError &error);

    DBusClient client;
    const QString modemPath;
    ModemCalls calls;

private:
    enum class Attempt
    {
        First,
        AfterCancel,
    };

    // Sends the code to the network; the answer goes to replied, a failure to requestFailed.
    void requestService(const QString &code, DialCompletion done, Attempt attempt);
    void replied(const QString &text, const DialCompletion &done);
    // Calls the code instead, unless the request may have reached the network already, the
    // network refused it, a session stood in its way, or the service is gone.
    void requestFailed(const QString &code, const QDBusError &error, DialCompletion done,
                       Attempt attempt);
    // Cancels the open session and sends the code again, once.
    void retryInNewSession(const QString &code, DialCompletion done, Attempt attempt);
    void closeSessionIfLeftOpen();
    // Runs then whatever Cancel answers.
    void cancelSession(std::function<void()> then);

    const QString requestInterface;
};
