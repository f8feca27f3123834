#include "Platform/AddressBook/ABMultiValue.h"

#include <QDateTime>

namespace {
bool isDictionaryOfStrings(const QVariant &value)
{
    if (value.typeId() != QMetaType::QVariantMap)
        return false;
    const QVariantMap map = value.toMap();
    return std::all_of(map.cbegin(), map.cend(),
                       [](const QVariant &field) { return field.typeId() == QMetaType::QString; });
}
} // namespace

bool ABMultiValue::accepts(const QVariant &value) const
{
    switch (propertyType) {
    case kABMultiStringPropertyType:
        return value.typeId() == QMetaType::QString;
    case kABMultiDateTimePropertyType:
        return value.typeId() == QMetaType::QDateTime && value.toDateTime().isValid();
    case kABMultiDictionaryPropertyType:
        return isDictionaryOfStrings(value);
    default:
        return false;
    }
}

std::optional<ABMultiValueIdentifier> ABMultiValue::append(const QVariant &value,
                                                           const std::optional<QString> &label)
{
    if (!accepts(value))
        return std::nullopt;
    values.push_back({nextIdentifier, value, label});
    return nextIdentifier++;
}

void ABMultiValue::restore(ABMultiValueIdentifier identifier, const QVariant &value,
                           const std::optional<QString> &label)
{
    values.push_back({identifier, value, label});
    nextIdentifier = std::max(nextIdentifier, identifier + 1);
}

ABMutableMultiValueRef ABMultiValueCreateMutable(ABPropertyType type)
{
    return std::make_shared<ABMultiValue>(type);
}

bool ABMultiValueAddValueAndLabel(const ABMutableMultiValueRef &multiValue, const QVariant &value,
                                  const std::optional<QString> &label,
                                  ABMultiValueIdentifier *outIdentifier)
{
    if (!multiValue)
        return false;
    const std::optional<ABMultiValueIdentifier> identifier = multiValue->append(value, label);
    if (identifier && outIdentifier)
        *outIdentifier = *identifier;
    return identifier.has_value();
}

ABPropertyType ABMultiValueGetPropertyType(const ABMultiValueRef &multiValue)
{
    return multiValue ? multiValue->type() : kABInvalidPropertyType;
}

qsizetype ABMultiValueGetCount(const ABMultiValueRef &multiValue)
{
    return multiValue ? qsizetype(multiValue->entries().size()) : 0;
}

std::optional<QVariantList> ABMultiValueCopyArrayOfAllValues(const ABMultiValueRef &multiValue)
{
    if (ABMultiValueGetCount(multiValue) == 0)
        return std::nullopt;
    QVariantList values;
    values.reserve(qsizetype(multiValue->entries().size()));
    for (const ABMultiValue::Entry &entry : multiValue->entries())
        values.append(entry.value);
    return values;
}

std::optional<QVariant> ABMultiValueCopyValueAtIndex(const ABMultiValueRef &multiValue,
                                                     qsizetype index)
{
    if (index < 0 || index >= ABMultiValueGetCount(multiValue))
        return std::nullopt;
    return multiValue->entries()[size_t(index)].value;
}

std::optional<QString> ABMultiValueCopyLabelAtIndex(const ABMultiValueRef &multiValue,
                                                    qsizetype index)
{
    if (index < 0 || index >= ABMultiValueGetCount(multiValue))
        return std::nullopt;
    return multiValue->entries()[size_t(index)].label;
}
