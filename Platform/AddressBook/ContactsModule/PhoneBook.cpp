#include "Platform/AddressBook/ContactsModule/PhoneBook.h"

#include "Platform/AddressBook/ContactsModule/EdsHeaders.h"
#include "Platform/AddressBook/ContactsModule/VCardParser.h"

#include <QTimer>
#include <algorithm>

namespace {
// Every card: the view takes no fields of interest, so changes arrive whole.
constexpr char everyone[] = "(contains \"x-evolution-any-field\" \"\")";
constexpr int firstRetryMs = 1000;
constexpr int longestRetryMs = 30000;
constexpr guint listingPart = 1000;

QString messageOf(GError *error)
{
    const QString message = QString::fromUtf8(error ? error->message : "unknown error");
    g_clear_error(&error);
    return message;
}

// The contacts from the first up to the end (or the whole list).
QList<PhoneBookCard> cardsOf(const GSList *contacts, const GSList *end = nullptr)
{
    QList<PhoneBookCard> cards;
    for (const GSList *item = contacts; item != end; item = item->next) {
        auto *contact = static_cast<EContact *>(item->data);
        const auto *uid = static_cast<const char *>(e_contact_get_const(contact, E_CONTACT_UID));
        cards.append({QString::fromUtf8(uid ? uid : ""),
                      VCard{int(cards.size()) + 1, 0, VCardPropertiesOf(E_VCARD(contact)), {}}});
    }
    return cards;
}

GSList *contactsOf(const QList<QByteArray> &texts)
{
    GSList *contacts = nullptr;
    for (const QByteArray &text : texts)
        contacts = g_slist_prepend(contacts, e_contact_new_from_vcard(text.constData()));
    return g_slist_reverse(contacts);
}
} // namespace

// Lives on the connection's thread; posts what it learns to the listener's.
class PhoneBookWorker : public QObject
{
public:
    PhoneBookWorker(PhoneBookListener *listener, QObject *home)
        : listener(listener), home(home), retry(new QTimer(this)) // a child moves with it
    {
        retry->setSingleShot(true);
        connect(retry, &QTimer::timeout, this, &PhoneBookWorker::open);
    }

    ~PhoneBookWorker() override { close(); }

    void shutDown()
    {
        retry->stop();
        close();
    }

    void open()
    {
        GError *error = nullptr;
        registry = e_source_registry_new_sync(nullptr, &error);
        if (!registry)
            return lose(messageOf(error));
        ESource *source = e_source_registry_ref_default_address_book(registry);
        if (!source)
            return lose(QStringLiteral("it has no address book"));
        const QString name = QString::fromUtf8(e_source_get_display_name(source));
        // Not waiting for "connected": that wait sleeps its whole length on this thread.
        client = E_BOOK_CLIENT(e_book_client_connect_sync(source, guint32(-1), nullptr, &error));
        g_object_unref(source);
        if (!client)
            return lose(messageOf(error));
        g_signal_connect(client, "backend-died", G_CALLBACK(&PhoneBookWorker::backendDied), this);
        if (!e_book_client_get_view_sync(client, everyone, &view, nullptr, &error))
            return lose(messageOf(error));
        // Everyone in one answer, then only the changes: a view's own first listing comes
        // sixteen cards to a signal. Changes made meanwhile arrive after the listing.
        e_book_client_view_set_flags(view, E_BOOK_CLIENT_VIEW_FLAGS_NONE, nullptr);
        g_signal_connect(view, "objects-added", G_CALLBACK(&PhoneBookWorker::cardsChanged), this);
        g_signal_connect(view, "objects-modified", G_CALLBACK(&PhoneBookWorker::cardsChanged),
                         this);
        g_signal_connect(view, "objects-removed", G_CALLBACK(&PhoneBookWorker::cardsRemoved), this);
        tell([name](PhoneBookListener *listener) { listener->phoneBookOpened(name); });
        e_book_client_view_start(view, &error);
        GSList *contacts = nullptr;
        if (!error)
            e_book_client_get_contacts_sync(client, everyone, &contacts, nullptr, &error);
        if (error)
            return lose(messageOf(error));
        // In parts, so that the listener takes up one while the next is read here.
        for (GSList *part = contacts; part;) {
            GSList *next = g_slist_nth(part, listingPart);
            tell([cards = cardsOf(part, next)](PhoneBookListener *listener) {
                listener->phoneBookCardsChanged(cards);
            });
            part = next;
        }
        tell([](PhoneBookListener *listener) { listener->phoneBookComplete(); });
        g_slist_free_full(contacts, g_object_unref);
        retryMs = firstRetryMs;
    }

