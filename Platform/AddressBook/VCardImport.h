#pragma once

#include "Platform/AddressBook/ABError.h"

#include <QString>
#include <QStringList>

// What an import did, line by line, for the person who asked for it.
struct VCardImportReport
{
    int personsAdded = 0;
    int groupsAdded = 0;
    int groupsJoined = 0; // groups that already existed and got new members
    QStringList imported; // "contacts.vcf, card 1: Ivan Petrov"
    QStringList skipped; // "contacts.vcf, card 2 (Anna): GEO, X-FOO (not kept by the address book)"
};

// Adds every card of the files as a person, and every CATEGORIES value as a group holding its
// persons (a group of that name that exists already is used). Everything is written in one
// save: when a file cannot be read, or the save fails, nothing is added and the error says why.
bool ABAddressBookImportVCardFiles(const QStringList &paths, VCardImportReport *report,
                                   ABErrorOut error);

// Writes every person as a vCard 4.0 card, with the groups it belongs to as CATEGORIES.
// The file is replaced whole, or left as it was when writing fails. The number of cards, or
// nothing.
std::optional<int> ABAddressBookExportVCardFile(const QString &path, ABErrorOut error);
