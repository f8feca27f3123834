#include "CallbackRequest.h"

#include "AwaitedCallback.h"
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
    // Awaited from the dial on, since the callback may ring before the outcome is told.
    const quint64 wait = AwaitedCallback::shared().expect();
    CTCallDialWithID(sent.code, -1, context,
                     [wait, done = std::move(done)](const DialOutcome &outcome) {
                         if (!outcome.wasSent() && outcome.failure() != DialOutcome::OutcomeUnknown)
                             AwaitedCallback::shared().withdraw(wait);
                         done(outcome);
                     });
    return sent;
}
