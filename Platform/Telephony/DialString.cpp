#include "Platform/Telephony/DialString.h"

#include <algorithm>

std::optional<QString> DialString::dialable(const QString &dialString)
{
    QString dialable;
    dialable.reserve(dialString.size());
    for (const QChar character : dialString) {
        if (isSeparator(character))
            continue;
        if (!isDialable(character))
            return std::nullopt;
        dialable.append(character);
    }
    if (dialable.isEmpty())
        return std::nullopt;
    return dialable;
}

bool DialString::isServiceCode(const QString &dialString)
{
    return dialString.endsWith(QLatin1Char('#')) &&
           std::none_of(dialString.begin(), dialString.end(), isPause);
}

bool DialString::isSeparator(QChar character)
{
    return QStringView(u" -.()").contains(character);
}

bool DialString::isPause(QChar character)
{
    return QStringView(u",pw").contains(character);
}

bool DialString::isDialable(QChar character)
{
    // Only ASCII digits: other scripts' digits are letters to a modem.
    const bool digit = character >= QLatin1Char('0') && character <= QLatin1Char('9');
    return digit || QStringView(u"*#+").contains(character) || isPause(character);
}
