#include "Platform/Telephony/ModemBackend.h"

#include "Platform/Log.h"
#include "Platform/Telephony/DialString.h"

ModemBackend::ModemBackend(const QDBusConnection &bus, const QString &service,
                           const QString &logName, QString modem, QString requestInterface,
                           QObject *parent)
    : TelephonyBackend(parent), client(bus, service, logName), modemPath(std::move(modem)),
      calls(logName, [this](const CTCall &call) { Q_EMIT callEvent(call); }),
      requestInterface(std::move(requestInterface))
{
    qCInfo(lcMolvane).noquote() << logName + QLatin1Char(':') << "calls go through modem"
                                << modemPath;
}

void ModemBackend::dial(const QString &dialString, DialCompletion done)
{
    if (DialString::isServiceCode(dialString))
        requestService(dialString, std::move(done), Attempt::First);
    else
        startVoiceCall(dialString, std::move(done));
}

void ModemBackend::answer(const CTCall &call)
{
    if (calls.reportedState(call.callID()) == CTCallStateIncoming)
        client.call(call.callID(), callInterface(), answerMethod(), {}, this);
    else
        qCInfo(lcMolvane).noquote() << client.name() + QLatin1Char(':') << "no ringing call"
                                    << call.callID() << "to answer";
}

// Both services call it Hangup. The call's end comes as its state change, as for any other.
void ModemBackend::hangUp(const CTCall &call)
{
    if (calls.contains(call.callID()))
        client.call(call.callID(), callInterface(), QStringLiteral("Hangup"), {}, this);
    else
        qCInfo(lcMolvane).noquote()
            << client.name() + QLatin1Char(':') << "no call" << call.callID() << "to hang up";
}

void ModemBackend::endCalls()
{
    calls.removeAll();
}

void ModemBackend::requestService(const QString &code, DialCompletion done, Attempt attempt)
{
    client.call(
        modemPath, requestInterface, QStringLiteral("Initiate"), {code}, this,
        [this, done](const QDBusMessage &reply) { replied(replyText(reply), done); },
        [this, code, done, attempt](const QDBusError &error) {
            requestFailed(code, error, done, attempt);
        });
}

void ModemBackend::replied(const QString &text, const DialCompletion &done)
{
    qCInfo(lcMolvane).noquote() << client.name() + QLatin1Char(':') << "the network replied"
                                << text;
    done(DialOutcome::sent());
    Q_EMIT networkReply(text);
    closeSessionIfLeftOpen();
}

void ModemBackend::requestFailed(const QString &code, const QDBusError &error, DialCompletion done,
                                 Attempt attempt)
{
    client.logError(QStringLiteral("service request"), error);
    // A session in the way says the modem takes service codes: calling one would reach nobody.
    if (sessionStillOpen(error)) {
        retryInNewSession(code, std::move(done), attempt);
        return;
    }
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

void ModemBackend::retryInNewSession(const QString &code, DialCompletion done, Attempt attempt)
{
    if (attempt == Attempt::AfterCancel) {
        done(DialOutcome::failed(DialOutcome::ModemError));
        return;
    }
    cancelSession([this, code, done] { requestService(code, done, Attempt::AfterCancel); });
}

// An operator menu waiting for an answer would turn the next request away.
void ModemBackend::closeSessionIfLeftOpen()
{
    readAwaitsResponse([this](bool awaits) {
        if (awaits)
            cancelSession([] {});
    });
}

// A session the network ended meanwhile makes Cancel fail, and is no reason to stop.
void ModemBackend::cancelSession(std::function<void()> then)
{
    client.call(
        modemPath, requestInterface, QStringLiteral("Cancel"), {}, this,
        [then](const QDBusMessage &) { then(); },
        [this, then](const QDBusError &error) {
            client.logError(QStringLiteral("Cancel"), error);
            then();
        });
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
