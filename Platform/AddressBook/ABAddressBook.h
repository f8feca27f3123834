#pragma once

#include "Platform/AddressBook/ABError.h"
#include "Platform/AddressBook/ABRecord.h"

#include <QList>
#include <QSet>
#include <memory>
#include <optional>
#include <vector>

struct ABStoreChanges;
struct ABStoreSnapshot;

// A handle on the user's address book. It sees the stored contents as of its creation; records
// it adds, removes or hands out and that are then changed are written by ABAddressBookSave, in
// one transaction. Records keep the same identity for as long as the handle lives.
class ABAddressBook : public std::enable_shared_from_this<ABAddressBook>
{
public:
    // A handle on the store's current contents; empty, and failing every save with the reason,
    // when the store cannot be opened.
    ABAddressBook(std::shared_ptr<const ABStoreSnapshot> snapshot,
                  std::optional<ABError> unavailable);

    QList<ABRecordRef> allRecords(ABRecordType type);
    qint32 count(ABRecordType type) const;
    ABRecordRef record(ABRecordType type, ABRecordID recordID);

    bool add(const ABRecordRef &record, ABErrorOut error);
    bool remove(const ABRecordRef &record, ABErrorOut error);
    bool hasUnsavedChanges() const;
    bool save(ABErrorOut error);
    // Whether the record is new and will be inserted by this handle's next save.
    bool isWaitingToAdd(const ABRecordRef &record) const;

private:
    ABRecordRef materialized(ABRecordType type, size_t index);
    std::vector<ABRecordRef> &handedOut(ABRecordType type);
    bool isPendingAddition(const ABRecordRef &record) const;
    std::vector<ABRecordRef> changedRecords() const;
    ABStoreChanges changesToWrite(const std::vector<ABRecordRef> &changed) const;
    void takeUpSnapshot(std::shared_ptr<const ABStoreSnapshot> next,
                        const std::vector<ABRecordRef> &saved);

    std::shared_ptr<const ABStoreSnapshot> snapshot;
    std::optional<ABError> unavailable;
    // Records handed out, by position in the snapshot's lists; null until asked for.
    std::vector<ABRecordRef> people;
    std::vector<ABRecordRef> groups;
    std::vector<ABRecordRef> added;
    QSet<const ABRecord *> addedRecords; // the same records, for quick membership tests
    QSet<ABRecordID> removed;
};

using ABAddressBookRef = std::shared_ptr<ABAddressBook>;

// Never null; see ABAddressBook for a store that cannot be opened.
ABAddressBookRef ABAddressBookCreate();
// Null, with the reason, when the store cannot be opened or read.
ABAddressBookRef ABAddressBookCreateWithOptions(ABErrorOut error);

QList<ABRecordRef> ABAddressBookCopyArrayOfAllPeople(const ABAddressBookRef &addressBook);
QList<ABRecordRef> ABAddressBookCopyArrayOfAllGroups(const ABAddressBookRef &addressBook);
qint32 ABAddressBookGetPersonCount(const ABAddressBookRef &addressBook);
qint32 ABAddressBookGetGroupCount(const ABAddressBookRef &addressBook);
// The record with that identifier in this handle, or null.
ABRecordRef ABAddressBookGetPersonWithRecordID(const ABAddressBookRef &addressBook,
                                               ABRecordID recordID);
ABRecordRef ABAddressBookGetGroupWithRecordID(const ABAddressBookRef &addressBook,
                                              ABRecordID recordID);

// A new record is inserted at the next save; a stored record (from any handle) is written
// with its current content.
bool ABAddressBookAddRecord(const ABAddressBookRef &addressBook, const ABRecordRef &record,
                            ABErrorOut error);
bool ABAddressBookRemoveRecord(const ABAddressBookRef &addressBook, const ABRecordRef &record,
                               ABErrorOut error);
bool ABAddressBookHasUnsavedChanges(const ABAddressBookRef &addressBook);
bool ABAddressBookSave(const ABAddressBookRef &addressBook, ABErrorOut error);

// The stored name order: first name first unless set otherwise.
ABPersonCompositeNameFormat ABPersonGetCompositeNameFormat();
bool ABPersonSetCompositeNameFormat(ABPersonCompositeNameFormat format, ABErrorOut error);
