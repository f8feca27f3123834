#pragma once

#include "Platform/Telephony/DBusClient.h"
#include "Platform/Telephony/ModemCalls.h"
#include "Platform/Telephony/TelephonyBackend.h"

// Calls through one oFono modem with the VoiceCallManager interface. Service codes go through
// its SupplementaryServices interface when it takes them, and are dialled as calls otherwise.
class OfonoBackend : public TelephonyBackend
{
    Q_OBJECT

public:
    OfonoBackend(const QDBusConnection &bus, QString modemPath, QObject *parent = nullptr);

    QString name() const override;
    void dial(const QString &dialString) override;
    void answer(const CTCall &call) override;

private Q_SLOTS:
    void callAdded(const QDBusMessage &signal);
    void callRemoved(const QDBusMessage &signal);
    void callPropertyChanged(const QDBusMessage &signal);
    void callDisconnectReason(const QDBusMessage &signal);

private:
    void requestService(const QString &code);
    void startVoiceCall(const QString &number);
    void followCall(const QString &callPath, const QVariantMap &properties);
    void applyState(const QString &callPath, const QString &ofonoState);

    DBusClient client;
    QString modemPath;
    ModemCalls calls;
};
