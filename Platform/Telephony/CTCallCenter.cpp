#include "Platform/Telephony/CTCallCenter.h"

#include "Platform/Telephony/TelephonyService.h"

CTCallCenter::CTCallCenter(QObject *parent) : QObject(parent)
{
    connect(&TelephonyService::shared(), &TelephonyService::callEvent, this,
            [this](const CTCall &call) {
                if (callEventHandler)
                    callEventHandler(call);
            });
}

void CTCallCenter::setCallEventHandler(CallEventHandler handler)
{
    callEventHandler = std::move(handler);
}
