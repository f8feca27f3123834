#pragma once

#include "Platform/AddressBook/ContactsModule.h"

#include <QObject>
#include <QThread>

class PhoneBookWorker;

// The default address book of evolution-data-server, followed through a live view. Every call
// to the daemons is made on a thread of its own, so none can hold up the window.
class EdsPhoneBook final : public PhoneBookConnection
{
public:
    explicit EdsPhoneBook(PhoneBookListener *listener);
    ~EdsPhoneBook() override;

    void write(const QList<QByteArray> &added, const QList<QByteArray> &changed,
               const QStringList &removed, Done done) override;

private:
    QObject home; // on the connecting thread: where the listener hears from the worker
    QThread thread;
    PhoneBookWorker *worker;
};
