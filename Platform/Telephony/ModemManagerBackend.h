#pragma once

#include "Platform/Telephony/DBusClient.h"
#include "Platform/Telephony/ModemCalls.h"
#include "Platform/Telephony/TelephonyBackend.h"

// Calls through one ModemManager modem with the Voice interface. Service codes go through the
// modem's USSD interface when it takes them, and are dialled as calls otherwise.
class ModemManagerBackend : public TelephonyBackend
{
    Q_OBJECT

public:
    ModemManagerBackend(const QDBusConnection &bus, QString modemPath, QObject *parent = nullptr);

    QString name() const override;
    void dial(const QString &dialString) override;
    void answer(const CTCall &call) override;

private Q_SLOTS:
    void callAdded(const QDBusMessage &signal);
    void callDeleted(const QDBusMessage &signal);
    void callStateChanged(const QDBusMessage &signal);
    void callPropertiesChanged(const QDBusMessage &signal);

private:
    void requestService(const QString &code);
    void startVoiceCall(const QString &number);
    void startCall(const QString &callPath);
    void followCall(const QString &callPath, const QString &number);
    void readCallProperties(const QString &callPath, const QVariantMap &properties);
    void applyState(const QString &callPath, int modemManagerState);
    void deleteCall(const QString &callPath);

    DBusClient client;
    QString modemPath;
    ModemCalls calls;
};
