#pragma once

#include "Platform/AddressBook/ABVCardStore.h"
#include "Platform/AddressBook/ContactsModule.h"

// The phone's own address book: evolution-data-server's default book, where the phone's
// Contacts app saves. Followed live; while it cannot be reached it holds nobody and says why,
// and it comes back by itself.
class ABPhoneBookStore final : public ABVCardStore, private PhoneBookListener
{
public:
    static std::unique_ptr<ABPhoneBookStore> open(ABErrorOut error);
    ~ABPhoneBookStore() override;

    ABStoreKind kind() const override { return ABStoreKind::PhoneBook; }
    bool isReady() const override { return ready; }
    std::optional<QString> unavailableReason() const override { return lostBecause; }
    QString bookName() const { return name; }

protected:
    std::optional<QStringList> writeCards(const CardWrites &writes, ABErrorOut error) override;
    bool waitUntilReady(ABErrorOut error) override;
    bool readsPictureFiles() const override { return true; }

private:
    explicit ABPhoneBookStore(const ContactsModule &module);

    void phoneBookOpened(const QString &bookName) override;
    void phoneBookCardsChanged(const QList<PhoneBookCard> &addedOrChanged) override;
    void phoneBookCardsRemoved(const QStringList &uids) override;
    void phoneBookComplete() override;
    void phoneBookLost(const QString &reason) override;

    std::unique_ptr<PhoneBookConnection> connection;
    QString name;
    bool ready = false;
    std::optional<QString> lostBecause;
};
