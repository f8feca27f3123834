#include "Platform/Telephony/ModemManagerBackend.h"

#include "Platform/Log.h"
#include "Platform/Telephony/ModemManagerInterfaces.h"

#include <QDBusArgument>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusVariant>

namespace {
const QString propertiesInterface = QStringLiteral("org.freedesktop.DBus.Properties");

// MMCallState.
enum
{
    CallStateUnknown = 0,
    CallStateDialing = 1,
    CallStateRingingOut = 2,
    CallStateRingingIn = 3,
    CallStateActive = 4,
    CallStateHeld = 5,
    CallStateWaiting = 6,
    CallStateTerminated = 7,
};

// MMModem3gppUssdSessionState: the network waits for the user's response.
constexpr uint UssdStateUserResponse = 3;

// Unknown (an outgoing call not yet started) and held have no call event of their own.
std::optional<CTCallState> callStateFor(int modemManagerState)
{
    switch (modemManagerState) {
    case CallStateDialing:
    case CallStateRingingOut:
        return CTCallStateDialing;
    case CallStateRingingIn:
    case CallStateWaiting:
        return CTCallStateIncoming;
    case CallStateActive:
        return CTCallStateConnected;
    case CallStateTerminated:
        return CTCallStateDisconnected;
    default:
        return std::nullopt;
    }
}

QString objectPath(const QVariant &argument)
{
    return argument.value<QDBusObjectPath>().path();
}
} // namespace

ModemManagerBackend::ModemManagerBackend(const QDBusConnection &bus, QString modem, QObject *parent)
    : ModemBackend(bus, ModemManager::service, QStringLiteral("ModemManager"), std::move(modem),
                   ModemManager::ussdInterface, parent)
{
    client.subscribe(modemPath, ModemManager::voiceInterface, QStringLiteral("CallAdded"), this,
                     SLOT(callAdded(QDBusMessage)));
    client.subscribe(modemPath, ModemManager::voiceInterface, QStringLiteral("CallDeleted"), this,
                     SLOT(callDeleted(QDBusMessage)));
    client.subscribe(QString(), ModemManager::callInterface, QStringLiteral("StateChanged"), this,
                     SLOT(callStateChanged(QDBusMessage)));
    client.subscribe(QString(), propertiesInterface, QStringLiteral("PropertiesChanged"), this,
                     SLOT(callPropertiesChanged(QDBusMessage)), {ModemManager::callInterface});
    // A call may already ring, or be left over terminated from an earlier run.
    client.call(modemPath, ModemManager::voiceInterface, QStringLiteral("ListCalls"), {}, this,
                [this](const QDBusMessage &reply) {
                    for (const QDBusObjectPath &call :
                         qdbus_cast<QList<QDBusObjectPath>>(reply.arguments().value(0)))
                        followCall(call.path(), QString());
                });
}

QString ModemManagerBackend::name() const
{
    return QStringLiteral("ModemManager");
}

QString ModemManagerBackend::replyText(const QDBusMessage &reply) const
{
    return reply.arguments().value(0).toString();
}

void ModemManagerBackend::readAwaitsResponse(std::function<void(bool awaits)> then)
{
    client.call(modemPath, propertiesInterface, QStringLiteral("Get"),
                {ModemManager::ussdInterface, QStringLiteral("State")}, this,
                [then](const QDBusMessage &reply) {
                    then(reply.arguments().value(0).value<QDBusVariant>().variant().toUInt() ==
                         UssdStateUserResponse);
                });
}

// The daemon answers "USSD terminated by network" with Aborted.
bool ModemManagerBackend::refusedByNetwork(const QDBusError &error) const
{
    return error.name() == QLatin1String("org.freedesktop.ModemManager1.Error.Core.Aborted");
}

bool ModemManagerBackend::sessionStillOpen(const QDBusError &error) const
{
    return error.name() == QLatin1String("org.freedesktop.ModemManager1.Error.Core.WrongState");
}

