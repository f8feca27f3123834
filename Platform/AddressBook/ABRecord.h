#pragma once

#include "Platform/AddressBook/ABError.h"
#include "Platform/AddressBook/ABMultiValue.h"
#include "Platform/AddressBook/ABProperties.h"

#include <QByteArray>
#include <QDateTime>
#include <QList>
#include <QString>
#include <memory>
#include <optional>
#include <utility>
#include <variant>
#include <vector>

class ABAddressBook;
class ABRecord;

// One property's value: a string, a date, an integer (the kind of a person) or a multi-value.
using ABPropertyValue = std::variant<QString, QDateTime, qint64, ABMultiValueRef>;

// Everything a record holds. Shared between records and the store's snapshots and copied
// before a change, so a record read from the store costs no copy until it is edited.
struct ABRecordContent
{
    std::vector<std::pair<ABPropertyID, ABPropertyValue>> values; // by ascending identifier
    std::optional<QByteArray> imageData;
    QList<ABRecordID> members; // a group's persons, in the order they joined
    // Persons that joined while they and the group wait in the same address book for its
    // save, which gives them their identifiers.
    std::vector<std::shared_ptr<ABRecord>> unsavedMembers;

    const ABPropertyValue *find(ABPropertyID property) const;
    void set(ABPropertyID property, ABPropertyValue value);
    void remove(ABPropertyID property);
};

using ABRecordContentRef = std::shared_ptr<const ABRecordContent>;

// A person or a group. It belongs to at most one address book, whose save writes its changes.
class ABRecord
{
public:
    ABRecord(ABRecordType type, ABRecordID recordID, ABRecordContentRef content);

    ABRecordType type() const { return recordType; }
    ABRecordID recordID() const { return identifier; }
    const ABRecordContent &content() const { return *data; }
    const ABRecordContentRef &sharedContent() const { return data; }
    bool hasUnsavedChanges() const { return changed; }

    // The content to change; marks the record as changed.
    ABRecordContent &mutableContent();

    std::shared_ptr<ABAddressBook> addressBook() const { return book.lock(); }
    // The name order of the address book the record came from, kept for when it is gone.
    std::optional<ABPersonCompositeNameFormat> compositeNameFormat() const { return nameFormat; }
    void setAddressBook(const std::shared_ptr<ABAddressBook> &addressBook,
                        ABPersonCompositeNameFormat format)
    {
        book = addressBook;
        nameFormat = format;
    }
    // The record as stored: its identifier, the content written, nothing pending.
    void markSaved(ABRecordID recordID, ABRecordContentRef content);
    // Takes up the stored content when the record has no changes of its own.
    void refresh(const ABRecordContentRef &content);

private:
    ABRecordType recordType;
    ABRecordID identifier;
    ABRecordContentRef data;
    bool changed = false;
    std::weak_ptr<ABAddressBook> book;
    std::optional<ABPersonCompositeNameFormat> nameFormat;
};

using ABRecordRef = std::shared_ptr<ABRecord>;

ABRecordRef ABPersonCreate();
ABRecordRef ABGroupCreate();

ABRecordID ABRecordGetRecordID(const ABRecordRef &record);
ABRecordType ABRecordGetRecordType(const ABRecordRef &record);

// The value of one property; nothing when the record has none.
std::optional<ABPropertyValue> ABRecordCopyValue(const ABRecordRef &record, ABPropertyID property);
// Stores a value (a copy of a multi-value); nothing removes the property. Refuses, with an
// error, a property the record's kind does not have, a value of the wrong type and the dates
// the store keeps.
bool ABRecordSetValue(const ABRecordRef &record, ABPropertyID property,
                      const std::optional<ABPropertyValue> &value, ABErrorOut error);
bool ABRecordRemoveValue(const ABRecordRef &record, ABPropertyID property, ABErrorOut error);

// A person's name as the platform shows it, in the current name order, falling back to the
// organization, nickname, first e-mail address and first phone number; a group's name.
// Nothing when there is nothing to show.
std::optional<QString> ABRecordCopyCompositeName(const ABRecordRef &record);

bool ABPersonHasImageData(const ABRecordRef &person);
std::optional<QByteArray> ABPersonCopyImageData(const ABRecordRef &person);
bool ABPersonSetImageData(const ABRecordRef &person, const QByteArray &imageData, ABErrorOut error);
bool ABPersonRemoveImageData(const ABRecordRef &person, ABErrorOut error);

// Membership changes the group record only. The person must be saved already, or be waiting
// to be added by the same address book as the group.
bool ABGroupAddMember(const ABRecordRef &group, const ABRecordRef &person, ABErrorOut error);
bool ABGroupRemoveMember(const ABRecordRef &group, const ABRecordRef &person, ABErrorOut error);
// The group's persons as its address book holds them (a newly opened one for a group that has
// none), in the order they joined (those waiting for a save last) or sorted by name.
QList<ABRecordRef> ABGroupCopyArrayOfAllMembers(const ABRecordRef &group);
QList<ABRecordRef> ABGroupCopyArrayOfAllMembersWithSortOrdering(const ABRecordRef &group,
                                                                ABPersonSortOrdering ordering);
