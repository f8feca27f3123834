#include "ABContactsHelper.h"

namespace {
const QString NameSearchFormat = QStringLiteral(
    "firstname contains[cd] %@ OR lastname contains[cd] %@ OR nickname contains[cd] %@ OR "
    "middlename contains[cd] %@");

template <typename Pointer>
QList<Pointer> filtered(const QList<Pointer> &list, const QString &format, const QString &text)
{
    const QStringList arguments(format.count(QStringLiteral("%@")), text);
    const std::optional<NSPredicate> predicate =
        NSPredicate::predicateWithFormat(format, arguments);
    Q_ASSERT(predicate);
    return predicate ? filteredArrayUsingPredicate(list, *predicate) : QList<Pointer>();
}

qint32 countPeople(bool withImage)
{
    qint32 count = 0;
    for (const ABRecordRef &person : ABAddressBookCopyArrayOfAllPeople(ABAddressBookCreate())) {
        if (ABPersonHasImageData(person) == withImage)
            ++count;
    }
    return count;
}

bool addRecord(const ABRecordRef &record, ABErrorOut error)
{
    const ABAddressBookRef addressBook = ABAddressBookCreate();
    if (!ABAddressBookAddRecord(addressBook, record, error))
        return false;
    return ABAddressBookSave(addressBook, error);
}
} // namespace

ABAddressBookRef ABContactsHelper::addressBook()
{
    return ABAddressBookCreate();
}

QList<ABContactRef> ABContactsHelper::contacts()
{
    const QList<ABRecordRef> people = ABAddressBookCopyArrayOfAllPeople(ABAddressBookCreate());
    QList<ABContactRef> contacts;
    contacts.reserve(people.size());
    for (const ABRecordRef &person : people)
        contacts.append(ABContact::contactWithRecord(person));
    return contacts;
}

qint32 ABContactsHelper::contactsCount()
{
    return ABAddressBookGetPersonCount(ABAddressBookCreate());
}

qint32 ABContactsHelper::contactsWithImageCount()
{
    return countPeople(true);
}

qint32 ABContactsHelper::contactsWithoutImageCount()
{
    return countPeople(false);
}

QList<ABGroupRef> ABContactsHelper::groups()
{
    const QList<ABRecordRef> records = ABAddressBookCopyArrayOfAllGroups(ABAddressBookCreate());
    QList<ABGroupRef> groups;
    groups.reserve(records.size());
    for (const ABRecordRef &record : records)
        groups.append(ABGroup::groupWithRecord(record));
    return groups;
}

qint32 ABContactsHelper::numberOfGroups()
{
    return qint32(groups().size());
}

bool ABContactsHelper::firstNameSorting()
{
    return ABPersonGetCompositeNameFormat() == kABPersonCompositeNameFormatFirstNameFirst;
}

QList<ABContactRef> ABContactsHelper::contactsMatchingName(const QString &name)
{
    return filtered(contacts(), NameSearchFormat, name);
}

QList<ABContactRef> ABContactsHelper::contactsMatchingName(const QString &name,
                                                           const QString &andName)
{
    return filtered(filtered(contacts(), NameSearchFormat, name), NameSearchFormat, andName);
}

QList<ABContactRef> ABContactsHelper::contactsMatchingPhone(const QString &number)
{
    return filtered(contacts(), QStringLiteral("phonenumbers contains[cd] %@"), number);
}

QList<ABGroupRef> ABContactsHelper::groupsMatchingName(const QString &name)
{
    return filtered(groups(), QStringLiteral("name contains[cd] %@ "), name);
}

bool ABContactsHelper::addContact(const ABContact &contact, ABErrorOut error)
{
    return addRecord(contact.record(), error);
}

bool ABContactsHelper::addGroup(const ABGroup &group, ABErrorOut error)
{
    return addRecord(group.record(), error);
}
