#pragma once

#include "Platform/AddressBook/VCardFile.h"

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <functional>
#include <memory>
#include <utility>

// The vCard parser (libebook-contacts) and the phone's address book (evolution-data-server)
// live in a module of their own, molvane-contacts, loaded the first time the address book
// needs either: a window that never opens the contacts maps none of them.

struct PhoneBookCard
{
    QString uid;
    VCard card;
};

// Told, on the thread that connected, what the phone's address book holds and when that
// changes.
class PhoneBookListener
{
public:
    virtual ~PhoneBookListener() = default;
    // The default address book is open; its cards follow, then phoneBookComplete.
    virtual void phoneBookOpened(const QString &bookName) = 0;
    virtual void phoneBookCardsChanged(const QList<PhoneBookCard> &addedOrChanged) = 0;
    virtual void phoneBookCardsRemoved(const QStringList &uids) = 0;
    virtual void phoneBookComplete() = 0;
    // The address book cannot be reached (not running, stopped, refused); it is tried again
    // until it answers.
    virtual void phoneBookLost(const QString &reason) = 0;
};

// A live connection to the default address book. Every call to the daemons is made on a
// thread of the connection's own.
class PhoneBookConnection
{
public:
    // The UIDs the daemon gave the added cards, in order; an empty failure on success.
    using Done = std::function<void(const QStringList &addedUIDs, const QString &failure)>;

    virtual ~PhoneBookConnection() = default;
    // vCard 3.0 texts; changed cards carry their UID. Done is called on the connecting thread.
    virtual void write(const QList<QByteArray> &added, const QList<QByteArray> &changed,
                       const QStringList &removed, Done done) = 0;
};

class ContactsModule
{
public:
    virtual ~ContactsModule() = default;
    // Every card of a vCard text (2.1, 3.0 or 4.0).
    virtual VCardFileContents parse(const QByteArray &text) const = 0;
    virtual std::unique_ptr<PhoneBookConnection>
    connectPhoneBook(PhoneBookListener *listener) const = 0;
};

using ContactsModuleEntry = const ContactsModule *(*)();
inline constexpr char contactsModuleSymbol[] = "molvaneContactsModule";
inline constexpr char contactsModuleName[] = "molvane-contacts";

// The module, loaded on first use; nothing, with the reason, when it cannot be loaded.
const ContactsModule *LoadContactsModule(QString *reason);
