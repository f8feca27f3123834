#pragma once

#include "Platform/Telephony/ModemWatcher.h"

// oFono's modems, with the interfaces each lists in its Interfaces property.
class OfonoWatcher : public ModemWatcher
{
    Q_OBJECT

public:
    explicit OfonoWatcher(const QDBusConnection &bus, QObject *parent = nullptr);

private Q_SLOTS:
    void modemAdded(const QDBusMessage &signal);
    void modemRemoved(const QDBusMessage &signal);
    void modemPropertyChanged(const QDBusMessage &signal);

private:
    Query modemsQuery() const override;
    Modems readModems(const QDBusMessage &reply) const override;
};
