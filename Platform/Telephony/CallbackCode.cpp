#include "Platform/Telephony/CallbackCode.h"

namespace {
const QString internationalTemplate = QStringLiteral("*146*00XXXX#");
const QString nationalTemplate = QStringLiteral("146XXXX#");
const QString placeholder = QStringLiteral("XXXX");

QString filledIn(const QString &codeTemplate, const QString &number)
{
    return QString(codeTemplate).replace(placeholder, number);
}

// What stands in the placeholder's place, when the code was made from this template.
std::optional<QString> placeholderIn(const QString &code, const QString &codeTemplate)
{
    const qsizetype at = codeTemplate.indexOf(placeholder);
    const QStringView before = QStringView(codeTemplate).left(at);
    const QStringView after = QStringView(codeTemplate).mid(at + placeholder.size());
    if (code.size() < before.size() + after.size() || !code.startsWith(before) ||
        !code.endsWith(after))
        return std::nullopt;
    return code.mid(before.size(), code.size() - before.size() - after.size());
}
} // namespace

QString CallbackCode::forNumber(const QString &number)
{
    if (number.startsWith(QLatin1Char('+')))
        return filledIn(internationalTemplate, withoutPlus(number));
    if (number.startsWith(QLatin1String("00")))
        return filledIn(internationalTemplate, withoutDoubleZero(number));
    return filledIn(nationalTemplate, number);
}

QString CallbackCode::withoutPlus(const QString &number)
{
    return number.startsWith(QLatin1Char('+')) ? number.mid(1) : number;
}

QString CallbackCode::withoutDoubleZero(const QString &number)
{
    return number.startsWith(QLatin1String("00")) ? number.mid(2) : number;
}

std::optional<QString> CallbackCode::numberIn(const QString &code)
{
    if (const auto digits = placeholderIn(code, internationalTemplate))
        return QLatin1Char('+') + *digits;
    return placeholderIn(code, nationalTemplate);
}
