#include "Platform/Files/PropertyListNodes.h"

#include "Platform/Files/PropertyList.h"

#include <QDateTime>
#include <cstdlib>
#include <limits>

namespace {

// Property-list dates count seconds from 2001-01-01 00:00:00 UTC.
constexpr qint64 UnixSecondsAt2001 = 978307200;
const char *const UidKey = "CF$UID";

QVariant UnsignedVariant(uint64_t value)
{
    if (value <= static_cast<uint64_t>(std::numeric_limits<qint64>::max()))
        return QVariant::fromValue(static_cast<qint64>(value));
    return QVariant::fromValue(static_cast<quint64>(value));
}

// libplist keeps an integer's sign only in the width it stores it with, which its API does not
// show. A node made by plist_new_uint() has the signed width, so equality with one tells a
// negative number from an unsigned one above the signed range.
bool IsStoredAsSigned(plist_t node, uint64_t bits)
{
    const PlistNode probe(plist_new_uint(bits));
    return plist_compare_node_value(node, probe.get()) != 0;
}

QVariant IntegerValue(plist_t node)
{
    uint64_t bits = 0;
    plist_get_uint_val(node, &bits);
    if (bits > static_cast<uint64_t>(std::numeric_limits<qint64>::max()) &&
        IsStoredAsSigned(node, bits))
        return QVariant::fromValue(static_cast<qint64>(bits));
    return UnsignedVariant(bits);
}

QVariant DateValue(plist_t node)
{
    int32_t seconds = 0;
    int32_t microseconds = 0;
    plist_get_date_val(node, &seconds, &microseconds);
    return QDateTime::fromSecsSinceEpoch(UnixSecondsAt2001 + seconds, Qt::UTC);
}

QVariant UidValue(plist_t node)
{
    uint64_t uid = 0;
    plist_get_uid_val(node, &uid);
    return QVariantMap{{QLatin1String(UidKey), UnsignedVariant(uid)}};
}

QVariant ScalarValue(plist_t node)
{
    uint64_t length = 0;
    switch (plist_get_node_type(node)) {
    case PLIST_BOOLEAN:
        return plist_bool_val_is_true(node) == 1;
    case PLIST_UINT:
        return IntegerValue(node);
    case PLIST_REAL: {
        double real = 0;
        plist_get_real_val(node, &real);
        return real;
    }
    case PLIST_STRING: {
        const char *text = plist_get_string_ptr(node, &length);
        return QString::fromUtf8(text, static_cast<qsizetype>(length));
    }
    case PLIST_DATE:
        return DateValue(node);
    case PLIST_DATA: {
        const char *bytes = plist_get_data_ptr(node, &length);
        return QByteArray(bytes, static_cast<qsizetype>(length));
    }
    case PLIST_UID:
        return UidValue(node);
    default:
        return {};
    }
}

std::optional<QVariant> VariantFromNode(plist_t node, int depth);

std::optional<QVariant> ArrayValue(plist_t array, int depth)
{
    QVariantList items;
    items.reserve(plist_array_get_size(array));
    plist_array_iter iterator = nullptr;
    plist_array_new_iter(array, &iterator);
    const std::unique_ptr<void, decltype(&std::free)> ownedIterator(iterator, &std::free);
    plist_t item = nullptr;
    for (plist_array_next_item(array, iterator, &item); item != nullptr;
         plist_array_next_item(array, iterator, &item)) {
        std::optional<QVariant> value = VariantFromNode(item, depth + 1);
        if (!value)
            return std::nullopt;
        items.append(std::move(*value));
    }
    return items;
}

std::optional<QVariant> DictionaryValue(plist_t dictionary, int depth)
{
    QVariantMap entries;
    plist_dict_iter iterator = nullptr;
    plist_dict_new_iter(dictionary, &iterator);
    const std::unique_ptr<void, decltype(&std::free)> ownedIterator(iterator, &std::free);
    while (true) {
        char *key = nullptr;
        plist_t item = nullptr;
        plist_dict_next_item(dictionary, iterator, &key, &item);
        const std::unique_ptr<char, decltype(&std::free)> ownedKey(key, &std::free);
        if (item == nullptr)
            return entries;
        std::optional<QVariant> value = VariantFromNode(item, depth + 1);
        if (!value)
            return std::nullopt;
        entries.insert(QString::fromUtf8(key), std::move(*value));
    }
}

std::optional<QVariant> VariantFromNode(plist_t node, int depth)
{
    switch (plist_get_node_type(node)) {
    case PLIST_ARRAY:
        return depth > PropertyListMaxNesting ? std::nullopt : ArrayValue(node, depth);
    case PLIST_DICT:
        return depth > PropertyListMaxNesting ? std::nullopt : DictionaryValue(node, depth);
    default: {
        QVariant value = ScalarValue(node);
        return value.isValid() ? std::optional(std::move(value)) : std::nullopt;
    }
    }
}

// XML 1.0 has no way to carry most control characters (libplist would write them raw, and
// other readers refuse the file), and libplist takes C strings, which end at a NUL. Such
// characters become U+FFFD, so the rest of the text, and the file, stay readable.
QByteArray StorableUtf8(const QString &text)
{
    QString storable = text;
    for (QChar &c : storable) {
        const bool allowedControl = c == u'\t' || c == u'\n' || c == u'\r';
        if ((c.unicode() < 0x20 && !allowedControl) || c.unicode() == 0xFFFE ||
            c.unicode() == 0xFFFF)
            c = QChar::ReplacementCharacter;
    }
    return storable.toUtf8();
}

PlistNode StringNode(const QString &text)
{
    return PlistNode(plist_new_string(StorableUtf8(text).constData()));
}

// plist_new_uint() gives every value the signed width, so a value above the signed range would
// be written as a negative number; libplist's XML parser stores it with the unsigned width.
PlistNode UnsignedNode(quint64 value)
{
    if (value <= static_cast<quint64>(std::numeric_limits<qint64>::max()))
        return PlistNode(plist_new_uint(value));
    const QByteArray xml = "<plist><integer>" + QByteArray::number(value) + "</integer></plist>";
    plist_t node = nullptr;
    plist_from_xml(xml.constData(), static_cast<uint32_t>(xml.size()), &node);
    return PlistNode(node);
}

// A value with no property-list type of its own (a QUrl, a QDate, a date outside the range a
// property list can hold) is kept as its text; one without a text form fails the write
// rather than being dropped or stored as an empty string.
PlistNode TextFormNode(const QVariant &value)
{
    if (!value.isValid() || value.isNull() || !value.canConvert<QString>())
        return nullptr;
    return StringNode(value.toString());
}

PlistNode DateNode(const QVariant &value)
{
    const QDateTime date = value.toDateTime();
    if (!date.isValid())
        return nullptr;
    const qint64 seconds = date.toSecsSinceEpoch() - UnixSecondsAt2001;
    if (seconds < std::numeric_limits<int32_t>::min() ||
        seconds > std::numeric_limits<int32_t>::max())
        return TextFormNode(value);
    return PlistNode(plist_new_date(static_cast<int32_t>(seconds), 0));
}

PlistNode NodeFromVariant(const QVariant &value, int depth);

PlistNode ArrayNode(const QVariantList &items, int depth)
{
    if (depth > PropertyListMaxNesting)
        return nullptr;
    PlistNode array(plist_new_array());
    for (const QVariant &item : items) {
        PlistNode node = NodeFromVariant(item, depth + 1);
        if (!node)
            return nullptr;
        plist_array_append_item(array.get(), node.release());
    }
    return array;
}

PlistNode DictionaryNode(const QVariantMap &entries, int depth)
{
    if (depth > PropertyListMaxNesting)
        return nullptr;
    PlistNode dictionary(plist_new_dict());
    for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry) {
        PlistNode node = NodeFromVariant(entry.value(), depth + 1);
        if (!node)
            return nullptr;
        plist_dict_set_item(dictionary.get(), StorableUtf8(entry.key()).constData(),
                            node.release());
    }
    return dictionary;
}

