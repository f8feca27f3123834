#include "Platform/AddressBook/ABAddressBook.h"

#include "Platform/AddressBook/ABStore.h"
#include "Platform/Log.h"

#include <algorithm>

namespace {
std::shared_ptr<const ABStoreSnapshot> emptySnapshot()
{
    static const auto empty = std::make_shared<const ABStoreSnapshot>();
    return empty;
}

ABAddressBookRef openAddressBook(ABErrorOut error)
{
    ABStore *store = ABStore::shared(error);
    std::shared_ptr<const ABStoreSnapshot> snapshot = store ? store->snapshot(error) : nullptr;
    if (!snapshot)
        return nullptr;
    return std::make_shared<ABAddressBook>(std::move(snapshot), std::nullopt);
}
} // namespace

ABAddressBook::ABAddressBook(std::shared_ptr<const ABStoreSnapshot> snapshot,
                             std::optional<ABError> unavailable)
    : snapshot(std::move(snapshot)), unavailable(std::move(unavailable)),
      people(this->snapshot->people.size()), groups(this->snapshot->groups.size())
{
}

std::vector<ABRecordRef> &ABAddressBook::handedOut(ABRecordType type)
{
    return type == kABGroupType ? groups : people;
}

ABRecordRef ABAddressBook::materialized(ABRecordType type, size_t index)
{
    ABRecordRef &record = handedOut(type)[index];
    if (!record) {
        const ABStoreSnapshot::Record &stored = snapshot->records(type)[index];
        record = std::make_shared<ABRecord>(type, stored.recordID, stored.content);
        record->setAddressBook(shared_from_this(), snapshot->compositeNameFormat);
    }
    return record;
}

QList<ABRecordRef> ABAddressBook::allRecords(ABRecordType type)
{
    QList<ABRecordRef> records;
    const size_t stored = snapshot->records(type).size();
    records.reserve(qsizetype(stored + added.size()));
    for (size_t index = 0; index < stored; ++index) {
        if (removed.isEmpty() || !removed.contains(snapshot->records(type)[index].recordID))
            records.append(materialized(type, index));
    }
    for (const ABRecordRef &record : added) {
        if (record->type() == type && record->recordID() == kABRecordInvalidID)
            records.append(record);
    }
    return records;
}

qint32 ABAddressBook::count(ABRecordType type) const
{
    qsizetype total = qsizetype(snapshot->records(type).size());
    for (const ABRecordID recordID : removed) {
        if (snapshot->indexOf(type, recordID))
            --total;
    }
    total += std::count_if(added.begin(), added.end(), [type](const ABRecordRef &record) {
        return record->type() == type && record->recordID() == kABRecordInvalidID;
    });
    return qint32(total);
}

ABRecordRef ABAddressBook::record(ABRecordType type, ABRecordID recordID)
{
    const std::optional<size_t> index = snapshot->indexOf(type, recordID);
    if (!index || removed.contains(recordID))
        return nullptr;
    return materialized(type, *index);
}

bool ABAddressBook::isPendingAddition(const ABRecordRef &record) const
{
    return addedRecords.contains(record.get());
}

bool ABAddressBook::add(const ABRecordRef &record, ABErrorOut error)
{
    if (!record)
        return ABFail(error, ABError::Code::InvalidValue, QStringLiteral("There is no record."));
    if (record->recordID() != kABRecordInvalidID && removed.contains(record->recordID()))
        removed.remove(record->recordID());
    if (!isPendingAddition(record)) {
        added.push_back(record);
        addedRecords.insert(record.get());
    }
    if (record->recordID() == kABRecordInvalidID)
        record->setAddressBook(shared_from_this(), snapshot->compositeNameFormat);
    return true;
}

