#include "Platform/AddressBook/ABAddressBook.h"
#include "Platform/AddressBook/VCardFile.h"
#include "Platform/AddressBook/VCardImport.h"
#include "Platform/AddressBook/VCardMapping.h"

#include <QHash>
#include <QSaveFile>

namespace {
QHash<ABRecordID, QStringList> categoriesByPerson(const ABAddressBookRef &book)
{
    QHash<ABRecordID, QStringList> categories;
    for (const ABRecordRef &group : ABAddressBookCopyArrayOfAllGroups(book)) {
        const QString name = ABRecordCopyCompositeName(group).value_or(QString());
        for (const ABRecordID personID : group->content().members)
            categories[personID].append(name);
    }
    return categories;
}
} // namespace

std::optional<int> ABAddressBookExportVCardFile(const QString &path, ABErrorOut error)
{
    const ABAddressBookRef book = ABAddressBookCreateWithOptions(error);
    if (!book)
        return std::nullopt;
    const QHash<ABRecordID, QStringList> categories = categoriesByPerson(book);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        ABFail(error, ABError::Code::FileNotWritten,
               QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    const QList<ABRecordRef> people = ABAddressBookCopyArrayOfAllPeople(book);
    for (const ABRecordRef &person : people)
        file.write(VCardWrite(
            VCardPropertiesOfPerson(person, categories.value(ABRecordGetRecordID(person)))));
    if (!file.commit()) {
        ABFail(error, ABError::Code::FileNotWritten,
               QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    return int(people.size());
}
