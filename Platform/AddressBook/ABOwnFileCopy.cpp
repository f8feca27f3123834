#include "Platform/AddressBook/ABOwnFileCopy.h"

#include "Platform/AddressBook/ABSQLiteStore.h"

#include <QFile>
#include <QSet>

namespace {
std::shared_ptr<const ABStoreSnapshot> ownFile(ABErrorOut error)
{
    if (ABStore::chosenKind() == ABStoreKind::SQLite ||
        !QFile::exists(ABSQLiteStore::defaultPath()))
        return nullptr;
    const std::unique_ptr<ABSQLiteStore> store = ABSQLiteStore::open(error);
    return store ? store->snapshot(error) : nullptr;
}

// A person as the user tells two apart: the name shown and the numbers, in any order.
QString likeness(const ABRecordContentRef &content)
{
    auto person = std::make_shared<ABRecord>(kABPersonType, kABRecordInvalidID, content);
    person->setAddressBook(nullptr, kABPersonCompositeNameFormatFirstNameFirst);
    QStringList numbers;
    const std::optional<ABPropertyValue> phones = ABRecordCopyValue(person, kABPersonPhoneProperty);
    if (const auto *multiValue = phones ? std::get_if<ABMultiValueRef>(&*phones) : nullptr) {
        for (const ABMultiValue::Entry &entry : (*multiValue)->entries())
            numbers.append(entry.value.toString());
    }
    numbers.sort();
    return ABRecordCopyCompositeName(person).value_or(QString()) + QLatin1Char('\n') +
           numbers.join(QLatin1Char('\n'));
}
} // namespace

int ABOwnFilePersonCount()
{
    const std::shared_ptr<const ABStoreSnapshot> source = ownFile(nullptr);
    return source ? int(source->people.size()) : 0;
}

std::optional<ABOwnFileCopyReport> ABOwnFileCopyIntoAddressBook(ABErrorOut error)
{
    const std::shared_ptr<const ABStoreSnapshot> source = ownFile(error);
    ABStore *target = ABStore::shared(error);
    const std::shared_ptr<const ABStoreSnapshot> present =
        source && target ? target->snapshot(error) : nullptr;
    if (!present)
        return std::nullopt;
    QSet<QString> there;
    for (const ABStoreSnapshot::Record &person : present->people)
        there.insert(likeness(person.content));
    ABOwnFileCopyReport report;
    ABStoreChanges changes;
    QHash<ABRecordID, size_t> positions; // of the copied persons among the writes
    for (const ABStoreSnapshot::Record &person : source->people) {
        if (there.contains(likeness(person.content))) {
            ++report.skipped;
            continue;
        }
        positions.insert(person.recordID, changes.writes.size());
        changes.writes.push_back({kABPersonType, kABRecordInvalidID, person.content, {}});
    }
    report.copied = int(changes.writes.size());
    for (const ABStoreSnapshot::Record &group : source->groups) {
        auto content = std::make_shared<ABRecordContent>(*group.content);
        content->members.clear();
        std::vector<size_t> members;
        for (const ABRecordID member : group.content->members) {
            if (positions.contains(member))
                members.push_back(positions.value(member));
        }
        // A group none of whose members is copied stays behind, as a group of nobody cannot be
        // stored in the phone's address book.
        if (!members.empty())
            changes.writes.push_back(
                {kABGroupType, kABRecordInvalidID, std::move(content), std::move(members)});
    }
    if (!changes.isEmpty() && !target->commit(changes, error))
        return std::nullopt;
    return report;
}
