#include "Platform/AddressBook/ABPhoneBookStore.h"

#include <QEventLoop>
#include <QPointer>
#include <QTimer>

namespace {
// A first connection starts the daemons: a few tenths of a second, seconds on a busy phone.
constexpr int readyWaitMs = 20000;
constexpr int writeWaitMs = 30000;

QString notAvailable(const QString &reason)
{
    return QStringLiteral("The phone's address book is not available: %1").arg(reason);
}
// The daemon finds the card to change by its UID, which a card just added here does not carry
// until the daemon's own copy comes back.
QList<VCardProperty> withUID(QList<VCardProperty> card, const QString &uid)
{
    card.removeIf(
        [](const VCardProperty &property) { return property.name == QLatin1String("UID"); });
    VCardProperty property;
    property.name = QStringLiteral("UID");
    property.values = {uid};
    card.prepend(property);
    return card;
}
} // namespace

std::unique_ptr<ABPhoneBookStore> ABPhoneBookStore::open(ABErrorOut error)
{
    QString reason;
    const ContactsModule *module = LoadContactsModule(&reason);
    if (!module) {
        ABFail(error, ABError::Code::StoreUnavailable, notAvailable(reason));
        return nullptr;
    }
    return std::unique_ptr<ABPhoneBookStore>(new ABPhoneBookStore(*module));
}

ABPhoneBookStore::ABPhoneBookStore(const ContactsModule &module)
    : connection(module.connectPhoneBook(this))
{
}

ABPhoneBookStore::~ABPhoneBookStore()
{
    connection.reset();
}

// Callers that need the contents at once (the command line, the address-book layer) wait for
// them with the event loop running: the daemons are only ever asked asynchronously here.
bool ABPhoneBookStore::waitUntilReady(ABErrorOut error)
{
    if (!ready && !lostBecause) {
        QEventLoop loop;
        QTimer::singleShot(readyWaitMs, &loop, &QEventLoop::quit);
        connect(this, &ABStore::changed, &loop, [this, &loop] {
            if (ready || lostBecause)
                loop.quit();
        });
        loop.exec();
    }
    if (ready)
        return true;
    return ABFail(error, ABError::Code::StoreUnavailable,
                  notAvailable(lostBecause.value_or(QStringLiteral("it does not answer"))));
}

std::optional<QStringList> ABPhoneBookStore::writeCards(const CardWrites &writes, ABErrorOut error)
{
    QList<QByteArray> added;
    QList<QByteArray> changed;
    for (const QList<VCardProperty> &card : writes.added)
        added.append(VCardWrite(card, VCardVersion::V30));
    for (const auto &[uid, card] : writes.changed)
        changed.append(VCardWrite(withUID(card, uid), VCardVersion::V30));
    // The answer may come after the wait has given up: it then lands in a state of its own.
    const auto outcome = std::make_shared<std::optional<std::pair<QStringList, QString>>>();
    QEventLoop loop;
    QTimer::singleShot(writeWaitMs, &loop, &QEventLoop::quit);
    connection->write(added, changed, writes.removed,
                      [outcome, waiting = QPointer<QEventLoop>(&loop)](const QStringList &uids,
                                                                       const QString &failure) {
                          *outcome = {uids, failure};
                          if (waiting)
                              waiting->quit();
                      });
    if (!*outcome)
        loop.exec();
    if (!*outcome || !(*outcome)->second.isEmpty()) {
        ABFail(error, ABError::Code::SaveFailed,
               QStringLiteral("The address book could not be saved: %1")
                   .arg(*outcome ? (*outcome)->second
                                 : QStringLiteral("the phone's address book did not answer")));
        return std::nullopt;
    }
    return (*outcome)->first;
}

void ABPhoneBookStore::phoneBookOpened(const QString &bookName)
{
    name = bookName;
}

void ABPhoneBookStore::phoneBookCardsChanged(const QList<PhoneBookCard> &addedOrChanged)
{
    QList<std::pair<QString, VCard>> cards;
    cards.reserve(addedOrChanged.size());
    for (const PhoneBookCard &card : addedOrChanged)
        cards.append({card.uid, card.card});
    takeCards(cards);
}

void ABPhoneBookStore::phoneBookCardsRemoved(const QStringList &uids)
{
    dropCards(uids);
}

void ABPhoneBookStore::phoneBookComplete()
{
    if (std::exchange(ready, true) && !lostBecause)
        return;
    lostBecause.reset();
    Q_EMIT changed();
}

void ABPhoneBookStore::phoneBookLost(const QString &reason)
{
    ready = false;
    lostBecause = reason;
    dropAllCards();
}
