#pragma once

#include <QLocale>
#include <QString>
#include <QVariant>
#include <optional>

// Shows a number as "(ABC) DEF-GHIJ" under the "en_US" locale, and as nothing visible under any
// other. Numbers are only ever formatted, never parsed back.
class PhoneNumberFormatter
{
public:
    // Starts with the user's current locale.
    PhoneNumberFormatter();

    const QLocale &locale() const { return formatterLocale; }
    void setLocale(const QLocale &locale) { formatterLocale = locale; }

    // The formatted digits of a whole number; nothing for any other value.
    std::optional<QString> stringForObjectValue(const QVariant &value) const;
    QString stringFromPhoneNumber(const QString &number) const;
    bool getObjectValue(QVariant *value, const QString &text, QString *errorDescription) const;
    std::optional<QString> attirbutedStringForObjectValue(const QVariant &value,
                                                          const QVariantMap &attributes) const;

private:
    QLocale formatterLocale;
};
