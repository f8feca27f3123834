#pragma once

#include "Platform/AddressBook/ABError.h"
#include "Platform/AddressBook/ABRecord.h"

#include <QObject>
#include <QString>
#include <memory>
#include <optional>
#include <vector>

// The stored address book as of one moment. Immutable once made, so any number of address-book
// handles can share it; a save makes a new one.
struct ABStoreSnapshot
{
    struct Record
    {
        ABRecordID recordID;
        ABRecordContentRef content;
    };

    qint64 generation = -1;
    ABPersonCompositeNameFormat compositeNameFormat = kABPersonCompositeNameFormatFirstNameFirst;
    std::vector<Record> people; // by ascending identifier, which is the order they were added
    std::vector<Record> groups;

    const std::vector<Record> &records(ABRecordType type) const;
    std::vector<Record> &records(ABRecordType type);
    // The position of a record in records(type), or nothing.
    std::optional<size_t> indexOf(ABRecordType type, ABRecordID recordID) const;
};

// What one save writes, in one transaction.
struct ABStoreChanges
{
    struct Write
    {
        ABRecordType type;
        ABRecordID recordID; // kABRecordInvalidID for a new record
        ABRecordContentRef content;
        // New persons joining this group: positions of their (earlier) writes.
        std::vector<size_t> newMembers;
    };

    std::vector<Write> writes;
    std::vector<ABRecordID> removals;
    std::optional<ABPersonCompositeNameFormat> compositeNameFormat;

    bool isEmpty() const { return writes.empty() && removals.empty() && !compositeNameFormat; }
};

struct ABStoreCommit
{
    std::shared_ptr<const ABStoreSnapshot> snapshot;
    // For each write, in order: the record as stored, or an invalid identifier for a changed
    // record that had been removed meanwhile (a removal is not undone by a later edit).
    std::vector<ABStoreSnapshot::Record> written;
};

enum class ABStoreKind
{
    PhoneBook,   // evolution-data-server's default address book, where Phosh's apps keep theirs
    VCardFolder, // a folder of vCard files, one person each, where Plasma Mobile's apps keep theirs
    SQLite,      // Molvane's own file, on a desktop that has neither
};

// Where the address book is stored. One store serves the process: the phone's own address book
// when its daemons run or can be started, else the vCard folder when it exists or the session is
// Plasma, else Molvane's own file. MOLVANE_ADDRESS_BOOK=eds|folder|sqlite chooses instead.
class ABStore : public QObject
{
    Q_OBJECT

public:
    // The chosen store, opened on first use; nothing, with the reason, when it cannot be opened.
    static ABStore *shared(ABErrorOut error);
    // Closes the store, so the next use chooses and opens one afresh.
    static void closeShared();
    static ABStoreKind chosenKind();

    virtual ABStoreKind kind() const = 0;
    // Whether the store's place has changed since it was opened (a new data directory).
    virtual bool hasMoved() const { return false; }
    // False while the contents are still being read, or cannot be reached (see
    // unavailableReason); a snapshot then waits for them.
    virtual bool isReady() const { return true; }
    virtual std::optional<QString> unavailableReason() const { return std::nullopt; }

    // The stored contents now.
    virtual std::shared_ptr<const ABStoreSnapshot> snapshot(ABErrorOut error) = 0;
    // Writes the changes; on failure the reason says what was not written.
    virtual std::optional<ABStoreCommit> commit(const ABStoreChanges &changes,
                                                ABErrorOut error) = 0;

Q_SIGNALS:
    // The contents changed, here or in another process, or the store came or went.
    void changed();
};
