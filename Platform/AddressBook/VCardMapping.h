#pragma once

#include "Platform/AddressBook/ABRecord.h"
#include "Platform/AddressBook/VCardFile.h"

#include <QStringList>
#include <optional>

// A card read as a person, with what the address book could not take from it.
struct VCardPerson
{
    ABRecordRef person;
    QStringList categories;
    QStringList notKept;  // property names
    QStringList problems; // "BDAY: ..."
    std::optional<QString> refusal;

    bool hasContent() const;
};

enum class VCardPictureLinks
{
    Refused,        // a file given to import may not pull in the reader's own files
    ReadLocalFiles, // the phone's address book keeps its pictures in files of its own
};

VCardPerson VCardReadPerson(const VCard &card,
                            VCardPictureLinks links = VCardPictureLinks::Refused);

// The card of a person, with its groups as CATEGORIES.
QList<VCardProperty> VCardPropertiesOfPerson(const ABRecordRef &person,
                                             const QStringList &categories);

// Whether reading a card takes the property into the person; a card rewritten from a person
// keeps every other property as it was.
bool VCardIsMappedProperty(const QString &name);
