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
        qCWarning(lcMolvane).noquote() << "No system bus:" << bus.lastError().message();
        backend();
        return;
    }
    selector = std::make_unique<TelephonyBackendSelector>(
        bus, [this](std::unique_ptr<TelephonyBackend> backend) { install(std::move(backend)); });
}

void TelephonyService::install(std::unique_ptr<TelephonyBackend> backend)
{
    if (current)
        current->endCalls();
    current = std::move(backend);
    // What the old backend had not answered, it never will.
    while (!openDials.empty())
        finish(openDials.begin()->first, DialOutcome::failed(DialOutcome::OutcomeUnknown));
    dialledAwaitingCall.clear();
    connect(current.get(), &TelephonyBackend::callEvent, this, &TelephonyService::relayCallEvent);
    connect(current.get(), &TelephonyBackend::networkReply, this, &TelephonyService::networkReply);
    qCInfo(lcMolvane).noquote() << "Telephony backend:" << current->name();
    Q_EMIT backendChanged(current->name());
}

void TelephonyService::dial(const QString &dialString, QObject *context, DialCompletion done)
{
    const quint64 request = ++dialsMade;
    openDials[request] = {dialString, context ? context : this, std::move(done)};
    const auto dialable = DialString::dialable(dialString);
    if (!dialable) {
        qCInfo(lcMolvane) << "Not dialled, a modem cannot dial" << dialString;
        finish(request, DialOutcome::failed(DialOutcome::Refused));
        return;
    }
    dialledAwaitingCall.insert(*dialable);
    backend().dial(*dialable,
                   [this, request](const DialOutcome &outcome) { finish(request, outcome); });
}

void TelephonyService::finish(quint64 request, const DialOutcome &outcome)
{
    const auto found = openDials.find(request);
    if (found == openDials.end())
        return;
    OpenDial dial = std::move(found->second);
    openDials.erase(found);
    qCInfo(lcMolvane).noquote() << "Dial of" << dial.dialString << DialOutcomeName(outcome);
    if (!dial.done || !dial.context)
        return;
    // Queued, so the caller has finished its own steps before it hears how the dial went.
    QMetaObject::invokeMethod(
        dial.context, [done = std::move(dial.done), outcome] { done(outcome); },
        Qt::QueuedConnection);
}

void TelephonyService::answer(const CTCall &call)
{
    // Auto-answer asks for every call it hears of; only a ringing one can be answered.
    if (call.callState() == CTCallStateIncoming)
        ownCalls.insert(call.callID());
    backend().answer(call);
}

void TelephonyService::hangUp(const CTCall &call)
{
    backend().hangUp(call);
}

void TelephonyService::relayCallEvent(const CTCall &call)
{
    noteOwnership(call);
    Q_EMIT callEvent(call);
    CTTelephonyCenterGetDefault()->postNotification(kCTCallStatusChangeNotification, nullptr,
                                                    {{kCTCall, QVariant::fromValue(call)}});
    // Listeners to a call's end still find it this app's own.
    if (call.callState() == CTCallStateDisconnected)
        ownCalls.remove(call.callID());
}

// A call placed on the modem by another app is not ours, even while a dial of ours is open:
// it is ours when it calls what was dialled here.
void TelephonyService::noteOwnership(const CTCall &call)
{
    if (call.callState() == CTCallStateDialing && dialledAwaitingCall.remove(call.number()))
        ownCalls.insert(call.callID());
}
