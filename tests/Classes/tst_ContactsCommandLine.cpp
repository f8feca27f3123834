#include "ABContactsHelper.h"
#include "MolvaneCommandLine.h"
#include "Platform/AddressBook/ABSQLiteStore.h"
#include "support/TestMain.h"

#include <QFile>
#include <QTemporaryDir>

namespace {
struct Run
{
    int status;
    QString out;
    QString err;
};

Run molvane(const QStringList &arguments)
{
    Run run{0, {}, {}};
    QTextStream out(&run.out);
    QTextStream err(&run.err);
    run.status = MolvaneCommandLine::execute(QStringList{"molvane"} + arguments, out, err);
    return run;
}

QString sample(const QString &name)
{
    return QFINDTESTDATA("../support/vcards/" + name);
}

ABContactRef onlyMatch(const QString &name)
{
    const QList<ABContactRef> found = ABContactsHelper::contactsMatchingName(name);
    return found.size() == 1 ? found.front() : nullptr;
}

QString writeFile(const QTemporaryDir &directory, const QString &name, const QByteArray &bytes)
{
    QFile file(directory.filePath(name));
    file.open(QIODevice::WriteOnly);
    file.write(bytes);
    return file.fileName();
}
} // namespace

class ContactsCommandLineTest : public QObject
{
    Q_OBJECT

    QTemporaryDir scratch;

private Q_SLOTS:
    void cleanup()
    {
        ABStore::closeShared();
        QFile::remove(ABSQLiteStore::defaultPath());
    }

    void helpVersionAndUnknownOptions()
    {
        const Run help = molvane({"--help"});
        QCOMPARE(help.status, 0);
        QVERIFY(help.out.contains("--import-contacts"));
        QVERIFY(help.out.contains("--export-contacts"));
        QVERIFY(help.out.contains("--version"));
        QCOMPARE(molvane({"--version"}).out, QString("molvane %1\n").arg(MOLVANE_VERSION));
        const Run unknown = molvane({"--frobnicate"});
        QCOMPARE(unknown.status, 2);
        QVERIFY(unknown.err.contains("frobnicate"));
        QCOMPARE(molvane({"stray.vcf"}).status, 2);
        QCOMPARE(molvane({"--import-contacts", "a.vcf", "--export-contacts", "b.vcf"}).status, 2);
    }

