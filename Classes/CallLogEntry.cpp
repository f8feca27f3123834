#include "CallLogEntry.h"

const QString CallLogEntry::phone_number = QStringLiteral("phone_number");
const QString CallLogEntry::phone_time = QStringLiteral("phone_time");

QString CallLogEntry::formattedTime(const QDateTime &time)
{
    return time.toString(QStringLiteral("yyyy-MM-dd 'at' HH:mm"));
}

CallLogEntry::CallLogEntry(const QString &phoneNumber, const QString &phoneTime)
    : values{{phone_number, phoneNumber}, {phone_time, phoneTime}}
{
}

CallLogEntry::CallLogEntry(const QVariant &element) : values(element.toMap()) {}

std::optional<QString> CallLogEntry::stringValue(const QString &key) const
{
    const QVariant value = values.value(key);
    if (value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}
