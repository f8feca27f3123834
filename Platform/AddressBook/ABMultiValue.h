#pragma once

#include "Platform/AddressBook/ABProperties.h"

#include <QString>
#include <QVariant>
#include <memory>
#include <optional>
#include <vector>

// An ordered list of values of one type, each with a label: a person's phone numbers, e-mail
// addresses, postal addresses ... Values are QString (string types), QDateTime (date types)
// or QVariantMap with string values (dictionary types).
class ABMultiValue
{
public:
    struct Entry
    {
        ABMultiValueIdentifier identifier;
        QVariant value;
        std::optional<QString> label;
    };

    explicit ABMultiValue(ABPropertyType type) : propertyType(type) {}

    ABPropertyType type() const { return propertyType; }
    const std::vector<Entry> &entries() const { return values; }

    // Whether value has the Qt type that entries of this multi-value hold.
    bool accepts(const QVariant &value) const;
    // Appends an entry when accepts(value); the identifier of the new entry, or nothing.
    std::optional<ABMultiValueIdentifier> append(const QVariant &value,
                                                 const std::optional<QString> &label);
    // Appends an entry with the identifier it had when it was stored.
    void restore(ABMultiValueIdentifier identifier, const QVariant &value,
                 const std::optional<QString> &label);

private:
    ABPropertyType propertyType;
    std::vector<Entry> values;
    ABMultiValueIdentifier nextIdentifier = 0;
};

// A multi-value as a record holds it: no longer changed once stored.
using ABMultiValueRef = std::shared_ptr<const ABMultiValue>;
// A multi-value being built; a record stores a copy of it.
using ABMutableMultiValueRef = std::shared_ptr<ABMultiValue>;

ABMutableMultiValueRef ABMultiValueCreateMutable(ABPropertyType type);
// Appends an entry; false (and no entry) when the value does not fit the multi-value's type.
bool ABMultiValueAddValueAndLabel(const ABMutableMultiValueRef &multiValue, const QVariant &value,
                                  const std::optional<QString> &label,
                                  ABMultiValueIdentifier *outIdentifier = nullptr);

ABPropertyType ABMultiValueGetPropertyType(const ABMultiValueRef &multiValue);
qsizetype ABMultiValueGetCount(const ABMultiValueRef &multiValue);
// The values in entry order; nothing when there are none.
std::optional<QVariantList> ABMultiValueCopyArrayOfAllValues(const ABMultiValueRef &multiValue);
// The value and label of entry index; nothing when out of range or unlabelled.
std::optional<QVariant> ABMultiValueCopyValueAtIndex(const ABMultiValueRef &multiValue,
                                                     qsizetype index);
std::optional<QString> ABMultiValueCopyLabelAtIndex(const ABMultiValueRef &multiValue,
                                                    qsizetype index);
