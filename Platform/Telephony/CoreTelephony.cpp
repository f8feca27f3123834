#include "Platform/Telephony/CoreTelephony.h"

#include "Platform/Telephony/TelephonyService.h"

void CTCallDialWithID(const QString &dialString, int, QObject *context, DialCompletion done)
{
    TelephonyService::shared().dial(dialString, context, std::move(done));
}

void CTCallAnswer(const CTCall &call)
{
    TelephonyService::shared().answer(call);
}

const char *DialOutcomeName(const DialOutcome &outcome)
{
    if (outcome.wasSent())
        return "sent";
    switch (*outcome.failure()) {
    case DialOutcome::Refused:
        return "not sent: refused before dialling";
    case DialOutcome::NoService:
        return "not sent: no modem or service";
    case DialOutcome::NotAuthorised:
        return "not sent: not authorised";
    case DialOutcome::ModemError:
        return "not sent: modem or network error";
    case DialOutcome::NetworkRefused:
        return "not sent: the network refused the service request";
    case DialOutcome::OutcomeUnknown:
        break;
    }
    return "unknown: no answer in time";
}

const char *CTCallStateName(CTCallState state)
{
    switch (state) {
    case CTCallStateDialing:
        return "dialing";
    case CTCallStateIncoming:
        return "incoming";
    case CTCallStateConnected:
        return "connected";
    case CTCallStateDisconnected:
        return "disconnected";
    }
    return "unknown";
}