bool ABAddressBook::remove(const ABRecordRef &record, ABErrorOut error)
{
    if (record && isPendingAddition(record) && record->recordID() == kABRecordInvalidID) {
        added.erase(std::find(added.begin(), added.end(), record));
        addedRecords.remove(record.get());
        return true;
    }
    if (!record || !snapshot->indexOf(record->type(), record->recordID()) ||
        removed.contains(record->recordID()))
        return ABFail(error, ABError::Code::RecordNotInAddressBook,
                      QStringLiteral("The record is not in the address book."));
    removed.insert(record->recordID());
    if (addedRecords.remove(record.get()))
        added.erase(std::find(added.begin(), added.end(), record));
    return true;
}

bool ABAddressBook::isWaitingToAdd(const ABRecordRef &record) const
{
    return record && record->recordID() == kABRecordInvalidID && isPendingAddition(record);
}

// Persons before groups, so that a group's new members have their identifiers when it is
// written.
std::vector<ABRecordRef> ABAddressBook::changedRecords() const
{
    std::vector<ABRecordRef> changed = added;
    for (const std::vector<ABRecordRef> *list : {&people, &groups}) {
        for (const ABRecordRef &record : *list) {
            if (record && record->hasUnsavedChanges() && !removed.contains(record->recordID()) &&
                !isPendingAddition(record))
                changed.push_back(record);
        }
    }
    std::stable_partition(changed.begin(), changed.end(), [](const ABRecordRef &record) {
        return record->type() == kABPersonType;
    });
    return changed;
}

ABStoreChanges ABAddressBook::changesToWrite(const std::vector<ABRecordRef> &changed) const
{
    ABStoreChanges changes;
    changes.removals.assign(removed.begin(), removed.end());
    for (const ABRecordRef &record : changed) {
        ABStoreChanges::Write write{
            record->type(), record->recordID(), record->sharedContent(), {}};
        for (const ABRecordRef &member : record->content().unsavedMembers) {
            const auto position = std::find(changed.begin(), changed.end(), member);
            if (position != changed.end() && member->recordID() == kABRecordInvalidID)
                write.newMembers.push_back(size_t(position - changed.begin()));
        }
        changes.writes.push_back(std::move(write));
    }
    return changes;
}

bool ABAddressBook::hasUnsavedChanges() const
{
    return !removed.isEmpty() || !changedRecords().empty();
}

bool ABAddressBook::save(ABErrorOut error)
{
    if (unavailable) {
        if (error)
            *error = unavailable;
        return false;
    }
    const std::vector<ABRecordRef> changed = changedRecords();
    const ABStoreChanges changes = changesToWrite(changed);
    if (changes.isEmpty())
        return true;
    ABStore *store = ABStore::shared(error);
    const std::optional<ABStoreCommit> commit =
        store ? store->commit(changes, error) : std::nullopt;
    if (!commit)
        return false;
    for (size_t i = 0; i < changed.size(); ++i) {
        const ABStoreSnapshot::Record &written = commit->written[i];
        if (written.recordID == kABRecordInvalidID) {
            NSLog(QStringLiteral("A changed record had been removed meanwhile; it stays removed."));
            continue;
        }
        changed[i]->markSaved(written.recordID, written.content);
    }
    added.clear();
    addedRecords.clear();
    removed.clear();
    takeUpSnapshot(commit->snapshot ? commit->snapshot : snapshot, changed);
    return true;
}

// Moves to a newer snapshot. Records handed out, and those just saved, keep their identity and
// take up the stored content unless they have changes of their own.
void ABAddressBook::takeUpSnapshot(std::shared_ptr<const ABStoreSnapshot> next,
                                   const std::vector<ABRecordRef> &saved)
{
    for (const ABRecordType type : {kABPersonType, kABGroupType}) {
        std::vector<ABRecordRef> previous = std::move(handedOut(type));
        std::vector<ABRecordRef> &current = handedOut(type);
        current.assign(next->records(type).size(), nullptr);
        previous.insert(previous.end(), saved.begin(), saved.end());
        for (ABRecordRef &record : previous) {
            if (!record || record->type() != type)
                continue;
            if (const auto index = next->indexOf(type, record->recordID())) {
                record->refresh(next->records(type)[*index].content);
                record->setAddressBook(shared_from_this(), next->compositeNameFormat);
                current[*index] = std::move(record);
            }
        }
    }
    snapshot = std::move(next);
}

