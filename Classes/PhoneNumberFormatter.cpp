#include "PhoneNumberFormatter.h"

#include <cmath>

PhoneNumberFormatter::PhoneNumberFormatter() : formatterLocale(QLocale::system()) {}

std::optional<QString> PhoneNumberFormatter::stringForObjectValue(const QVariant &value) const
{
    switch (value.typeId()) {
    case QMetaType::Int:
    case QMetaType::UInt:
    case QMetaType::Long:
    case QMetaType::ULong:
    case QMetaType::LongLong:
    case QMetaType::ULongLong:
    case QMetaType::Short:
    case QMetaType::UShort:
        return stringFromPhoneNumber(value.toString());
    case QMetaType::Double:
    case QMetaType::Float: {
        // A fraction has no digits a phone number could be read from.
        const double number = value.toDouble();
        if (!std::isfinite(number) || number != std::trunc(number))
            return std::nullopt;
        return stringFromPhoneNumber(QString::number(number, 'f', 0));
    }
    default:
        return std::nullopt;
    }
}

// Text shorter than six characters fills the groups it reaches and leaves the rest empty:
// "12" gives "(12) -".
QString PhoneNumberFormatter::stringFromPhoneNumber(const QString &number) const
{
    if (formatterLocale.name() != QLatin1String("en_US"))
        return QString();
    return QStringLiteral("(%1) %2-%3").arg(number.left(3), number.mid(3, 3), number.mid(6));
}

bool PhoneNumberFormatter::getObjectValue(QVariant *, const QString &, QString *) const
{
    return false;
}

std::optional<QString>
PhoneNumberFormatter::attirbutedStringForObjectValue(const QVariant &, const QVariantMap &) const
{
    return std::nullopt;
}
