#include "Platform/Telephony/ModemBackend.h"

#include "Platform/Log.h"
#include "Platform/Telephony/DialString.h"

ModemBackend::ModemBackend(const QDBusConnection &bus, const QString &service,
                           const QString &logName, QString modem, QObject *parent)
    : TelephonyBackend(parent), client(bus, service, logName), modemPath(std::move(modem)),
      calls(logName, [this](const CTCall &call) { Q_EMIT callEvent(call); })
{
    qCInfo(lcMolvane).noquote() << logName + QLatin1Char(':') << "calls go through modem"
                                << modemPath;
}

void ModemBackend::dial(const QString &dialString, DialCompletion done)
{
    if (DialString::isServiceCode(dialString))
        requestService(dialString, std::move(done));
    else
        startVoiceCall(dialString, std::move(done));
}

void ModemBackend::answer(const CTCall &call)
{
    if (calls.reportedState(call.callID()) == CTCallStateIncoming)
        accept(call.callID());
    else
        qCInfo(lcMolvane).noquote() << client.name() + QLatin1Char(':') << "no ringing call"
                                    << call.callID() << "to answer";
}

void ModemBackend::endCalls()
{
    calls.removeAll();
}

void ModemBackend::replied(const QString &text, const DialCompletion &done)
{
    qCInfo(lcMolvane).noquote() << client.name() + QLatin1Char(':') << "the network replied"
                                << text;
    done(DialOutcome::sent());
    Q_EMIT networkReply(text);
}

void ModemBackend::requestFailed(const QString &code, const QDBusError &error, DialCompletion done)
{
    client.logError(QStringLiteral("service request"), error);
    if (refusedByNetwork(error)) {
        done(DialOutcome::failed(DialOutcome::NetworkRefused));
        return;
    }
    const DialOutcome::Failure failure = failureFor(error);
    if (failure == DialOutcome::OutcomeUnknown || failure == DialOutcome::NoService) {
        done(DialOutcome::failed(failure));
        return;
    }
    qCInfo(lcMolvane).noquote() << client.name() + QLatin1Char(':') << "calling" << code;
    startVoiceCall(code, std::move(done));
}

void ModemBackend::callFailed(const QString &method, const QDBusError &error,
                              const DialCompletion &done)
{
    client.logError(method, error);
    done(DialOutcome::failed(failureFor(error)));
}

DialOutcome::Failure ModemBackend::failureFor(const QDBusError &error)
{
    if (DBusClient::outcomeUnknown(error))
        return DialOutcome::OutcomeUnknown;
    if (DBusClient::serviceAbsent(error) || error.type() == QDBusError::UnknownObject)
        return DialOutcome::NoService;
    if (error.type() == QDBusError::AccessDenied ||
        error.name().endsWith(QLatin1String(".Unauthorized")) ||
        error.name().endsWith(QLatin1String(".AccessDenied")))
        return DialOutcome::NotAuthorised;
    return DialOutcome::ModemError;
}