ABAddressBookRef ABAddressBookCreate()
{
    std::optional<ABError> error;
    if (ABAddressBookRef book = openAddressBook(&error))
        return book;
    NSLog(QStringLiteral("Error: %1").arg(error->localizedDescription()));
    return std::make_shared<ABAddressBook>(emptySnapshot(), std::move(error));
}

ABAddressBookRef ABAddressBookCreateWithOptions(ABErrorOut error)
{
    return openAddressBook(error);
}

QList<ABRecordRef> ABAddressBookCopyArrayOfAllPeople(const ABAddressBookRef &addressBook)
{
    return addressBook ? addressBook->allRecords(kABPersonType) : QList<ABRecordRef>();
}

QList<ABRecordRef> ABAddressBookCopyArrayOfAllGroups(const ABAddressBookRef &addressBook)
{
    return addressBook ? addressBook->allRecords(kABGroupType) : QList<ABRecordRef>();
}

qint32 ABAddressBookGetPersonCount(const ABAddressBookRef &addressBook)
{
    return addressBook ? addressBook->count(kABPersonType) : 0;
}

qint32 ABAddressBookGetGroupCount(const ABAddressBookRef &addressBook)
{
    return addressBook ? addressBook->count(kABGroupType) : 0;
}

ABRecordRef ABAddressBookGetPersonWithRecordID(const ABAddressBookRef &addressBook,
                                               ABRecordID recordID)
{
    return addressBook ? addressBook->record(kABPersonType, recordID) : nullptr;
}

ABRecordRef ABAddressBookGetGroupWithRecordID(const ABAddressBookRef &addressBook,
                                              ABRecordID recordID)
{
    return addressBook ? addressBook->record(kABGroupType, recordID) : nullptr;
}

bool ABAddressBookAddRecord(const ABAddressBookRef &addressBook, const ABRecordRef &record,
                            ABErrorOut error)
{
    if (!addressBook)
        return ABFail(error, ABError::Code::StoreUnavailable,
                      QStringLiteral("There is no address book."));
    return addressBook->add(record, error);
}

bool ABAddressBookRemoveRecord(const ABAddressBookRef &addressBook, const ABRecordRef &record,
                               ABErrorOut error)
{
    if (!addressBook)
        return ABFail(error, ABError::Code::StoreUnavailable,
                      QStringLiteral("There is no address book."));
    return addressBook->remove(record, error);
}

bool ABAddressBookHasUnsavedChanges(const ABAddressBookRef &addressBook)
{
    return addressBook && addressBook->hasUnsavedChanges();
}

bool ABAddressBookSave(const ABAddressBookRef &addressBook, ABErrorOut error)
{
    if (!addressBook)
        return ABFail(error, ABError::Code::StoreUnavailable,
                      QStringLiteral("There is no address book."));
    return addressBook->save(error);
}

ABPersonCompositeNameFormat ABPersonGetCompositeNameFormat()
{
    ABStore *store = ABStore::shared(nullptr);
    const std::shared_ptr<const ABStoreSnapshot> snapshot =
        store ? store->snapshot(nullptr) : nullptr;
    return snapshot ? snapshot->compositeNameFormat : kABPersonCompositeNameFormatFirstNameFirst;
}

bool ABPersonSetCompositeNameFormat(ABPersonCompositeNameFormat format, ABErrorOut error)
{
    ABStore *store = ABStore::shared(error);
    if (!store)
        return false;
    ABStoreChanges changes;
    changes.compositeNameFormat = format;
    return store->commit(changes, error).has_value();
}
