#include "Platform/Telephony/OfonoBackend.h"

#include "Platform/Log.h"
#include "Platform/Telephony/OfonoInterfaces.h"

#include <QDBusVariant>

namespace {
const QString stateProperty = QStringLiteral("State");
const QString numberProperty = QStringLiteral("LineIdentification");

// "held" has no call event of its own.
std::optional<CTCallState> callStateFor(const QString &ofonoState)
{
    static const QHash<QString, CTCallState> states{
        {QStringLiteral("incoming"), CTCallStateIncoming},
        {QStringLiteral("waiting"), CTCallStateIncoming},
        {QStringLiteral("dialing"), CTCallStateDialing},
        {QStringLiteral("alerting"), CTCallStateDialing},
        {QStringLiteral("active"), CTCallStateConnected},
        {QStringLiteral("disconnected"), CTCallStateDisconnected},
    };
    const auto found = states.find(ofonoState);
    return found == states.end() ? std::nullopt : std::optional(*found);
}

QString objectPath(const QVariant &argument)
{
    return argument.value<QDBusObjectPath>().path();
}
} // namespace

OfonoBackend::OfonoBackend(const QDBusConnection &bus, QString modem, QObject *parent)
    : ModemBackend(bus, Ofono::service, QStringLiteral("oFono"), std::move(modem),
                   Ofono::supplementaryServicesInterface, parent)
{
    client.subscribe(modemPath, Ofono::voiceCallManagerInterface, QStringLiteral("CallAdded"), this,
                     SLOT(callAdded(QDBusMessage)));
    client.subscribe(modemPath, Ofono::voiceCallManagerInterface, QStringLiteral("CallRemoved"),
                     this, SLOT(callRemoved(QDBusMessage)));
    client.subscribe(QString(), Ofono::voiceCallInterface, QStringLiteral("PropertyChanged"), this,
                     SLOT(callPropertyChanged(QDBusMessage)));
    client.subscribe(QString(), Ofono::voiceCallInterface, QStringLiteral("DisconnectReason"), this,
                     SLOT(callDisconnectReason(QDBusMessage)));
    // A call may already ring.
    client.call(modemPath, Ofono::voiceCallManagerInterface, QStringLiteral("GetCalls"), {}, this,
                [this](const QDBusMessage &reply) {
                    for (const auto &[path, properties] :
                         Ofono::objectsWithProperties(reply.arguments().value(0))) {
                        if (!calls.contains(path))
                            followCall(path, properties);
                    }
                });
}

QString OfonoBackend::name() const
{
    return QStringLiteral("oFono");
}

// A USSD request answers with its text; another supplementary service with its name and a
// structure, of which the name is what can be shown.
QString OfonoBackend::replyText(const QDBusMessage &reply) const
{
    const QVariant value = reply.arguments().value(1).value<QDBusVariant>().variant();
    return value.typeId() == QMetaType::QString ? value.toString()
                                                : reply.arguments().value(0).toString();
}

void OfonoBackend::readAwaitsResponse(std::function<void(bool awaits)> then)
{
    client.call(modemPath, Ofono::supplementaryServicesInterface, QStringLiteral("GetProperties"),
                {}, this, [then](const QDBusMessage &reply) {
                    const auto properties = qdbus_cast<QVariantMap>(reply.arguments().value(0));
                    then(properties.value(stateProperty).toString() ==
                         QLatin1String("user-response"));
                });
}

// oFono ends a request the network terminated with Terminated.
bool OfonoBackend::refusedByNetwork(const QDBusError &error) const
{
    return error.name() == QLatin1String("org.ofono.Error.Terminated");
}

// oFono turns Initiate away as busy while a session is active or waits for a response.
bool OfonoBackend::sessionStillOpen(const QDBusError &error) const
{
    return error.name() == QLatin1String("org.ofono.Error.InProgress");
}

// The call is followed from its CallAdded, so the path Dial returns is not needed.
void OfonoBackend::startVoiceCall(const QString &number, DialCompletion done)
{
    client.call(
        modemPath, Ofono::voiceCallManagerInterface, QStringLiteral("Dial"), {number, QString()},
        this, [done](const QDBusMessage &) { done(DialOutcome::sent()); },
        [this, done](const QDBusError &error) { callFailed(QStringLiteral("Dial"), error, done); });
}

QString OfonoBackend::callInterface() const
{
    return Ofono::voiceCallInterface;
}

QString OfonoBackend::answerMethod() const
{
    return QStringLiteral("Answer");
}

void OfonoBackend::callAdded(const QDBusMessage &signal)
{
    followCall(objectPath(signal.arguments().value(0)),
               qdbus_cast<QVariantMap>(signal.arguments().value(1)));
}

void OfonoBackend::callRemoved(const QDBusMessage &signal)
{
    calls.remove(objectPath(signal.arguments().value(0)));
}

void OfonoBackend::followCall(const QString &callPath, const QVariantMap &properties)
{
    calls.add(callPath, properties.value(numberProperty).toString());
    applyState(callPath, properties.value(stateProperty).toString());
}

void OfonoBackend::callPropertyChanged(const QDBusMessage &signal)
{
    const QString property = signal.arguments().value(0).toString();
    const QVariant value = signal.arguments().value(1).value<QDBusVariant>().variant();
    if (property == stateProperty)
        applyState(signal.path(), value.toString());
    else if (property == numberProperty)
        calls.setNumber(signal.path(), value.toString());
}

void OfonoBackend::callDisconnectReason(const QDBusMessage &signal)
{
    if (calls.contains(signal.path()))
        qCInfo(lcMolvane).noquote()
            << "oFono: call" << signal.path() << "ended:" << signal.arguments().value(0).toString();
}

void OfonoBackend::applyState(const QString &callPath, const QString &ofonoState)
{
    if (const auto state = callStateFor(ofonoState))
        calls.changeState(callPath, *state);
}
