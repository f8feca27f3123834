#include "Platform/AddressBook/ABRecord.h"

#include "Platform/AddressBook/ABAddressBook.h"

#include <QCollator>
#include <algorithm>

namespace {
auto findEntry(const std::vector<std::pair<ABPropertyID, ABPropertyValue>> &values,
               ABPropertyID property)
{
    return std::lower_bound(
        values.begin(), values.end(), property,
        [](const auto &entry, ABPropertyID wanted) { return entry.first < wanted; });
}

const ABRecordContentRef &emptyContent()
{
    static const ABRecordContentRef empty = std::make_shared<const ABRecordContent>();
    return empty;
}

QString propertyName(ABPropertyID property)
{
    const QString name = ABPersonCopyLocalizedPropertyName(property);
    return name.isEmpty() ? QString::number(property) : name;
}

bool valueFitsType(const ABPropertyValue &value, ABPropertyType type)
{
    switch (type) {
    case kABStringPropertyType:
        return std::holds_alternative<QString>(value);
    case kABDateTimePropertyType:
        return std::holds_alternative<QDateTime>(value) && std::get<QDateTime>(value).isValid();
    case kABIntegerPropertyType:
        return std::holds_alternative<qint64>(value);
    default: {
        const auto *multiValue = std::get_if<ABMultiValueRef>(&value);
        return multiValue && *multiValue && (*multiValue)->type() == type;
    }
    }
}

// Refuses, with the reason, what a record of this kind cannot hold under the property.
bool checkWritable(const ABRecordRef &record, ABPropertyID property, ABErrorOut error)
{
    if (!record)
        return ABFail(error, ABError::Code::InvalidValue, QStringLiteral("There is no record."));
    const ABPropertyDescription *description = ABPropertyDescribe(property);
    if (!description || description->recordType != record->type())
        return ABFail(error, ABError::Code::InvalidProperty,
                      QStringLiteral("A %1 has no property %2.")
                          .arg(record->type() == kABGroupType ? QStringLiteral("group")
                                                              : QStringLiteral("person"),
                               QString::number(property)));
    if (description->keptByStore)
        return ABFail(error, ABError::Code::ReadOnlyProperty,
                      QStringLiteral("\"%1\" is kept by the address book and cannot be changed.")
                          .arg(propertyName(property)));
    return true;
}

std::optional<QString> stringValue(const ABRecordContent &content, ABPropertyID property)
{
    const ABPropertyValue *value = content.find(property);
    const auto *text = value ? std::get_if<QString>(value) : nullptr;
    if (!text || text->isEmpty())
        return std::nullopt;
    return *text;
}

std::optional<QString> firstEntry(const ABRecordContent &content, ABPropertyID property)
{
    const ABPropertyValue *value = content.find(property);
    const auto *multiValue = value ? std::get_if<ABMultiValueRef>(value) : nullptr;
    if (!multiValue || ABMultiValueGetCount(*multiValue) == 0)
        return std::nullopt;
    const QString text = (*multiValue)->entries().front().value.toString();
    return text.isEmpty() ? std::nullopt : std::optional<QString>(text);
}

ABPersonCompositeNameFormat nameFormatOf(const ABRecordRef &record)
{
    if (const std::optional<ABPersonCompositeNameFormat> format = record->compositeNameFormat())
        return *format;
    return ABPersonGetCompositeNameFormat();
}

std::optional<QString> personCompositeName(const ABRecordRef &person)
{
    const ABRecordContent &content = person->content();
    const bool lastNameFirst = nameFormatOf(person) == kABPersonCompositeNameFormatLastNameFirst;
    const ABPropertyID firstNameFirstOrder[] = {kABPersonPrefixProperty, kABPersonFirstNameProperty,
                                                kABPersonMiddleNameProperty,
                                                kABPersonLastNameProperty, kABPersonSuffixProperty};
    const ABPropertyID lastNameFirstOrder[] = {
        kABPersonPrefixProperty, kABPersonLastNameProperty, kABPersonFirstNameProperty,
        kABPersonMiddleNameProperty, kABPersonSuffixProperty};
    QStringList parts;
    for (const ABPropertyID property : lastNameFirst ? lastNameFirstOrder : firstNameFirstOrder) {
        if (const std::optional<QString> part = stringValue(content, property))
            parts.append(*part);
    }
    if (!parts.isEmpty())
        return parts.join(QLatin1Char(' '));
    for (const ABPropertyID property : {kABPersonOrganizationProperty, kABPersonNicknameProperty}) {
        if (std::optional<QString> text = stringValue(content, property))
            return text;
    }
    if (std::optional<QString> email = firstEntry(content, kABPersonEmailProperty))
        return email;
    return firstEntry(content, kABPersonPhoneProperty);
}

bool checkPerson(const ABRecordRef &record, ABErrorOut error)
{
    if (record && record->type() == kABPersonType)
        return true;
    return ABFail(error, ABError::Code::WrongRecordType,
                  QStringLiteral("The record is not a person."));
}

bool checkMembership(const ABRecordRef &group, const ABRecordRef &person, ABErrorOut error)
{
    if (!group || group->type() != kABGroupType)
        return ABFail(error, ABError::Code::WrongRecordType,
                      QStringLiteral("The record is not a group."));
    if (!checkPerson(person, error))
        return false;
    const ABAddressBookRef book = person->addressBook();
    if (person->recordID() == kABRecordInvalidID &&
        (!book || book != group->addressBook() || !book->isWaitingToAdd(person)))
        return ABFail(error, ABError::Code::PersonNotSaved,
                      QStringLiteral("Save the person to the address book before adding them to "
                                     "a group."));
    return true;
}

bool isMember(const ABRecordContent &group, const ABRecordRef &person)
{
    if (person->recordID() != kABRecordInvalidID)
        return group.members.contains(person->recordID());
    return std::find(group.unsavedMembers.begin(), group.unsavedMembers.end(), person) !=
           group.unsavedMembers.end();
}

QString sortKey(const ABRecordRef &person, ABPersonSortOrdering ordering)
{
    const ABRecordContent &content = person->content();
    const std::optional<QString> first = stringValue(content, kABPersonFirstNameProperty);
    const std::optional<QString> last = stringValue(content, kABPersonLastNameProperty);
    if (!first && !last)
        return ABRecordCopyCompositeName(person).value_or(QString());
    const QString firstText = first.value_or(QString());
    const QString lastText = last.value_or(QString());
    return ordering == kABPersonSortByLastName ? lastText + QLatin1Char(' ') + firstText
                                               : firstText + QLatin1Char(' ') + lastText;
}
} // namespace

