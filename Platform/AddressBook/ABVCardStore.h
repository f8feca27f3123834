#pragma once

#include "Platform/AddressBook/ABStore.h"
#include "Platform/AddressBook/VCardFile.h"

#include <QHash>
#include <map>

// A store of vCards, one person each, under keys of the store's own (a file's path, a UID).
// A group is a CATEGORIES value its members carry: it exists while it has members, and a
// rename rewrites every member. Identifiers are given as cards are first seen and last for the
// process.
class ABVCardStore : public ABStore
{
public:
    std::shared_ptr<const ABStoreSnapshot> snapshot(ABErrorOut error) override;
    std::optional<ABStoreCommit> commit(const ABStoreChanges &changes, ABErrorOut error) override;

protected:
    struct CardWrites
    {
        QList<QList<VCardProperty>> added;
        QList<std::pair<QString, QList<VCardProperty>>> changed; // by key
        QStringList removed;                                     // keys
    };

    ABVCardStore();

    // Writes the cards; the keys of the added ones, in order, or nothing with the reason.
    virtual std::optional<QStringList> writeCards(const CardWrites &writes, ABErrorOut error) = 0;
    // Waits for the contents when they are still being read; false, with the reason, when they
    // cannot be had.
    virtual bool waitUntilReady(ABErrorOut) { return true; }
    // Whether a picture given as a link is a file of the store's own.
    virtual bool readsPictureFiles() const { return false; }

    // The store's contents as they arrive: added or changed cards, removed keys.
    void takeCards(const QList<std::pair<QString, VCard>> &cards);
    void dropCards(const QStringList &keys);
    void dropAllCards();
    bool holds(const QString &key) const { return cards.count(key) > 0; }

private:
    struct Card
    {
        ABRecordID recordID;
        QList<VCardProperty> properties;
        ABRecordContentRef content;
        QStringList categories;
    };
    class Commit;

    ABRecordID identifierOf(QHash<QString, ABRecordID> &identifiers, const QString &key);
    void contentsChanged();

    std::map<QString, Card> cards;
    QHash<QString, ABRecordID> personIDs; // by key
    QHash<ABRecordID, QString> keysByID;  // of the cards held now
    QHash<QString, ABRecordID> groupIDs;  // by category
    ABRecordID nextRecordID = 1;
    ABPersonCompositeNameFormat nameFormat = kABPersonCompositeNameFormatFirstNameFirst;
    qint64 generation = 0;
    std::shared_ptr<const ABStoreSnapshot> latest;
    bool changeNoticePending = false;
};