    void write(const QList<QByteArray> &added, const QList<QByteArray> &changed,
               const QStringList &removed, const PhoneBookConnection::Done &done)
    {
        QStringList uids;
        const QString failure = writeNow(added, changed, removed, uids);
        QMetaObject::invokeMethod(
            home, [done, uids, failure] { done(uids, failure); }, Qt::QueuedConnection);
    }

private:
    QString writeNow(const QList<QByteArray> &added, const QList<QByteArray> &changed,
                     const QStringList &removed, QStringList &addedUIDs)
    {
        if (!client)
            return QStringLiteral("the phone's address book is not available");
        GError *error = nullptr;
        if (!added.isEmpty()) {
            GSList *contacts = contactsOf(added);
            GSList *uids = nullptr;
            e_book_client_add_contacts_sync(client, contacts, E_BOOK_OPERATION_FLAG_NONE, &uids,
                                            nullptr, &error);
            g_slist_free_full(contacts, g_object_unref);
            for (GSList *uid = uids; uid; uid = uid->next)
                addedUIDs.append(QString::fromUtf8(static_cast<const char *>(uid->data)));
            g_slist_free_full(uids, g_free);
            if (error)
                return messageOf(error);
        }
        if (!changed.isEmpty()) {
            GSList *contacts = contactsOf(changed);
            e_book_client_modify_contacts_sync(client, contacts, E_BOOK_OPERATION_FLAG_NONE,
                                               nullptr, &error);
            g_slist_free_full(contacts, g_object_unref);
            if (error)
                return messageOf(error);
        }
        if (!removed.isEmpty()) {
            std::vector<QByteArray> utf8;
            GSList *uids = nullptr;
            for (const QString &uid : removed)
                utf8.push_back(uid.toUtf8());
            for (const QByteArray &uid : utf8)
                uids = g_slist_prepend(uids, const_cast<char *>(uid.constData()));
            e_book_client_remove_contacts_sync(client, uids, E_BOOK_OPERATION_FLAG_NONE, nullptr,
                                               &error);
            g_slist_free(uids);
            if (error)
                return messageOf(error);
        }
        return {};
    }

    template <typename Call> void tell(Call call)
    {
        PhoneBookListener *to = listener;
        QMetaObject::invokeMethod(
            home, [to, call] { call(to); }, Qt::QueuedConnection);
    }

    void lose(const QString &reason)
    {
        close();
        tell([reason](PhoneBookListener *listener) { listener->phoneBookLost(reason); });
        retry->start(retryMs);
        retryMs = std::min(retryMs * 2, longestRetryMs);
    }

    void close()
    {
        if (view) {
            g_signal_handlers_disconnect_by_data(view, this);
            GError *ignored = nullptr;
            e_book_client_view_stop(view, &ignored);
            g_clear_error(&ignored);
        }
        if (client)
            g_signal_handlers_disconnect_by_data(client, this);
        g_clear_object(&view);
        g_clear_object(&client);
        g_clear_object(&registry);
    }

    static void cardsChanged(EBookClientView *, const GSList *contacts, PhoneBookWorker *self)
    {
        self->tell([cards = cardsOf(contacts)](PhoneBookListener *listener) {
            listener->phoneBookCardsChanged(cards);
        });
    }

    static void cardsRemoved(EBookClientView *, const GSList *ids, PhoneBookWorker *self)
    {
        QStringList uids;
        for (const GSList *id = ids; id; id = id->next)
            uids.append(QString::fromUtf8(static_cast<const char *>(id->data)));
        self->tell([uids](PhoneBookListener *listener) { listener->phoneBookCardsRemoved(uids); });
    }

    static void backendDied(EClient *, PhoneBookWorker *self)
    {
        self->lose(QStringLiteral("the address book's daemon stopped"));
    }

    PhoneBookListener *listener;
    QObject *home;
    QTimer *retry;
    int retryMs = firstRetryMs;
    ESourceRegistry *registry = nullptr;
    EBookClient *client = nullptr;
    EBookClientView *view = nullptr;
};

EdsPhoneBook::EdsPhoneBook(PhoneBookListener *listener)
    : worker(new PhoneBookWorker(listener, &home))
{
    thread.setObjectName(QStringLiteral("phone book"));
    worker->moveToThread(&thread);
    thread.start();
    QMetaObject::invokeMethod(worker, &PhoneBookWorker::open, Qt::QueuedConnection);
}

EdsPhoneBook::~EdsPhoneBook()
{
    // The daemons' objects go on the worker's own thread; after that it tells nothing more.
    QMetaObject::invokeMethod(worker, &PhoneBookWorker::shutDown, Qt::BlockingQueuedConnection);
    thread.quit();
    thread.wait();
    delete worker;
}

void EdsPhoneBook::write(const QList<QByteArray> &added, const QList<QByteArray> &changed,
                         const QStringList &removed, Done done)
{
    QMetaObject::invokeMethod(
        worker, [=, this] { worker->write(added, changed, removed, done); }, Qt::QueuedConnection);
}
