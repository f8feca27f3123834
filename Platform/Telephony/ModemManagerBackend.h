#pragma once

#include "Platform/Telephony/ModemBackend.h"

// Calls through one ModemManager modem with the Voice interface; service codes go through its
// USSD interface.
class ModemManagerBackend : public ModemBackend
{
    Q_OBJECT

public:
    ModemManagerBackend(const QDBusConnection &bus, QString modem, QObject *parent = nullptr);

    QString name() const override;

private Q_SLOTS:
    void callAdded(const QDBusMessage &signal);
    void callDeleted(const QDBusMessage &signal);
    void callStateChanged(const QDBusMessage &signal);
    void callPropertiesChanged(const QDBusMessage &signal);

private:
    void startVoiceCall(const QString &number, DialCompletion done) override;
    QString callInterface() const override;
    QString answerMethod() const override;
    QString replyText(const QDBusMessage &reply) const override;
    void readAwaitsResponse(std::function<void(bool awaits)> then) override;
    bool refusedByNetwork(const QDBusError &error) const override;
    bool sessionStillOpen(const QDBusError &error) const override;
    void startCall(const QString &callPath, DialCompletion done);
    void followCall(const QString &callPath, const QString &number);
    void readCallProperties(const QString &callPath, const QVariantMap &properties);
    void applyState(const QString &callPath, int modemManagerState);
    void deleteCall(const QString &callPath);
};
