// A process importing vCard files is killed at random moments; the address book it leaves
// must always open and hold every import that had finished, each one whole or not at all.
#include "Platform/AddressBook/ABAddressBook.h"
#include "Platform/AddressBook/VCardImport.h"
#include "support/KilledChild.h"

#include <QHash>
#include <QSet>

namespace {
constexpr int kills = 200;
constexpr int cardsPerFile = 3;
const char *const childFlag = "--import-until-killed";

// A file of three persons named after the import: "1000-00007 a" ...
QString writeVCardFile(const QString &directory, const QString &import)
{
    QByteArray cards;
    for (int card = 0; card < cardsPerFile; ++card) {
        const QByteArray name = import.toUtf8() + ' ' + char('a' + card);
        cards += "BEGIN:VCARD\r\nVERSION:3.0\r\nN:" + name + ";;;;\r\nFN:" + name +
                 "\r\nTEL;TYPE=CELL:+7 916 " + import.right(5).toUtf8() +
                 "\r\nCATEGORIES:Crash\r\nEND:VCARD\r\n";
    }
    const QString path = directory + QStringLiteral("/%1.vcf").arg(import);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(cards) != cards.size())
        qFatal("cannot write %s", qPrintable(path));
    return path;
}

// The child: imports a file of its own at a time until it is killed.
int importUntilKilled(int argc, char *argv[], const QString &generation)
{
    QCoreApplication application(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("molvane"));
    // In the parent's private directories, which go when the parent does.
    const QString files = QFile::decodeName(qgetenv("XDG_RUNTIME_DIR"));
    KilledChild::reportReady();
    for (int count = 0;; ++count) {
        const QString import =
            QStringLiteral("%1-%2").arg(generation).arg(count, 5, 10, QLatin1Char('0'));
        const QString file = writeVCardFile(files, import);
        std::optional<ABError> error;
        if (!ABAddressBookImportVCardFiles({file}, nullptr, &error))
            qFatal("import failed: %s", qPrintable(error->localizedDescription()));
        QFile::remove(file);
        KilledChild::reportDone(import);
    }
}

// How many persons of each import the address book holds.
std::optional<QHash<QString, int>> storedPersonsByImport()
{
    std::optional<ABError> error;
    const ABAddressBookRef book = ABAddressBookCreateWithOptions(&error);
    if (!book) {
        qWarning() << error->localizedDescription();
        return std::nullopt;
    }
    QHash<QString, int> persons;
    for (const ABRecordRef &person : ABAddressBookCopyArrayOfAllPeople(book))
        ++persons[ABRecordCopyCompositeName(person).value_or(QString()).section(' ', 0, 0)];
    return persons;
}
} // namespace

class AddressBookCrashSafetyTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void everyFinishedImportSurvivesAKill()
    {
        QSet<QString> finished;
        for (int generation = 0; generation < kills; ++generation) {
            const std::optional<QStringList> imports =
                KilledChild::runUntilKilled({childFlag, QString::number(1000 + generation)});
            QVERIFY2(imports, "the child never got ready, or would not die");
            finished.unite(QSet<QString>(imports->begin(), imports->end()));

            const std::optional<QHash<QString, int>> stored = storedPersonsByImport();
            QVERIFY2(
                stored,
                qPrintable(QString("the address book did not open after kill %1").arg(generation)));
            for (const QString &import : std::as_const(finished))
                QVERIFY2(stored->value(import) == cardsPerFile, qPrintable(import + " was lost"));
            for (auto import = stored->begin(); import != stored->end(); ++import)
                QVERIFY2(import.value() == cardsPerFile,
                         qPrintable(import.key() + " was stored in part"));
        }
        qInfo() << finished.size() << "finished imports survived" << kills << "kills";
    }
};

int main(int argc, char *argv[])
{
    return KilledChild::testMain<AddressBookCrashSafetyTest>(argc, argv, childFlag,
                                                             importUntilKilled);
}

#include "tst_AddressBookCrashSafety.moc"
