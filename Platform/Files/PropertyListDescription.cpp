#include "Platform/Files/PropertyList.h"

#include <QDateTime>
#include <QStringList>

namespace {

QString Nothing()
{
    return QStringLiteral("(null)");
}

// Quotes and escapes text so that every entry stays on the one line.
QString Quoted(const QString &text)
{
    QString quoted = QStringLiteral("\"");
    for (const QChar c : text) {
        if (c == u'"' || c == u'\\')
            quoted += u'\\' + QString(c);
        else if (c == u'\n')
            quoted += QStringLiteral("\\n");
        else if (c.unicode() < 0x20)
            quoted += QStringLiteral("\\u%1").arg(c.unicode(), 4, 16, QLatin1Char('0'));
        else
            quoted += c;
    }
    return quoted + u'"';
}

QString Describe(const QVariant &value, int depth);

// A long list is told by its count and its newest (last) items: describing a whole large call
// log on every request cost ten times the request itself.
constexpr qsizetype describedItems = 10;

QString DescribeList(const QVariantList &items, int depth)
{
    QStringList parts;
    const qsizetype skipped = qMax<qsizetype>(0, items.size() - describedItems);
    if (skipped > 0)
        parts.append(QStringLiteral("... %1 earlier items").arg(skipped));
    for (qsizetype item = skipped; item < items.size(); ++item)
        parts.append(Describe(items.at(item), depth + 1));
    return u'(' + parts.join(QStringLiteral(", ")) + u')';
}

QString DescribeMap(const QVariantMap &entries, int depth)
{
    QStringList parts;
    for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry)
        parts.append(Quoted(entry.key()) + QStringLiteral(" = ") +
                     Describe(entry.value(), depth + 1) + u';');
    return u'{' + parts.join(u' ') + u'}';
}

QString Describe(const QVariant &value, int depth)
{
    const bool isTooDeep = depth > PropertyListMaxNesting;
    switch (value.typeId()) {
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return isTooDeep ? QStringLiteral("(...)") : DescribeList(value.toList(), depth);
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
        return isTooDeep ? QStringLiteral("{...}") : DescribeMap(value.toMap(), depth);
    case QMetaType::QString:
        return Quoted(value.toString());
    case QMetaType::QByteArray:
        return u'<' + QString::fromLatin1(value.toByteArray().toHex()) + u'>';
    case QMetaType::QDateTime:
        return value.toDateTime().toUTC().toString(Qt::ISODate);
    case QMetaType::Bool:
        return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default:
        if (value.isNull())
            return Nothing();
        return value.canConvert<QString>() ? value.toString()
                                           : QString::fromLatin1(value.metaType().name());
    }
}

} // namespace

QString DescribePropertyList(const std::optional<QVariantList> &list)
{
    return list ? DescribeList(*list, 1) : Nothing();
}
