// Any bytes as a .vcf file given to the import: it adds every person it reports, or nothing
// with a reason; what it added exports to a file that reads back card for card.
#include "FuzzInput.h"
#include "Platform/AddressBook/ABAddressBook.h"
#include "Platform/AddressBook/VCardFile.h"
#include "Platform/AddressBook/VCardImport.h"

#include <QCoreApplication>
#include <QFile>

namespace {
// Empties the store so each run starts from nothing and the store stays small.
void removeEverything()
{
    const ABAddressBookRef book = ABAddressBookCreate();
    for (const ABRecordRef &record : ABAddressBookCopyArrayOfAllPeople(book))
        ABAddressBookRemoveRecord(book, record, nullptr);
    for (const ABRecordRef &record : ABAddressBookCopyArrayOfAllGroups(book))
        ABAddressBookRemoveRecord(book, record, nullptr);
    if (!ABAddressBookSave(book, nullptr))
        __builtin_trap();
}
} // namespace

extern "C" int LLVMFuzzerInitialize(int *argc, char ***argv)
{
    static QCoreApplication application(*argc, *argv);
    QCoreApplication::setApplicationName(QStringLiteral("molvane"));
    qputenv("XDG_DATA_HOME", QFile::encodeName(scratchDirectory().path()));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<QString> input = writeFuzzInput(QStringLiteral("input.vcf"), data, size);
    if (!input)
        return 0;
    VCardImportReport report;
    std::optional<ABError> error;
    if (!ABAddressBookImportVCardFiles({*input}, &report, &error)) {
        if (!error || error->localizedDescription().isEmpty())
            __builtin_trap();
        return 0;
    }
    if (ABAddressBookGetPersonCount(ABAddressBookCreate()) != report.personsAdded)
        __builtin_trap();
    if (report.personsAdded > 0) {
        const QString exported = scratchDirectory().filePath(QStringLiteral("export.vcf"));
        const std::optional<int> cards = ABAddressBookExportVCardFile(exported, nullptr);
        QString reason;
        const std::optional<VCardFileContents> readBack = VCardReadFile(exported, &reason);
        if (cards != report.personsAdded || !readBack ||
            readBack->cards.size() != report.personsAdded)
            __builtin_trap();
    }
    removeEverything();
    return 0;
}
