#pragma once

#include "Platform/Telephony/DBusClient.h"
#include "Platform/Telephony/ModemCalls.h"
#include "Platform/Telephony/TelephonyBackend.h"

// A backend that reaches one modem through a D-Bus service. A service code goes to the network
// as a request when the modem takes it and is called otherwise; only a ringing call is
// answered.
class ModemBackend : public TelephonyBackend
{
    Q_OBJECT

public:
    void dial(const QString &dialString) final;
    void answer(const CTCall &call) final;

protected:
    ModemBackend(const QDBusConnection &bus, const QString &service, const QString &logName,
                 QString modem, QObject *parent);

    // Sends the code to the network; the answer goes to replied, a failure to requestFailed.
    virtual void requestService(const QString &code) = 0;
    virtual void startVoiceCall(const QString &number) = 0;
    virtual void accept(const QString &callID) = 0;

    void replied(const QString &text);
    // Calls the code instead, unless the request may have reached the network already.
    void requestFailed(const QString &code, const QDBusError &error);

    DBusClient client;
    const QString modemPath;
    ModemCalls calls;
};
