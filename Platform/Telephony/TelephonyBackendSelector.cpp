#include "Platform/Telephony/TelephonyBackendSelector.h"

#include "Platform/Telephony/ModemManagerBackend.h"
#include "Platform/Telephony/ModemManagerInterfaces.h"
#include "Platform/Telephony/OfonoBackend.h"
#include "Platform/Telephony/OfonoInterfaces.h"
#include "Platform/Telephony/SimulatedOperator.h"

TelephonyBackendSelector::TelephonyBackendSelector(const QDBusConnection &bus, Install install,
                                                   QObject *parent)
    : QObject(parent), bus(bus), install(std::move(install)), modemManager(bus), ofono(bus)
{
    connect(&modemManager, &ModemWatcher::changed, this, &TelephonyBackendSelector::choose);
    connect(&ofono, &ModemWatcher::changed, this, &TelephonyBackendSelector::choose);
}

std::optional<TelephonyBackendSelector::Choice> TelephonyBackendSelector::preferred() const
{
    if (!modemManager.isReady() || !ofono.isReady())
        return std::nullopt;
    if (const auto modem = modemManager.modemWith(ModemManager::voiceInterface))
        return Choice{Kind::ModemManager, modemManager.owner(), *modem};
    if (const auto modem = ofono.modemWith(Ofono::voiceCallManagerInterface))
        return Choice{Kind::Ofono, ofono.owner(), *modem};
    return Choice{Kind::Simulated, QString(), QString()};
}

void TelephonyBackendSelector::choose()
{
    const auto choice = preferred();
    if (!choice || choice == current)
        return;
    current = choice;
    install(make(*choice));
}

std::unique_ptr<TelephonyBackend> TelephonyBackendSelector::make(const Choice &choice) const
{
    switch (choice.kind) {
    case Kind::ModemManager:
        return std::make_unique<ModemManagerBackend>(bus, choice.modem);
    case Kind::Ofono:
        return std::make_unique<OfonoBackend>(bus, choice.modem);
    case Kind::Simulated:
        break;
    }
    return std::make_unique<SimulatedOperator>();
}
