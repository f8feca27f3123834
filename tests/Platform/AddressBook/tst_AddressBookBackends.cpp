#include "ABContactsHelper.h"
#include "Platform/AddressBook/ABOwnFileCopy.h"
#include "Platform/AddressBook/ABSQLiteStore.h"
#include "Platform/AddressBook/ABVCardFolderStore.h"
#include "Platform/AddressBook/VCardImport.h"
#include "support/EdsDaemons.h"
#include "support/Pictures.h"
#include "support/TestMain.h"

#include <QDir>
#include <QImage>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QSaveFile>
#include <QSignalSpy>

// One table of scenarios against each place the address book can live: Molvane's own file, the
// Plasma vCard folder and the real evolution-data-server daemons.
namespace {
const QString sourceDir = qEnvironmentVariable("MOLVANE_SOURCE_DIR");

QByteArray run(const QString &program, const QStringList &arguments, const QByteArray &input = {})
{
    QProcess process;
    process.start(program, arguments);
    process.write(input);
    process.closeWriteChannel();
    if (!process.waitForFinished(60000) || process.exitCode() != 0)
        qWarning().noquote() << program << arguments << process.readAllStandardError();
    return process.readAllStandardOutput();
}

// Another app on the phone book's bus.
QJsonArray phoneBookClient(const QStringList &arguments, const QByteArray &input = {})
{
    const QByteArray out =
        run(QStringLiteral("/usr/bin/python3"),
            QStringList{sourceDir + "/tests/support/eds_client.py"} + arguments, input);
    return QJsonDocument::fromJson(out).array();
}

QString cardText(const QString &given, const QString &family, const QString &mobile)
{
    return QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:%2;%1;;;\r\nFN:%1 %2\r\n"
                          "TEL;TYPE=CELL:%3\r\nEND:VCARD\r\n")
        .arg(given, family, mobile);
}

ABContactRef onlyMatch(const QString &name)
{
    const QList<ABContactRef> found = ABContactsHelper::contactsMatchingName(name);
    return found.size() == 1 ? found.constFirst() : nullptr;
}
} // namespace

class AddressBookBackendsTest : public QObject
{
    Q_OBJECT

    EdsDaemons eds;

    // Another app adds, changes and removes a person the way apps of that address book do.
    void addElsewhere(const QString &backend, const QString &given, const QString &mobile)
    {
        const QString card = cardText(given, QStringLiteral("Outsider"), mobile);
        if (backend == "eds") {
            const QString path = QDir::temp().filePath("molvane-outsider.vcf");
            QSaveFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(card.toUtf8());
            QVERIFY(file.commit());
            outsiderUID = phoneBookClient({"add", path}).at(0).toString();
        } else if (backend == "folder") {
            QFile file(ABVCardFolderStore::defaultPath() + "/outsider.vcf");
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(card.toUtf8());
        } else {
            const QString path = QDir::temp().filePath("molvane-outsider.vcf");
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(card.toUtf8());
            file.close();
            run(QCoreApplication::applicationDirPath() + "/../molvane-cli",
                {"--import-contacts", path});
        }
    }

    void changeElsewhere(const QString &backend, const QString &given)
    {
        if (backend == "eds") {
            phoneBookClient({"modify", outsiderUID, "given", given});
        } else if (backend == "folder") {
            // Rewritten in place, as Plasma's phone book does.
            QFile file(ABVCardFolderStore::defaultPath() + "/outsider.vcf");
            QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
            file.write(cardText(given, "Outsider", "+7 900 000-00-00").toUtf8());
        } else {
            ABContactRef outsider = onlyMatch("Outsider");
            QVERIFY(outsider);
            outsider->setFirstname(given);
            ABAddressBookRef book = ABAddressBookCreate();
            QVERIFY(ABAddressBookAddRecord(book, outsider->record(), nullptr));
            QVERIFY(ABAddressBookSave(book, nullptr));
        }
    }

