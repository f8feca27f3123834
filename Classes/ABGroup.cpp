#include "ABGroup.h"

#include "Platform/AddressBook/ABAddressBook.h"
#include "Platform/Log.h"

#include <utility>

namespace {
QList<ABContactRef> wrapped(const QList<ABRecordRef> &records)
{
    QList<ABContactRef> contacts;
    contacts.reserve(records.size());
    for (const ABRecordRef &record : records)
        contacts.append(ABContact::contactWithRecord(record));
    return contacts;
}
} // namespace

ABGroup::ABGroup(ABRecordRef record) : wrappedRecord(std::move(record)) {}

ABGroupRef ABGroup::groupWithRecord(const ABRecordRef &record)
{
    return std::make_shared<ABGroup>(record);
}

ABGroupRef ABGroup::groupWithRecordID(ABRecordID recordID)
{
    const ABAddressBookRef addressBook = ABAddressBookCreate();
    const ABRecordRef group = ABAddressBookGetGroupWithRecordID(addressBook, recordID);
    return group ? groupWithRecord(group) : nullptr;
}

ABGroupRef ABGroup::group()
{
    return groupWithRecord(ABGroupCreate());
}

ABRecordID ABGroup::recordID() const
{
    return ABRecordGetRecordID(wrappedRecord);
}

ABRecordType ABGroup::recordType() const
{
    return ABRecordGetRecordType(wrappedRecord);
}

bool ABGroup::isPerson() const
{
    return recordType() == kABPersonType;
}

std::optional<QString> ABGroup::name() const
{
    return ABRecordCopyCompositeName(wrappedRecord);
}

void ABGroup::setName(const std::optional<QString> &name)
{
    std::optional<ABError> error;
    const std::optional<ABPropertyValue> value =
        name ? std::optional<ABPropertyValue>(*name) : std::nullopt;
    if (!ABRecordSetValue(wrappedRecord, kABGroupNameProperty, value, &error))
        NSLog(QStringLiteral("Error: %1").arg(error->localizedDescription()));
}

std::optional<QString> ABGroup::getRecordString(ABPropertyID property) const
{
    const std::optional<ABPropertyValue> value = ABRecordCopyValue(wrappedRecord, property);
    const auto *text = value ? std::get_if<QString>(&*value) : nullptr;
    return text ? std::optional<QString>(*text) : std::nullopt;
}

QList<ABContactRef> ABGroup::members() const
{
    return wrapped(ABGroupCopyArrayOfAllMembers(wrappedRecord));
}

QList<ABContactRef> ABGroup::membersWithSorting(ABPersonSortOrdering ordering) const
{
    return wrapped(ABGroupCopyArrayOfAllMembersWithSortOrdering(wrappedRecord, ordering));
}

bool ABGroup::addMember(const ABContact &contact, ABErrorOut error)
{
    return ABGroupAddMember(wrappedRecord, contact.record(), error);
}

bool ABGroup::removeMember(const ABContact &contact, ABErrorOut error)
{
    return ABGroupRemoveMember(wrappedRecord, contact.record(), error);
}

bool ABGroup::removeSelfFromAddressBook(ABErrorOut error)
{
    const ABAddressBookRef addressBook = ABAddressBookCreate();
    if (!ABAddressBookRemoveRecord(addressBook, wrappedRecord, error))
        return false;
    return ABAddressBookSave(addressBook, error);
}

std::optional<QString> ABGroup::valueForKey(const QString &key) const
{
    if (key == QLatin1String("name"))
        return name();
    return std::nullopt;
}
