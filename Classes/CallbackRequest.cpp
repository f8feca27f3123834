#include "CallbackRequest.h"

#include "CallLogStore.h"
#include "Platform/Log.h"
#include "Platform/Telephony/CallbackCode.h"
#include "Platform/Telephony/CoreTelephony.h"

#include <QDateTime>

CallbackRequest::Sent CallbackRequest::send(const QString &number, QObject *context,
                                            DialCompletion done)
{
    Sent sent{CallbackCode::forNumber(number), std::nullopt};
    NSLog(QStringLiteral("Dialling Number is :%1").arg(sent.code));
    sent.log = CallLogStore::shared().record(
        CallLogEntry(number, CallLogEntry::formattedTime(QDateTime::currentDateTime())));
    CTCallDialWithID(sent.code, -1, context, std::move(done));
    return sent;
}