    void removeElsewhere(const QString &backend)
    {
        if (backend == "eds")
            phoneBookClient({"remove", outsiderUID});
        else if (backend == "folder")
            QVERIFY(QFile::remove(ABVCardFolderStore::defaultPath() + "/outsider.vcf"));
        else
            QVERIFY(ABContactsHelper::contactsMatchingName("Outsider")
                        .constFirst()
                        ->removeSelfFromAddressBook(nullptr));
    }

    QString outsiderUID;

private Q_SLOTS:
    void initTestCase() { QVERIFY(eds.start()); }

    // Every row is named after its backend, which it starts empty.
    void init()
    {
        if (!QTest::currentDataTag())
            return;
        const QString backend = QString::fromLatin1(QTest::currentDataTag());
        ABStore::closeShared();
        qputenv("MOLVANE_ADDRESS_BOOK", backend.toUtf8());
        QFile::remove(ABSQLiteStore::defaultPath());
        QDir(ABVCardFolderStore::defaultPath()).removeRecursively();
        if (backend == "eds")
            phoneBookClient({"remove-all"});
        ABStore *store = ABStore::shared(nullptr);
        QVERIFY(store);
        QVERIFY(ABStore::shared(nullptr)->snapshot(nullptr));
    }

    void cleanup() { ABStore::closeShared(); }

    void backends_data()
    {
        QTest::addColumn<QString>("backend");
        for (const char *backend : {"sqlite", "folder", "eds"})
            QTest::newRow(backend) << QString::fromLatin1(backend);
    }

    void personWithTypedNumbersAndPhotoReadsBack_data() { backends_data(); }
    void personWithTypedNumbersAndPhotoReadsBack()
    {
        const QList<std::pair<QString, QString>> numbers{
            {"+7 916 123-45-67", kABPersonPhoneMobileLabel},
            {"8 (495) 111-22-33", kABHomeLabel},
            {"+7 812 000-00-01", kABWorkLabel},
            {"112", kABOtherLabel}};
        ABContactRef person = ABContact::contact();
        person->setFirstname("Анна");
        person->setLastname("Фёдорова");
        QList<QVariantMap> phones;
        for (const auto &[number, label] : numbers)
            phones.append(ABContact::dictionaryWithValue(number, label));
        person->setPhoneDictionaries(phones);
        const QByteArray picture = pngPicture(8, Qt::red);
        QVERIFY(ABPersonSetImageData(person->record(), picture, nullptr));
        QVERIFY(ABContactsHelper::addContact(*person, nullptr));

        ABStore::closeShared();
        const ABContactRef readBack = onlyMatch("Фёдорова");
        QVERIFY(readBack);
        QCOMPARE(readBack->firstname(), QString("Анна"));
        QStringList stored;
        for (const auto &[number, label] : numbers)
            stored << number + " " + label;
        QStringList read;
        for (const QVariantMap &phone : readBack->phoneDictionaries())
            read << phone["value"].toString() + " " + phone["label"].toString();
        QCOMPARE(read, stored);
        QCOMPARE(readBack->image().value_or(QImage()), QImage::fromData(picture));
    }

    void groupIsACategoryOfItsMembers_data() { backends_data(); }
    void groupIsACategoryOfItsMembers()
    {
        QFETCH(QString, backend);
        ABContactRef ivan = ABContact::contact();
        ivan->setFirstname("Ivan");
        QVERIFY(ABContactsHelper::addContact(*ivan, nullptr));
        ABGroupRef friends = ABGroup::group();
        friends->setName("Friends");
        QVERIFY(friends->addMember(*onlyMatch("Ivan"), nullptr));
        std::optional<ABError> error;
        QVERIFY2(ABContactsHelper::addGroup(*friends, &error),
                 qPrintable(error ? error->localizedDescription() : QString()));

        ABStore::closeShared();
        const QList<ABGroupRef> groups = ABContactsHelper::groupsMatchingName("friends");
        QCOMPARE(groups.size(), 1);
        QCOMPARE(groups.constFirst()->members().size(), 1);
        QCOMPARE(groups.constFirst()->members().constFirst()->firstname(), QString("Ivan"));
        if (backend == "eds")
            QCOMPARE(phoneBookClient({"list"}).at(0)["categories"].toArray(),
                     QJsonArray{"Friends"});

        ABGroupRef empty = ABGroup::group();
        empty->setName("Nobody");
        const bool stored = ABContactsHelper::addGroup(*empty, &error);
        QCOMPARE(stored, backend == "sqlite");
        if (!stored)
            QVERIFY2(error && error->localizedDescription().contains("no members"),
                     qPrintable(error ? error->localizedDescription() : QString()));
    }

