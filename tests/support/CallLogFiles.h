#pragma once

#include "CallLogStore.h"
#include "Platform/Files/DocumentsDirectory.h"
#include "Platform/Files/PropertyList.h"

#include <QStringList>

inline QString callLogPath()
{
    return CallLogStore::path();
}

// The numbers in the call log file, in stored order.
inline QStringList loggedNumbers()
{
    QStringList numbers;
    for (const QVariant &element : ReadPropertyListArray(callLogPath()).value_or(CallLog()))
        numbers << CallLogEntry(element).phoneNumber().value_or(QString());
    return numbers;
}

// A call log of these numbers, the first requested on 2026-12-01, the next a day later...
inline CallLog callLogOf(const QStringList &numbers)
{
    CallLog log;
    for (int index = 0; index < numbers.size(); ++index)
        log << CallLogEntry(
                   numbers.at(index),
                   QStringLiteral("2026-12-%1 at 10:00").arg(index + 1, 2, 10, QLatin1Char('0')))
                   .toVariant();
    return log;
}
