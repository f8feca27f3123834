#pragma once

#include "support/DBusMock.h"

#include <QDBusObjectPath>
#include <QTest>

// ModemManager with one modem (see modemmanager_template.py for the parameters), and the network
// acting on its calls.
class ModemManagerMock : public DBusMock
{
public:
    static inline const QString modem = "/org/freedesktop/ModemManager1/Modem/0";
    static inline const QString root = "/org/freedesktop/ModemManager1";
    enum CallState
    {
        Dialing = 1,
        RingingOut = 2,
        RingingIn = 3,
        Active = 4,
        Terminated = 7,
    };
    enum Reason
    {
        Accepted = 3,
        HungUp = 4,
    };

    explicit ModemManagerMock(const QVariantMap &parameters = {})
        : DBusMock("org.freedesktop.ModemManager1", QFINDTESTDATA("modemmanager_template.py"),
                   parameters)
    {
    }

    QString addIncomingCall(const QString &number) const
    {
        return control(root, "AddIncomingCall", {number})
            .arguments()
            .value(0)
            .value<QDBusObjectPath>()
            .path();
    }
    void setCallState(const QString &call, CallState state, Reason reason = HungUp) const
    {
        control(root, "SetCallState",
                {QVariant::fromValue(QDBusObjectPath(call)), int(state), uint(reason)});
    }
    void setCallNumber(const QString &call, const QString &number) const
    {
        control(root, "SetCallNumber", {QVariant::fromValue(QDBusObjectPath(call)), number});
    }
    void addVoice() const { control(root, "AddVoice", {}); }
    void removeModem() const { control(root, "RemoveModem", {}); }
};