void ModemManagerBackend::startVoiceCall(const QString &number, DialCompletion done)
{
    const QVariantMap properties{{QStringLiteral("number"), number}};
    client.call(
        modemPath, ModemManager::voiceInterface, QStringLiteral("CreateCall"), {properties}, this,
        [this, number, done](const QDBusMessage &reply) {
            const QString callPath = objectPath(reply.arguments().value(0));
            if (callPath.isEmpty()) {
                qCInfo(lcMolvane) << "ModemManager: CreateCall named no call";
                done(DialOutcome::failed(DialOutcome::ModemError));
                return;
            }
            followCall(callPath, number);
            startCall(callPath, done);
        },
        [this, done](const QDBusError &error) {
            callFailed(QStringLiteral("CreateCall"), error, done);
        });
}

void ModemManagerBackend::startCall(const QString &callPath, DialCompletion done)
{
    client.call(
        callPath, ModemManager::callInterface, QStringLiteral("Start"), {}, this,
        [done](const QDBusMessage &) { done(DialOutcome::sent()); },
        [this, callPath, done](const QDBusError &error) {
            // A call that never started would stay listed for ever.
            calls.remove(callPath);
            deleteCall(callPath);
            callFailed(QStringLiteral("Start"), error, done);
        });
}

QString ModemManagerBackend::callInterface() const
{
    return ModemManager::callInterface;
}

QString ModemManagerBackend::answerMethod() const
{
    return QStringLiteral("Accept");
}

void ModemManagerBackend::callAdded(const QDBusMessage &signal)
{
    followCall(objectPath(signal.arguments().value(0)), QString());
}

void ModemManagerBackend::callDeleted(const QDBusMessage &signal)
{
    calls.remove(objectPath(signal.arguments().value(0)));
}

// A call is exported already in its first state (ringing-in for an incoming one), for which no
// StateChanged comes: read it. The number is known at once for an outgoing call only.
void ModemManagerBackend::followCall(const QString &callPath, const QString &number)
{
    if (calls.contains(callPath)) {
        calls.setNumber(callPath, number);
        return;
    }
    calls.add(callPath, number);
    client.call(callPath, propertiesInterface, QStringLiteral("GetAll"),
                {ModemManager::callInterface}, this, [this, callPath](const QDBusMessage &reply) {
                    readCallProperties(callPath,
                                       qdbus_cast<QVariantMap>(reply.arguments().value(0)));
                });
}

// Replies and signals may be handled in another order than they were sent: a state a signal
// brought is newer than the one read.
void ModemManagerBackend::readCallProperties(const QString &callPath, const QVariantMap &properties)
{
    calls.setNumber(callPath, properties.value(QStringLiteral("Number")).toString());
    if (!calls.reportedState(callPath))
        applyState(callPath, properties.value(QStringLiteral("State")).toInt());
}

void ModemManagerBackend::callStateChanged(const QDBusMessage &signal)
{
    applyState(signal.path(), signal.arguments().value(1).toInt());
}

void ModemManagerBackend::callPropertiesChanged(const QDBusMessage &signal)
{
    const auto changed = qdbus_cast<QVariantMap>(signal.arguments().value(1));
    calls.setNumber(signal.path(), changed.value(QStringLiteral("Number")).toString());
    if (const QVariant state = changed.value(QStringLiteral("State")); state.isValid())
        applyState(signal.path(), state.toInt());
}

void ModemManagerBackend::applyState(const QString &callPath, int modemManagerState)
{
    if (!calls.contains(callPath))
        return;
    const auto state = callStateFor(modemManagerState);
    if (!state)
        return;
    calls.changeState(callPath, *state);
    // Terminated calls stay listed until deleted.
    if (*state == CTCallStateDisconnected)
        deleteCall(callPath);
}

void ModemManagerBackend::deleteCall(const QString &callPath)
{
    client.call(modemPath, ModemManager::voiceInterface, QStringLiteral("DeleteCall"),
                {QVariant::fromValue(QDBusObjectPath(callPath))}, this);
}
