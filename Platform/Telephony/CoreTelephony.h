#pragma once

// The telephony operations the screens are written against.
#include "Platform/Telephony/CTCall.h"
#include "Platform/Telephony/CTCallCenter.h"
#include "Platform/Telephony/CTTelephonyCenter.h"
#include "Platform/Telephony/DialOutcome.h"

class QObject;

// Dials the string as an outgoing call at once; the identifier is kept for callers that pass
// one and is otherwise unused. The outcome, when asked for, goes to done while context lives.
void CTCallDialWithID(const QString &dialString, int identifier, QObject *context = nullptr,
                      DialCompletion done = {});
// Answers the call, when its backend still rings with it.
void CTCallAnswer(const CTCall &call);
