#pragma once

#include "Platform/AddressBook/ABError.h"
#include "Platform/AddressBook/ABRecord.h"

#include <QString>
#include <memory>
#include <optional>
#include <vector>

struct sqlite3;

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

// The SQLite file that holds the user's address book, $XDG_DATA_HOME/molvane/addressbook.sqlite.
// One connection per process; the latest snapshot is kept and reused until the file changes.
class ABStore
{
public:
    // The store at the current documents directory, opened (and created) on first use.
    static ABStore *shared(ABErrorOut error);
    // Closes the connection, so the next use opens the file afresh.
    static void closeShared();
    static QString defaultPath();

    ~ABStore();
    ABStore(const ABStore &) = delete;
    ABStore &operator=(const ABStore &) = delete;

    QString path() const { return filePath; }
    // The stored contents now.
    std::shared_ptr<const ABStoreSnapshot> snapshot(ABErrorOut error);
    // Writes the changes in one transaction; nothing is written when it fails.
    std::optional<ABStoreCommit> commit(const ABStoreChanges &changes, ABErrorOut error);

private:
    explicit ABStore(const QString &path);
    bool open(ABErrorOut error);

    QString filePath;
    sqlite3 *database = nullptr;
    std::shared_ptr<const ABStoreSnapshot> latest;
};
