#pragma once

#include "ABContact.h"
#include "Platform/AddressBook/ABError.h"
#include "Platform/AddressBook/ABRecord.h"
#include "Platform/AddressBook/NSPredicate.h"

#include <QList>
#include <QString>
#include <memory>
#include <optional>

class ABGroup;
using ABGroupRef = std::shared_ptr<ABGroup>;

// One group of the address book: a name and its persons. Membership changes the group record
// only; it is written when the group is added to an address book and saved.
class ABGroup : public NSKeyValueCoding
{
public:
    // Takes its own reference on the record.
    explicit ABGroup(ABRecordRef record);

    static ABGroupRef groupWithRecord(const ABRecordRef &record);
    // Null when no group has that identifier.
    static ABGroupRef groupWithRecordID(ABRecordID recordID);
    // A new, empty group that belongs to no address book yet.
    static ABGroupRef group();

    ABRecordRef record() const { return wrappedRecord; }
    ABRecordID recordID() const;
    ABRecordType recordType() const;
    bool isPerson() const;

    std::optional<QString> name() const;
    void setName(const std::optional<QString> &name);
    std::optional<QString> getRecordString(ABPropertyID property) const;

    QList<ABContactRef> members() const;
    QList<ABContactRef> membersWithSorting(ABPersonSortOrdering ordering) const;
    bool addMember(const ABContact &contact, ABErrorOut error);
    bool removeMember(const ABContact &contact, ABErrorOut error);
    bool removeSelfFromAddressBook(ABErrorOut error);

    // "name", for predicates.
    std::optional<QString> valueForKey(const QString &key) const override;

private:
    ABRecordRef wrappedRecord;
};