    void searchIgnoresCaseAndAccents_data() { backends_data(); }
    void searchIgnoresCaseAndAccents()
    {
        for (const auto &[first, last] :
             {std::pair{"Ёлка", "Иванова"}, {"José", "Álvarez"}, {"Pavel", "Smirnov"}}) {
            ABContactRef person = ABContact::contact();
            person->setFirstname(first);
            person->setLastname(last);
            QVERIFY(ABContactsHelper::addContact(*person, nullptr));
        }
        QVERIFY(onlyMatch("ива"));
        QVERIFY(onlyMatch("елк"));
        QCOMPARE(onlyMatch("jose")->lastname(), QString("Álvarez"));
        QCOMPARE(ABContactsHelper::contactsMatchingName("ALVAREZ", "josé").size(), 1);
    }

    void anotherAppsChangesArriveLive_data() { backends_data(); }
    void anotherAppsChangesArriveLive()
    {
        QFETCH(QString, backend);
        QSignalSpy changed(ABStore::shared(nullptr), &ABStore::changed);
        addElsewhere(backend, "Newcomer", "+7 900 000-00-00");
        QTRY_VERIFY(changed.count() > 0);
        QTRY_VERIFY(onlyMatch("Newcomer"));
        QCOMPARE(onlyMatch("Newcomer")->phoneArray(), QStringList{"+7 900 000-00-00"});

        changed.clear();
        changeElsewhere(backend, "Renamed");
        QTRY_VERIFY(changed.count() > 0);
        QTRY_VERIFY(onlyMatch("Renamed"));

        changed.clear();
        removeElsewhere(backend);
        QTRY_VERIFY(changed.count() > 0);
        QTRY_COMPARE(ABContactsHelper::contactsCount(), 0);
    }

