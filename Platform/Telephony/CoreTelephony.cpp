#include "Platform/Telephony/CoreTelephony.h"

#include "Platform/Telephony/TelephonyService.h"

void CTCallDialWithID(const QString &dialString, int)
{
    TelephonyService::shared().dial(dialString);
}

void CTCallAnswer(const CTCall &call)
{
    TelephonyService::shared().answer(call);
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
