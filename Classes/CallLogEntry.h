#pragma once

#include <QDateTime>
#include <QString>
#include <QVariantList>
#include <QVariantMap>
#include <optional>

// The call log as stored: oldest request first. Elements this version does not understand are
// carried along untouched, so no data is lost when the log is rewritten.
using CallLog = QVariantList;

// One request in the call log: the number as the user typed it and the local time of the
// request. Any other key an entry carries is kept.
class CallLogEntry
{
public:
    static const QString phone_number;
    static const QString phone_time;
    // "yyyy-MM-dd 'at' HH:mm": display text, never parsed back.
    static QString formattedTime(const QDateTime &time);

    CallLogEntry(const QString &phoneNumber, const QString &phoneTime);
    explicit CallLogEntry(const QVariant &element);

    // The value under the key when it is a string; nothing otherwise.
    std::optional<QString> phoneNumber() const { return stringValue(phone_number); }
    std::optional<QString> phoneTime() const { return stringValue(phone_time); }

    QVariant toVariant() const { return values; }

private:
    std::optional<QString> stringValue(const QString &key) const;

    QVariantMap values;
};