    void ownFileIsCopiedWithoutDuplicates_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::newRow("folder") << QString("folder");
        QTest::newRow("eds") << QString("eds");
    }
    void ownFileIsCopiedWithoutDuplicates()
    {
        QFETCH(QString, backend);
        const auto addPerson = [](const QString &first, const QString &mobile) {
            ABContactRef person = ABContact::contact();
            person->setFirstname(first);
            person->setPhoneDictionaries(
                {ABContact::dictionaryWithValue(mobile, kABPersonPhoneMobileLabel)});
            QVERIFY(ABContactsHelper::addContact(*person, nullptr));
        };
        addPerson("Twin", "+7 900 111-11-11");
        ABStore::closeShared();
        qputenv("MOLVANE_ADDRESS_BOOK", "sqlite");
        addPerson("Twin", "+7 900 111-11-11");
        addPerson("Kept", "+7 900 222-22-22");
        ABGroupRef family = ABGroup::group();
        family->setName("Family");
        QVERIFY(family->addMember(*onlyMatch("Kept"), nullptr));
        QVERIFY(ABContactsHelper::addGroup(*family, nullptr));
        ABStore::closeShared();
        qputenv("MOLVANE_ADDRESS_BOOK", backend.toUtf8());

        QCOMPARE(ABOwnFilePersonCount(), 2);
        std::optional<ABError> error;
        const std::optional<ABOwnFileCopyReport> report = ABOwnFileCopyIntoAddressBook(&error);
        QVERIFY2(report, qPrintable(error ? error->localizedDescription() : QString()));
        QCOMPARE(report->copied, 1);
        QCOMPARE(report->skipped, 1);
        QCOMPARE(ABContactsHelper::contactsCount(), 2);
        QCOMPARE(ABContactsHelper::groupsMatchingName("Family").value(0)->members().size(), 1);
        QVERIFY(QFile::exists(ABSQLiteStore::defaultPath()));
    }

    // What the session offers decides, unless the user has chosen; a value that names no
    // address book leaves the choice as usual.
    void chosenByWhatTheSessionOffers()
    {
        const auto chosenWith = [](const QByteArray &asked) {
            ABStore::closeShared();
            qputenv("MOLVANE_ADDRESS_BOOK", asked);
            return ABStore::chosenKind();
        };
        qunsetenv("XDG_CURRENT_DESKTOP");
        qunsetenv("KDE_FULL_SESSION");
        QDir().mkpath(ABVCardFolderStore::defaultPath());
        QCOMPARE(chosenWith(""), ABStoreKind::PhoneBook);
        QCOMPARE(chosenWith("nonsense"), ABStoreKind::PhoneBook);
        QCOMPARE(chosenWith("sqlite"), ABStoreKind::SQLite);

        QVERIFY(eds.stop());
        QCOMPARE(chosenWith(""), ABStoreKind::VCardFolder);
        QVERIFY(QDir(ABVCardFolderStore::defaultPath()).removeRecursively());
        QCOMPARE(chosenWith(""), ABStoreKind::SQLite);
        qputenv("XDG_CURRENT_DESKTOP", "KDE");
        QCOMPARE(chosenWith(""), ABStoreKind::VCardFolder);
        qunsetenv("XDG_CURRENT_DESKTOP");
        QCOMPARE(chosenWith("eds"), ABStoreKind::PhoneBook);
        QVERIFY(eds.start());
    }

    void phoneBookStoppedAndBack()
    {
        ABStore::closeShared();
        qputenv("MOLVANE_ADDRESS_BOOK", "eds");
        phoneBookClient({"remove-all"});
        phoneBookClient({"add-json"}, R"([{"given": "Stays", "family": "Put",
                                           "phones": [["cell", "+7 900 333-33-33"]]}])");
        ABStore *store = ABStore::shared(nullptr);
        QTRY_VERIFY(store->isReady());
        QCOMPARE(ABContactsHelper::contactsCount(), 1);

        QVERIFY(eds.stop());
        QTRY_VERIFY(store->unavailableReason());
        QVERIFY(!store->isReady());
        std::optional<ABError> error;
        QVERIFY(!ABAddressBookCreateWithOptions(&error));
        QVERIFY(error->localizedDescription().contains("not available"));

        QVERIFY(eds.start());
        QTRY_VERIFY_WITH_TIMEOUT(store->isReady(), 15000);
        QVERIFY(onlyMatch("Stays"));
    }

    void importAndExport_data() { backends_data(); }
    void importAndExport()
    {
        QFETCH(QString, backend);
        const QString vcards = sourceDir + "/tests/support/vcards/";
        const QByteArray report =
            run(QCoreApplication::applicationDirPath() + "/../molvane",
                {"--import-contacts", vcards + "cyrillic-2.1.vcf", vcards + "android-3.0.vcf"});
        QVERIFY2(report.contains("Imported 3 contacts"), report.constData());
        QTRY_VERIFY(onlyMatch("Ёлкин"));
        const ABContactRef ivan = onlyMatch("Ёлкин");
        QVERIFY(ivan);
        QCOMPARE(ivan->phoneLabels().value(0), kABPersonPhoneMobileLabel);
        if (backend == "eds") {
            // Another client of the daemons reads the mobile number as mobile.
            QStringList mobiles;
            for (const QJsonValue contact : phoneBookClient({"list"}))
                for (const QJsonValue phone : contact["phones"].toArray())
                    if (phone["types"].toArray().contains("CELL"))
                        mobiles << phone["number"].toString();
            QVERIFY2(mobiles.contains("+7 916 123-45-67"), qPrintable(mobiles.join(", ")));
            QVERIFY(mobiles.contains("+7 903 555-01-02"));
        }
        const QString exported = QDir::temp().filePath("molvane-backends-export.vcf");
        std::optional<ABError> error;
        const std::optional<int> count = ABAddressBookExportVCardFile(exported, &error);
        QCOMPARE(count, std::optional<int>(ABContactsHelper::contactsCount()));
        QVERIFY(*count >= 3);
    }
};

MOLVANE_TEST_MAIN(AddressBookBackendsTest)
#include "tst_AddressBookBackends.moc"
