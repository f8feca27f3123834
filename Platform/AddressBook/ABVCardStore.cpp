#include "Platform/AddressBook/ABVCardStore.h"

#include "Platform/AddressBook/VCardMapping.h"

#include <QTimer>
#include <algorithm>

namespace {
const QString categoriesName = QStringLiteral("CATEGORIES");

VCardProperty categoriesProperty(const QStringList &categories)
{
    VCardProperty property;
    property.name = categoriesName;
    property.values = categories;
    property.separator = ',';
    return property;
}

// The card as stored, with the groups it is in now.
QList<VCardProperty> withCategories(const QList<VCardProperty> &card, const QStringList &categories)
{
    QList<VCardProperty> result;
    for (const VCardProperty &property : card) {
        if (property.name != categoriesName)
            result.append(property);
    }
    if (!categories.isEmpty())
        result.append(categoriesProperty(categories));
    return result;
}

// The person's card over the stored one: what the person holds replaces what it was read from,
// and everything else the card carries (its UID, other apps' fields) stays.
QList<VCardProperty> rewritten(const QList<VCardProperty> &stored,
                               const ABRecordContentRef &content, const QStringList &categories,
                               ABPersonCompositeNameFormat nameFormat)
{
    auto person = std::make_shared<ABRecord>(kABPersonType, kABRecordInvalidID, content);
    person->setAddressBook(nullptr, nameFormat);
    QList<VCardProperty> result;
    for (const VCardProperty &property : stored) {
        if (!VCardIsMappedProperty(property.name) && property.name != QLatin1String("VERSION"))
            result.append(property);
    }
    return result + VCardPropertiesOfPerson(person, categories);
}

std::optional<QString> groupNameOf(const ABRecordContent &content)
{
    const ABPropertyValue *name = content.find(kABGroupNameProperty);
    const auto *text = name ? std::get_if<QString>(name) : nullptr;
    if (!text || text->trimmed().isEmpty())
        return std::nullopt;
    return text->trimmed();
}

QString unstorable(const QString &why)
{
    return QStringLiteral("The address book could not be saved: %1").arg(why);
}
} // namespace

// What one save does to the cards: persons added, changed and removed, and the categories of
// every person a group change touches.
class ABVCardStore::Commit
{
public:
    Commit(ABVCardStore &store, const ABStoreChanges &changes)
        : store(store), changes(changes), keys(store.keysByID)
    {
        for (auto group = store.groupIDs.cbegin(); group != store.groupIDs.cend(); ++group)
            groupNames.insert(group.value(), group.key());
    }

    std::optional<ABStoreCommit> run(ABErrorOut error)
    {
        for (const ABRecordID removed : changes.removals)
            remove(removed);
        for (size_t index = 0; index < changes.writes.size(); ++index) {
            if (!plan(index, error))
                return std::nullopt;
        }
        CardWrites writes = cardWrites();
        const std::optional<QStringList> addedKeys = store.writeCards(writes, error);
        if (!addedKeys)
            return std::nullopt;
        takeUp(writes, *addedKeys);
        return result(*addedKeys);
    }

private:
    struct Person
    {
        ABRecordContentRef content; // null when only its groups change
        QStringList categories;
    };

    Person &existing(ABRecordID recordID)
    {
        auto found = persons.find(recordID);
        if (found == persons.end())
            found = persons.insert(recordID,
                                   {nullptr, store.cards.at(keys.value(recordID)).categories});
        return *found;
    }

    bool isStoredPerson(ABRecordID recordID) const
    {
        return keys.contains(recordID) && !removedKeys.contains(keys.value(recordID));
    }

    void remove(ABRecordID recordID)
    {
        if (keys.contains(recordID)) {
            removedKeys.append(keys.value(recordID));
            persons.remove(recordID);
        } else if (groupNames.contains(recordID)) {
            setCategory(groupNames.value(recordID), {}, {});
        }
    }

    // Every stored person carries the category exactly when listed; those that carried the old
    // name of a renamed group lose it.
    void setCategory(const QString &name, const QList<ABRecordID> &members,
                     const std::optional<QString> &oldName)
    {
        for (const auto &[key, card] : store.cards) {
            if (removedKeys.contains(key))
                continue;
            const QStringList categories = persons.contains(card.recordID)
                                               ? persons[card.recordID].categories
                                               : card.categories;
            QStringList next = categories;
            if (oldName)
                next.removeAll(*oldName);
            if (!members.contains(card.recordID))
                next.removeAll(name);
            else if (!next.contains(name))
                next.append(name);
            if (next != categories)
                existing(card.recordID).categories = next;
        }
    }

