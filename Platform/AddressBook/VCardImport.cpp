#include "Platform/AddressBook/VCardImport.h"

#include "Platform/AddressBook/ABAddressBook.h"
#include "Platform/AddressBook/VCardFile.h"
#include "Platform/AddressBook/VCardMapping.h"

#include <QFileInfo>
#include <QHash>
#include <QSet>

namespace {
// Groups by name: those of the address book first, new ones as they are needed.
class GroupsByName
{
public:
    explicit GroupsByName(const ABAddressBookRef &book) : book(book)
    {
        for (const ABRecordRef &group : ABAddressBookCopyArrayOfAllGroups(book)) {
            const QString name = ABRecordCopyCompositeName(group).value_or(QString());
            if (!groups.contains(name))
                groups.insert(name, group);
        }
    }

    ABRecordRef group(const QString &name)
    {
        if (ABRecordRef existing = groups.value(name)) {
            if (ABRecordGetRecordID(existing) != kABRecordInvalidID)
                joined.insert(name);
            return existing;
        }
        ABRecordRef created = ABGroupCreate();
        ABRecordSetValue(created, kABGroupNameProperty, ABPropertyValue(name), nullptr);
        ABAddressBookAddRecord(book, created, nullptr);
        groups.insert(name, created);
        ++added;
        return created;
    }

    int added = 0;
    QSet<QString> joined;

private:
    ABAddressBookRef book;
    QHash<QString, ABRecordRef> groups;
};

QString cardTitle(const QString &file, const VCard &card, const ABRecordRef &person)
{
    const std::optional<QString> name = ABRecordCopyCompositeName(person);
    return QStringLiteral("%1, card %2%3")
        .arg(file)
        .arg(card.number)
        .arg(name ? QStringLiteral(" (%1)").arg(*name) : QString());
}

void importCard(const QString &file, const VCard &card, const ABAddressBookRef &book,
                GroupsByName &groups, VCardImportReport &report)
{
    const VCardPerson reader = VCardReadPerson(card);
    const QString title = cardTitle(file, card, reader.person);
    if (reader.refusal || !reader.hasContent()) {
        report.skipped.append(QStringLiteral("%1: skipped: %2")
                                  .arg(title, reader.refusal.value_or(QStringLiteral(
                                                  "nothing in it that the address book keeps"))));
        return;
    }
    ABAddressBookAddRecord(book, reader.person, nullptr);
    for (const QString &category : std::as_const(reader.categories))
        ABGroupAddMember(groups.group(category), reader.person, nullptr);
    ++report.personsAdded;
    report.imported.append(title);
    QStringList left = reader.problems;
    if (!reader.notKept.isEmpty())
        left.append(QStringLiteral("%1 (not kept by the address book)")
                        .arg(reader.notKept.join(QStringLiteral(", "))));
    for (const QString &warning : card.parserWarnings)
        left.append(QStringLiteral("parser: %1").arg(warning));
    if (!left.isEmpty())
        report.skipped.append(QStringLiteral("%1: %2").arg(title, left.join(QStringLiteral("; "))));
}
} // namespace

bool ABAddressBookImportVCardFiles(const QStringList &paths, VCardImportReport *report,
                                   ABErrorOut error)
{
    QList<std::pair<QString, VCardFileContents>> files;
    for (const QString &path : paths) {
        QString reason;
        std::optional<VCardFileContents> contents = VCardReadFile(path, &reason);
        if (!contents)
            return ABFail(error, ABError::Code::FileUnreadable,
                          QStringLiteral("%1 cannot be read: %2").arg(path, reason));
        files.append({QFileInfo(path).fileName(), std::move(*contents)});
    }
    const ABAddressBookRef book = ABAddressBookCreateWithOptions(error);
    if (!book)
        return false;
    VCardImportReport done;
    GroupsByName groups(book);
    for (const auto &[file, contents] : files) {
        for (const VCard &card : contents.cards)
            importCard(file, card, book, groups, done);
        for (const QString &reason : contents.unreadable)
            done.skipped.append(QStringLiteral("%1: skipped: %2").arg(file, reason));
    }
    if (!ABAddressBookSave(book, error))
        return false;
    done.groupsAdded = groups.added;
    done.groupsJoined = int(groups.joined.size());
    if (report)
        *report = done;
    return true;
}
