#pragma once

#include "CallLogEntry.h"
#include "Platform/Telephony/DialOutcome.h"

#include <optional>

class QObject;

// One callback request from the number to its outcome, with no screen involved: the code is
// made, the request logged, and only then dialled, and its callback awaited unless the request
// surely did not go out. The outcome comes later, from the event loop, to `done` (not at all
// once `context` is gone).
namespace CallbackRequest {

struct Sent
{
    QString code;
    // The call log with the request in it; nothing when the log could not be read, in which
    // case it is left as it was and the request still goes out.
    std::optional<CallLog> log;
};

Sent send(const QString &number, QObject *context, DialCompletion done);

} // namespace CallbackRequest