PlistNode NodeFromVariant(const QVariant &value, int depth)
{
    switch (value.typeId()) {
    case QMetaType::QVariantList:
    case QMetaType::QStringList:
        return ArrayNode(value.toList(), depth);
    case QMetaType::QVariantMap:
    case QMetaType::QVariantHash:
        return DictionaryNode(value.toMap(), depth);
    case QMetaType::QString:
        return StringNode(value.toString());
    case QMetaType::QByteArray: {
        const QByteArray bytes = value.toByteArray();
        return PlistNode(plist_new_data(bytes.constData(), static_cast<uint64_t>(bytes.size())));
    }
    case QMetaType::Bool:
        return PlistNode(plist_new_bool(value.toBool() ? 1 : 0));
    case QMetaType::Double:
    case QMetaType::Float:
        return PlistNode(plist_new_real(value.toDouble()));
    case QMetaType::Int:
    case QMetaType::Long:
    case QMetaType::LongLong:
    case QMetaType::Short:
    case QMetaType::SChar:
    case QMetaType::Char:
        return PlistNode(plist_new_uint(static_cast<uint64_t>(value.toLongLong())));
    case QMetaType::UInt:
    case QMetaType::ULong:
    case QMetaType::ULongLong:
    case QMetaType::UShort:
    case QMetaType::UChar:
        return UnsignedNode(value.toULongLong());
    case QMetaType::QDateTime:
        return DateNode(value);
    default:
        return TextFormNode(value);
    }
}

} // namespace

std::optional<QVariant> VariantFromPlistNode(plist_t node)
{
    return VariantFromNode(node, 1);
}

PlistNode PlistNodeFromVariant(const QVariant &value)
{
    return NodeFromVariant(value, 1);
}
