#pragma once

#include "ABContact.h"
#include "ABGroup.h"
#include "Platform/AddressBook/ABAddressBook.h"

#include <QList>
#include <QString>

// Queries over the whole address book. Each call opens its own handle, so it sees the address
// book as stored at that moment.
class ABContactsHelper
{
public:
    ABContactsHelper() = delete;

    // A new handle, the caller's to keep.
    static ABAddressBookRef addressBook();

    static QList<ABContactRef> contacts();
    static qint32 contactsCount();
    static qint32 contactsWithImageCount();
    static qint32 contactsWithoutImageCount();
    static QList<ABGroupRef> groups();
    static qint32 numberOfGroups();
    // Whether names are shown first name first.
    static bool firstNameSorting();

    // Persons whose first, last, middle name or nickname contains the text, ignoring case and
    // diacritic marks.
    static QList<ABContactRef> contactsMatchingName(const QString &name);
    static QList<ABContactRef> contactsMatchingName(const QString &name, const QString &andName);
    // Persons one of whose numbers, exactly as stored, contains the text.
    static QList<ABContactRef> contactsMatchingPhone(const QString &number);
    static QList<ABGroupRef> groupsMatchingName(const QString &name);

    // Add the record through a new handle and save it.
    static bool addContact(const ABContact &contact, ABErrorOut error);
    static bool addGroup(const ABGroup &group, ABErrorOut error);
};
