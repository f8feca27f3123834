#pragma once

#include <QString>
#include <QVariantList>
#include <optional>

// Property-list files whose root is an array, read and written whole.
//
// Values map to Qt types as: dict <-> QVariantMap, array <-> QVariantList, string <-> QString,
// integer <-> qint64 (quint64 above the signed range), real <-> double, boolean <-> bool,
// date <-> QDateTime in UTC (whole seconds), data <-> QByteArray. A UID reads as the map
// {"CF$UID": n}, which is how the XML form writes a UID, so it survives a round trip.

// Deepest nesting of arrays and dictionaries accepted; the root array is level 1.
inline constexpr int PropertyListMaxNesting = 256;
// Larger files are refused unread.
inline constexpr qint64 PropertyListMaxFileSize = 64 * 1024 * 1024;

// The array at path, or nothing when the file is missing, unreadable, too large, not a
// property list (XML or binary), nested too deeply, or when its root is not an array.
std::optional<QVariantList> ReadPropertyListArray(const QString &path);

// Replaces the file at path with the XML form of list; a reader sees either the old or the new
// file whole. On failure (including values that cannot be stored) the old file is kept and the
// result is false.
bool WritePropertyListAtomically(const QString &path, const QVariantList &list);

// A one-line printed form of a list for the diagnostic log, e.g.
// ({"phone_number" = "+7 900"; "phone_time" = "2024-05-01 at 09:30";}). Strings are quoted,
// data is hex in angle brackets, dates are ISO 8601 in UTC; nothing prints as "(null)".
QString DescribePropertyList(const std::optional<QVariantList> &list);
