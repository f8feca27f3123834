#pragma once

#include "Platform/AddressBook/ABError.h"

#include <optional>

// Contacts kept in Molvane's own file before the phone's address book was used. The file is
// never changed or removed here.
struct ABOwnFileCopyReport
{
    int copied = 0;
    int skipped = 0; // already in the phone's address book, same name and numbers
};

// How many persons Molvane's own file holds; 0 when there is no file or it is the store in use.
int ABOwnFilePersonCount();

// Copies every person of Molvane's own file, with the groups they are in, into the address book
// in use, leaving out those already there. All or nothing.
std::optional<ABOwnFileCopyReport> ABOwnFileCopyIntoAddressBook(ABErrorOut error);