const ABPropertyValue *ABRecordContent::find(ABPropertyID property) const
{
    const auto found = findEntry(values, property);
    return found != values.end() && found->first == property ? &found->second : nullptr;
}

void ABRecordContent::set(ABPropertyID property, ABPropertyValue value)
{
    const auto found = findEntry(values, property);
    if (found != values.end() && found->first == property) {
        values[size_t(found - values.begin())].second = std::move(value);
        return;
    }
    values.insert(found, {property, std::move(value)});
}

void ABRecordContent::remove(ABPropertyID property)
{
    const auto found = findEntry(values, property);
    if (found != values.end() && found->first == property)
        values.erase(found);
}

ABRecord::ABRecord(ABRecordType type, ABRecordID recordID, ABRecordContentRef content)
    : recordType(type), identifier(recordID), data(std::move(content))
{
}

ABRecordContent &ABRecord::mutableContent()
{
    if (data.use_count() > 1 || !changed)
        data = std::make_shared<ABRecordContent>(*data);
    changed = true;
    // The copy above is owned by this record alone.
    return const_cast<ABRecordContent &>(*data);
}

void ABRecord::markSaved(ABRecordID recordID, ABRecordContentRef content)
{
    identifier = recordID;
    data = std::move(content);
    changed = false;
}

void ABRecord::refresh(const ABRecordContentRef &content)
{
    if (!changed)
        data = content;
}

ABRecordRef ABPersonCreate()
{
    return std::make_shared<ABRecord>(kABPersonType, kABRecordInvalidID, emptyContent());
}

ABRecordRef ABGroupCreate()
{
    return std::make_shared<ABRecord>(kABGroupType, kABRecordInvalidID, emptyContent());
}

ABRecordID ABRecordGetRecordID(const ABRecordRef &record)
{
    return record ? record->recordID() : kABRecordInvalidID;
}

ABRecordType ABRecordGetRecordType(const ABRecordRef &record)
{
    return record ? record->type() : kABPersonType;
}

std::optional<ABPropertyValue> ABRecordCopyValue(const ABRecordRef &record, ABPropertyID property)
{
    const ABPropertyValue *value = record ? record->content().find(property) : nullptr;
    if (!value)
        return std::nullopt;
    return *value;
}