    bool plan(size_t index, ABErrorOut error)
    {
        const ABStoreChanges::Write &write = changes.writes[index];
        if (write.type == kABPersonType) {
            if (write.recordID == kABRecordInvalidID)
                newPersons.insert(index, Person{write.content, {}});
            else if (isStoredPerson(write.recordID))
                existing(write.recordID).content = write.content;
            return true;
        }
        const std::optional<QString> name = groupNameOf(*write.content);
        if (!name)
            return ABFail(error, ABError::Code::SaveFailed,
                          unstorable(QStringLiteral("a group needs a name here")));
        QList<ABRecordID> members;
        for (const ABRecordID member : write.content->members) {
            if (isStoredPerson(member))
                members.append(member);
        }
        QList<size_t> newMembers;
        for (const size_t position : write.newMembers) {
            if (newPersons.contains(position))
                newMembers.append(position);
        }
        if (members.isEmpty() && newMembers.isEmpty())
            return ABFail(error, ABError::Code::SaveFailed,
                          unstorable(QStringLiteral("the group \"%1\" has no members, and this "
                                                    "address book keeps a group only as a "
                                                    "label its members carry")
                                         .arg(*name)));
        std::optional<QString> oldName;
        if (write.recordID != kABRecordInvalidID && groupNames.contains(write.recordID) &&
            groupNames.value(write.recordID) != *name)
            oldName = groupNames.value(write.recordID);
        setCategory(*name, members, oldName);
        for (const size_t position : std::as_const(newMembers)) {
            if (!newPersons[position].categories.contains(*name))
                newPersons[position].categories.append(*name);
        }
        groupWrites.insert(index, {write.recordID, *name});
        return true;
    }

    CardWrites cardWrites() const
    {
        CardWrites writes;
        for (const Person &person : newPersons)
            writes.added.append(rewritten({}, person.content, person.categories, store.nameFormat));
        for (auto person = persons.cbegin(); person != persons.cend(); ++person) {
            const QString key = keys.value(person.key());
            const QList<VCardProperty> &stored = store.cards.at(key).properties;
            writes.changed.append(
                {key, person->content
                          ? rewritten(stored, person->content, person->categories, store.nameFormat)
                          : withCategories(stored, person->categories)});
        }
        writes.removed = removedKeys;
        return writes;
    }

    void takeUp(const CardWrites &writes, const QStringList &addedKeys)
    {
        QList<std::pair<QString, VCard>> taken;
        for (qsizetype index = 0; index < addedKeys.size(); ++index)
            taken.append({addedKeys[index], VCard{1, 0, writes.added.value(index), {}}});
        for (const auto &[key, properties] : writes.changed)
            taken.append({key, VCard{1, 0, properties, {}}});
        store.dropCards(writes.removed);
        store.takeCards(taken);
        if (changes.compositeNameFormat)
            store.nameFormat = *changes.compositeNameFormat;
        for (auto group = groupWrites.cbegin(); group != groupWrites.cend(); ++group) {
            const auto &[recordID, name] = group.value();
            // A renamed group keeps its identifier under its new name.
            if (recordID != kABRecordInvalidID && !store.groupIDs.contains(name))
                store.groupIDs.insert(name, recordID);
        }
    }

    std::optional<ABStoreCommit> result(const QStringList &addedKeys)
    {
        ABStoreCommit commit;
        commit.snapshot = store.snapshot(nullptr);
        const QList<size_t> newPositions = newPersons.keys();
        for (size_t index = 0; index < changes.writes.size(); ++index) {
            const ABStoreChanges::Write &write = changes.writes[index];
            ABRecordID recordID = write.recordID;
            if (write.type == kABPersonType && recordID == kABRecordInvalidID)
                recordID = store.personIDs.value(addedKeys.value(newPositions.indexOf(index)),
                                                 kABRecordInvalidID);
            else if (write.type == kABGroupType)
                recordID =
                    store.groupIDs.value(groupWrites.value(index).second, kABRecordInvalidID);
            const std::optional<size_t> stored = commit.snapshot->indexOf(write.type, recordID);
            commit.written.push_back(stored ? commit.snapshot->records(write.type)[*stored]
                                            : ABStoreSnapshot::Record{kABRecordInvalidID, nullptr});
        }
        return commit;
    }

