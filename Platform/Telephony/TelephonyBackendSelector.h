#pragma once

#include "Platform/Telephony/ModemManagerWatcher.h"
#include "Platform/Telephony/OfonoWatcher.h"
#include "Platform/Telephony/TelephonyBackend.h"

#include <functional>
#include <memory>

// Chooses the backend from the modems on the system bus: ModemManager with a voice modem, else
// oFono with one, else the simulated operator. It chooses again whenever a voice modem comes
// or goes or either service restarts, and hands over a new backend only when the choice
// changes.
class TelephonyBackendSelector : public QObject
{
    Q_OBJECT

public:
    using Install = std::function<void(std::unique_ptr<TelephonyBackend> backend)>;

    TelephonyBackendSelector(const QDBusConnection &bus, Install install,
                             QObject *parent = nullptr);

private:
    enum class Kind
    {
        ModemManager,
        Ofono,
        Simulated,
    };
    struct Choice
    {
        Kind kind;
        QString owner; // the service's process: a restarted service gets a new backend
        QString modem;
        bool operator==(const Choice &) const = default;
    };

    // Nothing while a service's modems are still being read.
    std::optional<Choice> preferred() const;
    void choose();
    std::unique_ptr<TelephonyBackend> make(const Choice &choice) const;

    QDBusConnection bus;
    Install install;
    ModemManagerWatcher modemManager;
    OfonoWatcher ofono;
    std::optional<Choice> current;
};
