#include "Platform/Telephony/TelephonyService.h"

#include "Platform/Log.h"
#include "Platform/Telephony/CTTelephonyCenter.h"
#include "Platform/Telephony/DialString.h"
#include "Platform/Telephony/SimulatedOperator.h"
#include "Platform/Telephony/TelephonyBackendSelector.h"

#include <QCoreApplication>
#include <QDBusConnection>

TelephonyService::TelephonyService(QObject *parent) : QObject(parent)
{
    qRegisterMetaType<CTCall>();
}

TelephonyService::~TelephonyService() = default;

TelephonyService &TelephonyService::shared()
{
    static TelephonyService *service = new TelephonyService(QCoreApplication::instance());
    return *service;
}

TelephonyBackend &TelephonyService::backend()
{
    if (!current)
        install(std::make_unique<SimulatedOperator>());
    return *current;
}

void TelephonyService::setBackend(std::unique_ptr<TelephonyBackend> backend)
{
    pinned = true;
    selector.reset();
    install(std::move(backend));
}

void TelephonyService::startAutomaticSelection()
{
    if (pinned || selector)
        return;
    const QDBusConnection bus = QDBusConnection::systemBus();
    if (!bus.isConnected()) {
        qCInfo(lcMolvane).noquote() << "No system bus:" << bus.lastError().message();
        backend();
        return;
    }
    selector = std::make_unique<TelephonyBackendSelector>(
        bus, [this](std::unique_ptr<TelephonyBackend> backend) { install(std::move(backend)); });
}

void TelephonyService::install(std::unique_ptr<TelephonyBackend> backend)
{
    current = std::move(backend);
    connect(current.get(), &TelephonyBackend::callEvent, this, &TelephonyService::relayCallEvent);
    connect(current.get(), &TelephonyBackend::networkReply, this, &TelephonyService::networkReply);
    qCInfo(lcMolvane).noquote() << "Telephony backend:" << current->name();
    Q_EMIT backendChanged(current->name());
}

void TelephonyService::dial(const QString &dialString)
{
    const auto dialable = DialString::dialable(dialString);
    if (!dialable) {
        qCInfo(lcMolvane) << "Not dialled, a modem cannot dial" << dialString;
        return;
    }
    backend().dial(*dialable);
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
