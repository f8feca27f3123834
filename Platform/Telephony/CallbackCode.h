#pragma once

#include <QString>
#include <optional>

// The operator's callback service, both ways: the code that asks it to ring a number back, and
// the number a code asks for. An international number (written with "+" or "00") goes into
// "*146*00<digits>#", any other into "146<number>#".
namespace CallbackCode {
QString forNumber(const QString &number);
// The number without its international prefix, when it has that one.
QString withoutPlus(const QString &number);
QString withoutDoubleZero(const QString &number);
// Nothing when the string is not a callback code; "+" and the digits for an international one.
std::optional<QString> numberIn(const QString &code);
} // namespace CallbackCode
