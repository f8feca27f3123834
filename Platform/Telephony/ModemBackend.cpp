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

void ModemBackend::dial(const QString &dialString)
{
    if (DialString::isServiceCode(dialString))
        requestService(dialString);
    else
        startVoiceCall(dialString);
}

void ModemBackend::answer(const CTCall &call)
{
    if (calls.reportedState(call.callID()) == CTCallStateIncoming)
        accept(call.callID());
    else
        qCInfo(lcMolvane).noquote() << client.name() + QLatin1Char(':') << "no ringing call"
                                    << call.callID() << "to answer";
}

void ModemBackend::replied(const QString &text)
{
    qCInfo(lcMolvane).noquote() << client.name() + QLatin1Char(':') << "the network replied"
                                << text;
    Q_EMIT networkReply(text);
}

void ModemBackend::requestFailed(const QString &code, const QDBusError &error)
{
    client.logError(QStringLiteral("service request"), error);
    if (DBusClient::outcomeUnknown(error))
        return;
    qCInfo(lcMolvane).noquote() << client.name() + QLatin1Char(':') << "calling" << code;
    startVoiceCall(code);
}
