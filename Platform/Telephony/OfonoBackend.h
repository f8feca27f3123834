#pragma once

#include "Platform/Telephony/ModemBackend.h"

// Calls through one oFono modem with the VoiceCallManager interface; service codes go through
// its SupplementaryServices interface.
class OfonoBackend : public ModemBackend
{
    Q_OBJECT

public:
    OfonoBackend(const QDBusConnection &bus, QString modem, QObject *parent = nullptr);

    QString name() const override;

private Q_SLOTS:
    void callAdded(const QDBusMessage &signal);
    void callRemoved(const QDBusMessage &signal);
    void callPropertyChanged(const QDBusMessage &signal);
    void callDisconnectReason(const QDBusMessage &signal);

private:
    void startVoiceCall(const QString &number, DialCompletion done) override;
    QString callInterface() const override;
    QString answerMethod() const override;
    QString replyText(const QDBusMessage &reply) const override;
    void readAwaitsResponse(std::function<void(bool awaits)> then) override;
    bool refusedByNetwork(const QDBusError &error) const override;
    bool sessionStillOpen(const QDBusError &error) const override;
    void followCall(const QString &callPath, const QVariantMap &properties);
    void applyState(const QString &callPath, const QString &ofonoState);
};
