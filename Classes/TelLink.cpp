#include "TelLink.h"

#include <QRegularExpression>

namespace {
constexpr QStringView scheme = u"tel:";
} // namespace

bool TelLink::isLink(QStringView text)
{
    return text.trimmed().startsWith(scheme, Qt::CaseInsensitive);
}

std::optional<QString> TelLink::numberIn(const QString &link)
{
    if (!isLink(link))
        return std::nullopt;
    QString body = link.trimmed().mid(scheme.size());
    // Some pages write the link as if it had a host.
    if (body.startsWith(u"//"))
        body.remove(0, 2);
    // Parameters (";phone-context=...", ";ext=...") are cut before decoding, so an escaped ";"
    // stays part of the number and makes it undialable.
    body.truncate(body.indexOf(u';') < 0 ? body.size() : body.indexOf(u';'));
    QString number = QString::fromUtf8(QByteArray::fromPercentEncoding(body.toUtf8()));
    number.remove(QRegularExpression(QStringLiteral("[-.() ]")));
    static const QRegularExpression dialable(QStringLiteral("^\\+?[0-9*#]+$"));
    if (number.size() > longestNumber || !dialable.match(number).hasMatch())
        return std::nullopt;
    return number;
}
