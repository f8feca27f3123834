#include "Platform/Telephony/TelephonyService.h"

#include "Platform/Log.h"
#include "Platform/Telephony/CTTelephonyCenter.h"
#include "Platform/Telephony/SimulatedOperator.h"

#include <QCoreApplication>

TelephonyService::TelephonyService(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<CTCall>();
}

TelephonyService &TelephonyService::shared()
{
    static TelephonyService *service = new TelephonyService(QCoreApplication::instance());
    return *service;
}

TelephonyBackend &TelephonyService::backend()
{
    if (!current)
        setBackend(std::make_unique<SimulatedOperator>());
    return *current;
}

void TelephonyService::setBackend(std::unique_ptr<TelephonyBackend> backend)
{
    current = std::move(backend);
    connect(current.get(), &TelephonyBackend::callEvent, this, &TelephonyService::relayCallEvent);
    qCInfo(lcMolvane).noquote() << "Telephony backend:" << current->name();
    Q_EMIT backendChanged(current->name());
}

void TelephonyService::dial(const QString &dialString)
{
    backend().dial(dialString);
}

void TelephonyService::answer(const CTCall &call)
{
    backend().answer(call);
}

void TelephonyService::relayCallEvent(const CTCall &call)
{
    Q_EMIT callEvent(call);
    CTTelephonyCenterGetDefault()->postNotification(kCTCallStatusChangeNotification, nullptr,
                                                    {{kCTCall, QVariant::fromValue(call)}});
}
