#pragma once

#include "Platform/Telephony/ModemWatcher.h"

// ModemManager's modems, from its object manager.
class ModemManagerWatcher : public ModemWatcher
{
    Q_OBJECT

public:
    explicit ModemManagerWatcher(const QDBusConnection &bus, QObject *parent = nullptr);

private Q_SLOTS:
    void interfacesAdded(const QDBusMessage &signal);
    void interfacesRemoved(const QDBusMessage &signal);

private:
    Query modemsQuery() const override;
    Modems readModems(const QDBusMessage &reply) const override;
};