    void cyrillicQuotedPrintable21()
    {
        const Run run = molvane({"--import-contacts", sample("cyrillic-2.1.vcf")});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains("Imported 2 contacts"), qPrintable(run.out));
        QVERIFY2(run.out.contains("X-IRMC-LUID (not kept by the address book)"),
                 qPrintable(run.out));
        const ABContactRef ivan = onlyMatch("елкин");
        QVERIFY(ivan);
        QCOMPARE(ivan->firstname(), QString("Иван"));
        QCOMPARE(ivan->lastname(), QString("Ёлкин"));
        QCOMPARE(ivan->middlename(), QString("Петрович"));
        QCOMPARE(ivan->note(), QString("Позвонить после 18:00, спросить про дачу"));
        QCOMPARE(ivan->phoneArray(), (QStringList{"+7 916 123-45-67", "8 (495) 111-22-33"}));
        QCOMPARE(ivan->phoneLabels(), (QStringList{"mobile", "home"}));
        QCOMPARE(onlyMatch("алена")->phoneLabels(), QStringList{"work"});
        const QList<ABGroupRef> friends = ABContactsHelper::groupsMatchingName("друзья");
        QCOMPARE(friends.size(), 1);
        QCOMPARE(friends.front()->members().size(), 2);
    }

    void androidExport30WithPhoto()
    {
        QCOMPARE(molvane({"--import-contacts", sample("android-3.0.vcf")}).status, 0);
        const ABContactRef sergey = onlyMatch("sergey");
        QVERIFY(sergey);
        QCOMPARE(sergey->contactName(), QString("Dr. Sergey \"Serge\" Petrov Example Ltd"));
        QCOMPARE(sergey->phonenumbers(),
                 QString("+7 903 555-01-02 +7 495 555-01-03 +7 495 555-01-04 +7 495 555-01-05"));
        QCOMPARE(sergey->phoneLabels(), (QStringList{"mobile", "work", "home", "work fax"}));
        QCOMPARE(sergey->emailDictionaries(),
                 (QList<QVariantMap>{{{"value", "sergey@example.org"}, {"label", "home"}}}));
        const QVariantMap address = sergey->addressArray()->front();
        QCOMPARE(address.value(kABPersonAddressStreetKey), QVariant("Lenina 5, kv. 7"));
        QCOMPARE(address.value(kABPersonAddressCityKey), QVariant("Kazan"));
        QCOMPARE(address.value(kABPersonAddressZIPKey), QVariant("420000"));
        QCOMPARE(sergey->department(), QString("Research"));
        QCOMPARE(sergey->jobtitle(), QString("Chemist"));
        QCOMPARE(sergey->birthday()->date(), QDate(1984, 2, 29));
        QCOMPARE(sergey->urls(), QString("https://example.org/~sergey"));
        QCOMPARE(sergey->image()->size(), QSize(3, 2));
        QCOMPARE(ABContactsHelper::contactsWithImageCount(), 1);
    }

    void version40()
    {
        const Run run = molvane({"--import-contacts", sample("contacts-4.0.vcf")});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains("card 2 (Book club): skipped: the card describes a group"),
                 qPrintable(run.out));
        QVERIFY(run.out.contains("BDAY: \"--0517\" is not a date with a year"));
        QVERIFY(run.out.contains("GEO (not kept by the address book)"));
        const ABContactRef maria = onlyMatch("jose");
        QVERIFY(maria);
        QCOMPARE(maria->phoneArray(), QStringList{"+34-600-123-456"});
        QCOMPARE(maria->phoneLabels(), QStringList{"mobile"});
        QCOMPARE(maria->nickname(), QString("Majo"));
        QCOMPARE(maria->smsArray()->front().value(kABPersonInstantMessageServiceKey),
                 QVariant(kABPersonInstantMessageServiceJabber));
        QCOMPARE(maria->relatedNameDictionaries(),
                 (QList<QVariantMap>{{{"value", "Juan"}, {"label", "spouse"}}}));
        QCOMPARE(maria->dateLabels(), QStringList{"anniversary"});
        QCOMPARE(maria->birthday(), std::nullopt);
        QCOMPARE(maria->image()->size(), QSize(2, 2));
        QCOMPARE(ABContactsHelper::numberOfGroups(), 2);
        QCOMPARE(ABContactsHelper::contactsCount(), 1);
    }

    void categoriesJoinExistingGroups()
    {
        ABGroupRef work = ABGroup::group();
        work->setName(QString("Work"));
        QVERIFY(ABContactsHelper::addGroup(*work, nullptr));
        const Run run =
            molvane({"--import-contacts", sample("contacts-4.0.vcf"), sample("cyrillic-2.1.vcf")});
        QVERIFY2(run.out.contains("Imported 3 contacts from 2 files; 2 new groups, 1 existing"),
                 qPrintable(run.out));
        QCOMPARE(ABContactsHelper::numberOfGroups(), 3);
        QCOMPARE(ABGroup::groupWithRecordID(work->recordID())->members().size(), 1);
    }

    void unreadableFileImportsNothing()
    {
        const QString binary =
            writeFile(scratch, "binary.vcf", QByteArray("BEGIN:VCARD\0\1\2", 14));
        const QString empty = writeFile(scratch, "empty.vcf", "just some text\n");
        for (const QString &bad :
             {binary, empty, scratch.filePath("missing.vcf"), QString("/dev/zero")}) {
            const Run run = molvane({"--import-contacts", sample("cyrillic-2.1.vcf"), bad});
            QCOMPARE(run.status, 1);
            QVERIFY2(run.err.contains(bad) && run.err.contains("Nothing was imported"),
                     qPrintable(run.err));
            QCOMPARE(ABContactsHelper::contactsCount(), 0);
        }
    }

    void truncatedCardIsReportedAndTheRestImported()
    {
        QFile whole(sample("cyrillic-2.1.vcf"));
        whole.open(QIODevice::ReadOnly);
        QByteArray text = whole.readAll();
        text.chop(text.size() - text.lastIndexOf("TEL;WORK"));
        const Run run = molvane({"--import-contacts", writeFile(scratch, "cut.vcf", text)});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains("has no END:VCARD"), qPrintable(run.out));
        QCOMPARE(ABContactsHelper::contactsCount(), 1);
    }

    void parserComplaintsAreReportedNotPrinted()
    {
        const QString odd = writeFile(scratch, "odd.vcf",
                                      "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Odd;Card;;;\r\n"
                                      "THIS LINE HAS NO COLON\r\nTEL:123\r\nEND:VCARD\r\n");
        const Run run = molvane({"--import-contacts", odd});
        QCOMPARE(run.status, 0);
        QVERIFY2(run.out.contains("odd.vcf, card 1 (Card Odd): parser: "), qPrintable(run.out));
        QCOMPARE(onlyMatch("odd")->phoneArray(), QStringList{"123"});
    }

    void exportWritesVersion40ThatReadsBack()
    {
        molvane({"--import-contacts", sample("android-3.0.vcf"), sample("cyrillic-2.1.vcf")});
        const QString exported = scratch.filePath("export.vcf");
        const Run run = molvane({"--export-contacts", exported});
        QCOMPARE(run.status, 0);
        QCOMPARE(run.out, QString("Exported 3 contacts to %1.\n").arg(exported));
        QFile file(exported);
        QVERIFY(file.open(QIODevice::ReadOnly));
        const QByteArray text = file.readAll();
        QCOMPARE(text.count("VERSION:4.0\r\n"), 3);
        QVERIFY(text.contains("PHOTO:data:image/jpeg;base64,"));
        for (const ABContactRef &contact : ABContactsHelper::contacts())
            QVERIFY(contact->removeSelfFromAddressBook(nullptr));

        QCOMPARE(molvane({"--import-contacts", exported}).status, 0);
        const ABContactRef sergey = onlyMatch("sergey");
        QCOMPARE(sergey->contactName(), QString("Dr. Sergey \"Serge\" Petrov Example Ltd"));
        QCOMPARE(sergey->phoneLabels(), (QStringList{"mobile", "work", "home", "work fax"}));
        QCOMPARE(sergey->addressArray()->front().value(kABPersonAddressStreetKey),
                 QVariant("Lenina 5, kv. 7"));
        QCOMPARE(sergey->image()->size(), QSize(3, 2));
        QCOMPARE(onlyMatch("ёлкин")->note(), QString("Позвонить после 18:00, спросить про дачу"));
        QCOMPARE(ABContactsHelper::groupsMatchingName("Друзья").front()->members().size(), 2);
    }

    void failedExportKeepsTheOldFile()
    {
        const Run run =
            molvane({"--export-contacts", scratch.filePath("no/such/directory/out.vcf")});
        QCOMPARE(run.status, 1);
        QVERIFY(run.err.contains("cannot be written"));
    }
};

MOLVANE_TEST_MAIN(ContactsCommandLineTest)
#include "tst_ContactsCommandLine.moc"