    ABVCardStore &store;
    const ABStoreChanges &changes;
    const QHash<ABRecordID, QString> &keys;
    QHash<ABRecordID, QString> groupNames;
    QMap<ABRecordID, Person> persons; // stored persons this save rewrites
    QMap<size_t, Person> newPersons;  // by position among the writes
    QMap<size_t, std::pair<ABRecordID, QString>> groupWrites;
    QStringList removedKeys;
};

ABVCardStore::ABVCardStore() = default;

std::shared_ptr<const ABStoreSnapshot> ABVCardStore::snapshot(ABErrorOut error)
{
    if (!waitUntilReady(error))
        return nullptr;
    if (latest)
        return latest;
    auto snapshot = std::make_shared<ABStoreSnapshot>();
    snapshot->generation = generation;
    snapshot->compositeNameFormat = nameFormat;
    for (const auto &[key, card] : cards)
        snapshot->people.push_back({card.recordID, card.content});
    const auto byIdentifier = [](const ABStoreSnapshot::Record &a,
                                 const ABStoreSnapshot::Record &b) {
        return a.recordID < b.recordID;
    };
    std::sort(snapshot->people.begin(), snapshot->people.end(), byIdentifier);
    std::map<ABRecordID, std::shared_ptr<ABRecordContent>> groups;
    for (const ABStoreSnapshot::Record &person : snapshot->people) {
        const QStringList &categories = cards.at(keysByID.value(person.recordID)).categories;
        for (const QString &category : categories) {
            std::shared_ptr<ABRecordContent> &group = groups[groupIDs.value(category)];
            if (!group) {
                group = std::make_shared<ABRecordContent>();
                group->set(kABGroupNameProperty, category);
            }
            if (!group->members.contains(person.recordID))
                group->members.append(person.recordID);
        }
    }
    for (auto &[recordID, content] : groups)
        snapshot->groups.push_back({recordID, std::move(content)});
    latest = std::move(snapshot);
    return latest;
}

std::optional<ABStoreCommit> ABVCardStore::commit(const ABStoreChanges &changes, ABErrorOut error)
{
    if (!waitUntilReady(error))
        return std::nullopt;
    return Commit(*this, changes).run(error);
}

ABRecordID ABVCardStore::identifierOf(QHash<QString, ABRecordID> &identifiers, const QString &key)
{
    auto found = identifiers.find(key);
    if (found == identifiers.end())
        found = identifiers.insert(key, nextRecordID++);
    return *found;
}

void ABVCardStore::takeCards(const QList<std::pair<QString, VCard>> &taken)
{
    const VCardPictureLinks links =
        readsPictureFiles() ? VCardPictureLinks::ReadLocalFiles : VCardPictureLinks::Refused;
    for (const auto &[key, card] : taken) {
        VCardPerson person = VCardReadPerson(card, links);
        if (person.refusal) {
            dropCards({key});
            continue;
        }
        const ABRecordID recordID = identifierOf(personIDs, key);
        keysByID.insert(recordID, key);
        for (const QString &category : std::as_const(person.categories))
            identifierOf(groupIDs, category);
        cards[key] =
            Card{recordID, card.properties, person.person->sharedContent(), person.categories};
    }
    contentsChanged();
}

void ABVCardStore::dropCards(const QStringList &keys)
{
    for (const QString &key : keys) {
        const auto found = cards.find(key);
        if (found == cards.end())
            continue;
        keysByID.remove(found->second.recordID);
        cards.erase(found);
    }
    contentsChanged();
}

void ABVCardStore::dropAllCards()
{
    cards.clear();
    keysByID.clear();
    contentsChanged();
}

// Many cards arriving at once make one notice.
void ABVCardStore::contentsChanged()
{
    ++generation;
    latest.reset();
    if (std::exchange(changeNoticePending, true))
        return;
    QTimer::singleShot(0, this, [this] {
        changeNoticePending = false;
        Q_EMIT changed();
    });
}