bool ABRecordSetValue(const ABRecordRef &record, ABPropertyID property,
                      const std::optional<ABPropertyValue> &value, ABErrorOut error)
{
    if (!value)
        return ABRecordRemoveValue(record, property, error);
    if (!checkWritable(record, property, error))
        return false;
    if (!valueFitsType(*value, ABPropertyDescribe(property)->type))
        return ABFail(error, ABError::Code::InvalidValue,
                      QStringLiteral("The value does not fit \"%1\".").arg(propertyName(property)));
    ABPropertyValue stored = *value;
    // The caller may go on changing its multi-value; the record keeps the entries it has now.
    if (auto *multiValue = std::get_if<ABMultiValueRef>(&stored))
        *multiValue = std::make_shared<const ABMultiValue>(**multiValue);
    record->mutableContent().set(property, std::move(stored));
    return true;
}

bool ABRecordRemoveValue(const ABRecordRef &record, ABPropertyID property, ABErrorOut error)
{
    if (!checkWritable(record, property, error))
        return false;
    if (record->content().find(property))
        record->mutableContent().remove(property);
    return true;
}

std::optional<QString> ABRecordCopyCompositeName(const ABRecordRef &record)
{
    if (!record)
        return std::nullopt;
    if (record->type() == kABGroupType)
        return stringValue(record->content(), kABGroupNameProperty);
    return personCompositeName(record);
}

bool ABPersonHasImageData(const ABRecordRef &person)
{
    return person && person->content().imageData.has_value();
}

std::optional<QByteArray> ABPersonCopyImageData(const ABRecordRef &person)
{
    return person ? person->content().imageData : std::nullopt;
}

bool ABPersonSetImageData(const ABRecordRef &person, const QByteArray &imageData, ABErrorOut error)
{
    if (!checkPerson(person, error))
        return false;
    if (imageData.isEmpty())
        return ABFail(error, ABError::Code::InvalidValue, QStringLiteral("The picture is empty."));
    person->mutableContent().imageData = imageData;
    return true;
}

bool ABPersonRemoveImageData(const ABRecordRef &person, ABErrorOut error)
{
    if (!checkPerson(person, error))
        return false;
    if (person->content().imageData)
        person->mutableContent().imageData.reset();
    return true;
}

bool ABGroupAddMember(const ABRecordRef &group, const ABRecordRef &person, ABErrorOut error)
{
    if (!checkMembership(group, person, error))
        return false;
    if (isMember(group->content(), person))
        return true;
    ABRecordContent &content = group->mutableContent();
    if (person->recordID() == kABRecordInvalidID)
        content.unsavedMembers.push_back(person);
    else
        content.members.append(person->recordID());
    return true;
}

bool ABGroupRemoveMember(const ABRecordRef &group, const ABRecordRef &person, ABErrorOut error)
{
    if (!checkMembership(group, person, error))
        return false;
    if (!isMember(group->content(), person))
        return ABFail(error, ABError::Code::NotAMember,
                      QStringLiteral("The person is not a member of the group."));
    ABRecordContent &content = group->mutableContent();
    if (person->recordID() == kABRecordInvalidID)
        std::erase(content.unsavedMembers, person);
    else
        content.members.removeAll(person->recordID());
    return true;
}

QList<ABRecordRef> ABGroupCopyArrayOfAllMembers(const ABRecordRef &group)
{
    QList<ABRecordRef> members;
    if (!group)
        return members;
    const ABRecordContent &content = group->content();
    if (!content.members.isEmpty()) {
        ABAddressBookRef book = group->addressBook();
        if (!book)
            book = ABAddressBookCreate();
        for (const ABRecordID personID : content.members) {
            if (ABRecordRef person = ABAddressBookGetPersonWithRecordID(book, personID))
                members.append(std::move(person));
        }
    }
    for (const ABRecordRef &person : content.unsavedMembers)
        members.append(person);
    return members;
}

QList<ABRecordRef> ABGroupCopyArrayOfAllMembersWithSortOrdering(const ABRecordRef &group,
                                                                ABPersonSortOrdering ordering)
{
    QList<ABRecordRef> members = ABGroupCopyArrayOfAllMembers(group);
    QCollator collator;
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    QList<std::pair<QString, ABRecordRef>> keyed;
    for (ABRecordRef &person : members)
        keyed.append({sortKey(person, ordering), std::move(person)});
    std::stable_sort(keyed.begin(), keyed.end(), [&collator](const auto &a, const auto &b) {
        return collator.compare(a.first, b.first) < 0;
    });
    members.clear();
    for (auto &[key, person] : keyed)
        members.append(std::move(person));
    return members;
}
