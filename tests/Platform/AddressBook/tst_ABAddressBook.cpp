#include "Platform/AddressBook/ABAddressBook.h"
#include "Platform/AddressBook/ABSQLiteStore.h"
#include "support/TestMain.h"

#include <QFile>
#include <QLoggingCategory>
#include <sqlite3.h>

namespace {
ABRecordRef newPerson(const QString &firstName)
{
    ABRecordRef person = ABPersonCreate();
    ABRecordSetValue(person, kABPersonFirstNameProperty, ABPropertyValue(firstName), nullptr);
    return person;
}

std::optional<QString> firstNameOf(const ABRecordRef &person)
{
    const std::optional<ABPropertyValue> value =
        ABRecordCopyValue(person, kABPersonFirstNameProperty);
    return value ? std::optional<QString>(std::get<QString>(*value)) : std::nullopt;
}

QStringList firstNames(const ABAddressBookRef &book)
{
    QStringList names;
    for (const ABRecordRef &person : ABAddressBookCopyArrayOfAllPeople(book))
        names.append(firstNameOf(person).value_or(QString()));
    return names;
}

ABRecordID savePerson(const QString &firstName)
{
    const ABAddressBookRef book = ABAddressBookCreate();
    const ABRecordRef person = newPerson(firstName);
    ABAddressBookAddRecord(book, person, nullptr);
    if (!ABAddressBookSave(book, nullptr))
        return kABRecordInvalidID;
    return ABRecordGetRecordID(person);
}

ABMultiValueRef multiValueOf(ABPropertyType type,
                             const QList<std::pair<QVariant, QString>> &entries)
{
    ABMutableMultiValueRef multiValue = ABMultiValueCreateMutable(type);
    for (const auto &[value, label] : entries)
        ABMultiValueAddValueAndLabel(multiValue, value, label);
    return multiValue;
}

QString sqliteText(const QString &path, const char *sql)
{
    sqlite3 *database = nullptr;
    sqlite3_open_v2(QFile::encodeName(path).constData(), &database, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt *statement = nullptr;
    sqlite3_prepare_v2(database, sql, -1, &statement, nullptr);
    QString text;
    if (sqlite3_step(statement) == SQLITE_ROW)
        text = QString::fromUtf8(reinterpret_cast<const char *>(sqlite3_column_text(statement, 0)));
    sqlite3_finalize(statement);
    sqlite3_close(database);
    return text;
}
} // namespace

class ABAddressBookTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Diagnostic lines are checked here; they are written only when asked for.
    void initTestCase() { QLoggingCategory::setFilterRules("molvane=true"); }

    void cleanup()
    {
        ABStore::closeShared();
        for (const QString &suffix : {QString(), QStringLiteral("-wal"), QStringLiteral("-shm")})
            QFile::remove(ABSQLiteStore::defaultPath() + suffix);
    }

    void storeIsOneWalDatabaseInTheDataDirectory()
    {
        QVERIFY(savePerson("Anna") != kABRecordInvalidID);
        const QString path = qEnvironmentVariable("XDG_DATA_HOME") + "/molvane/addressbook.sqlite";
        QCOMPARE(ABSQLiteStore::defaultPath(), path);
        QVERIFY(QFile::exists(path));
        QCOMPARE(sqliteText(path, "PRAGMA journal_mode"), QString("wal"));
        QCOMPARE(sqliteText(path, "PRAGMA user_version"), QString("1"));
    }

    void savedChangesAreSeenByNewHandlesAndUnsavedOnesAreNot()
    {
        const ABRecordID annaID = savePerson("Anna");
        const ABAddressBookRef editing = ABAddressBookCreate();
        ABRecordRef anna = ABAddressBookGetPersonWithRecordID(editing, annaID);
        ABRecordSetValue(anna, kABPersonFirstNameProperty, ABPropertyValue(QString("Anya")),
                         nullptr);
        ABAddressBookAddRecord(editing, newPerson("Boris"), nullptr);
        QVERIFY(ABAddressBookHasUnsavedChanges(editing));

        QCOMPARE(firstNames(ABAddressBookCreate()), QStringList{"Anna"});
        QVERIFY(ABAddressBookSave(editing, nullptr));
        QVERIFY(!ABAddressBookHasUnsavedChanges(editing));
        QCOMPARE(firstNames(ABAddressBookCreate()), (QStringList{"Anya", "Boris"}));
    }

    void handleSeesTheStoreAsOfItsCreation()
    {
        savePerson("Anna");
        const ABAddressBookRef early = ABAddressBookCreate();
        savePerson("Boris");
        QCOMPARE(firstNames(early), QStringList{"Anna"});
        QCOMPARE(ABAddressBookGetPersonCount(early), 1);
        QCOMPARE(ABAddressBookGetPersonCount(ABAddressBookCreate()), 2);
    }

    void twoHandlesSavingInTurnLoseNothing()
    {
        const ABRecordID annaID = savePerson("Anna");
        const ABAddressBookRef first = ABAddressBookCreate();
        const ABAddressBookRef second = ABAddressBookCreate();
        ABAddressBookAddRecord(first, newPerson("Boris"), nullptr);
        ABRecordSetValue(ABAddressBookGetPersonWithRecordID(second, annaID),
                         kABPersonLastNameProperty, ABPropertyValue(QString("Ivanova")), nullptr);
        ABAddressBookAddRecord(second, newPerson("Vera"), nullptr);
        QVERIFY(ABAddressBookSave(first, nullptr));
        QVERIFY(ABAddressBookSave(second, nullptr));

        const ABAddressBookRef after = ABAddressBookCreate();
        QCOMPARE(firstNames(after), (QStringList{"Anna", "Boris", "Vera"}));
        QVERIFY(ABRecordCopyValue(ABAddressBookGetPersonWithRecordID(after, annaID),
                                  kABPersonLastNameProperty));
        // The second handle now sees what the first one saved.
        QCOMPARE(ABAddressBookGetPersonCount(second), 3);
    }

    void fileSurvivesAReopen()
    {
        const ABRecordID annaID = savePerson("Anna");
        ABStore::closeShared();
        QVERIFY(!QFile::exists(ABSQLiteStore::defaultPath() + "-wal"));
        const ABRecordRef anna = ABAddressBookGetPersonWithRecordID(ABAddressBookCreate(), annaID);
        QCOMPARE(firstNameOf(anna), QString("Anna"));
    }

    void changesByAnotherProcessAreSeenByTheNextHandle()
    {
        const ABRecordID annaID = savePerson("Anna");
        QCOMPARE(ABAddressBookGetPersonCount(ABAddressBookCreate()), 1);
        // Another program's connection renames Anna and adds a person of its own.
        sqlite3 *other = nullptr;
        sqlite3_open(QFile::encodeName(ABSQLiteStore::defaultPath()).constData(), &other);
        const QByteArray sql = "BEGIN;"
                               "UPDATE record_values SET value = 'Anya' WHERE record_id = " +
                               QByteArray::number(annaID) +
                               " AND property = " + QByteArray::number(kABPersonFirstNameProperty) +
                               ";"
                               "INSERT INTO records (type, created, modified) VALUES (0, 0, 0);"
                               "INSERT INTO record_values VALUES (last_insert_rowid(), " +
                               QByteArray::number(kABPersonFirstNameProperty) +
                               ", 'Gleb');"
                               "UPDATE meta SET value = value + 1 WHERE key = 'generation';"
                               "COMMIT;";
        QCOMPARE(sqlite3_exec(other, sql.constData(), nullptr, nullptr, nullptr), SQLITE_OK);
        sqlite3_close(other);
        QCOMPARE(firstNames(ABAddressBookCreate()), (QStringList{"Anya", "Gleb"}));
    }

    void recordIdentifiersAreStableAndNeverReused()
    {
        const ABRecordID annaID = savePerson("Anna");
        const ABAddressBookRef book = ABAddressBookCreate();
        QCOMPARE(ABAddressBookGetPersonWithRecordID(book, annaID),
                 ABAddressBookCopyArrayOfAllPeople(book).front());
        QVERIFY(ABAddressBookRemoveRecord(book, ABAddressBookGetPersonWithRecordID(book, annaID),
                                          nullptr));
        QVERIFY(ABAddressBookSave(book, nullptr));
        const ABRecordID borisID = savePerson("Boris");
        QVERIFY(borisID > annaID);
        QVERIFY(!ABAddressBookGetPersonWithRecordID(ABAddressBookCreate(), annaID));
    }

    void storeKeepsCreationAndModificationDates()
    {
        const QDateTime before = QDateTime::currentDateTimeUtc().addMSecs(-1);
        const ABRecordID annaID = savePerson("Anna");
        const ABRecordRef anna = ABAddressBookGetPersonWithRecordID(ABAddressBookCreate(), annaID);
        const auto created =
            std::get<QDateTime>(*ABRecordCopyValue(anna, kABPersonCreationDateProperty));
        QVERIFY(created >= before);
        std::optional<ABError> error;
        QVERIFY(!ABRecordSetValue(anna, kABPersonCreationDateProperty, ABPropertyValue(before),
                                  &error));
        QCOMPARE(error->code(), ABError::Code::ReadOnlyProperty);
        QVERIFY(!error->localizedDescription().isEmpty());
    }

    void valuesOfTheWrongKindAreRefused()
    {
        const ABRecordRef person = ABPersonCreate();
        const ABRecordRef group = ABGroupCreate();
        std::optional<ABError> error;
        QVERIFY(!ABRecordSetValue(person, kABPersonFirstNameProperty,
                                  ABPropertyValue(QDateTime::currentDateTime()), &error));
        QCOMPARE(error->code(), ABError::Code::InvalidValue);
        QVERIFY(!ABRecordSetValue(group, kABPersonFirstNameProperty, ABPropertyValue(QString("x")),
                                  &error));
        QCOMPARE(error->code(), ABError::Code::InvalidProperty);
        const ABMultiValueRef emails =
            multiValueOf(kABMultiStringPropertyType, {{"a@b.c", "home"}});
        QVERIFY(
            !ABRecordSetValue(person, kABPersonAddressProperty, ABPropertyValue(emails), &error));
        QVERIFY(!ABMultiValueAddValueAndLabel(ABMultiValueCreateMutable(kABMultiStringPropertyType),
                                              QDateTime::currentDateTime(), "home"));
        QVERIFY(!ABPersonSetImageData(group, "png", &error));
        QCOMPARE(error->code(), ABError::Code::WrongRecordType);
    }

    void multiValuesKeepEntryOrderLabelsAndTypes()
    {
        const QDateTime anniversary(QDate(2001, 6, 9), QTime(12, 0), Qt::UTC);
        const QVariantMap address{{kABPersonAddressStreetKey, "Tverskaya 1"},
                                  {kABPersonAddressCityKey, "Moskva"}};
        ABRecordRef person = newPerson("Anna");
        const ABMultiValueRef phones =
            multiValueOf(kABMultiStringPropertyType,
                         {{"+7 900 1", "mobile"}, {"8 (495) 2", "home"}, {"+7 900 1", "work"}});
        ABRecordSetValue(person, kABPersonPhoneProperty, ABPropertyValue(phones), nullptr);
        ABRecordSetValue(person, kABPersonDateProperty,
                         ABPropertyValue(multiValueOf(kABMultiDateTimePropertyType,
                                                      {{anniversary, "anniversary"}})),
                         nullptr);
        ABRecordSetValue(
            person, kABPersonAddressProperty,
            ABPropertyValue(multiValueOf(kABMultiDictionaryPropertyType, {{address, "home"}})),
            nullptr);
        ABMutableMultiValueRef unlabelled = ABMultiValueCreateMutable(kABMultiStringPropertyType);
        ABMultiValueAddValueAndLabel(unlabelled, QString("a@example.org"), std::nullopt);
        ABRecordSetValue(person, kABPersonEmailProperty,
                         ABPropertyValue(ABMultiValueRef(unlabelled)), nullptr);
        // Changing the caller's multi-value afterwards does not reach the record.
        ABMultiValueAddValueAndLabel(unlabelled, QString("late@example.org"), std::nullopt);
        const ABAddressBookRef book = ABAddressBookCreate();
        ABAddressBookAddRecord(book, person, nullptr);
        QVERIFY(ABAddressBookSave(book, nullptr));
        ABStore::closeShared();

        const ABRecordRef stored =
            ABAddressBookGetPersonWithRecordID(ABAddressBookCreate(), ABRecordGetRecordID(person));
        const auto multi = [&](ABPropertyID property) {
            return std::get<ABMultiValueRef>(*ABRecordCopyValue(stored, property));
        };
        QCOMPARE(ABMultiValueCopyArrayOfAllValues(multi(kABPersonPhoneProperty)),
                 (QVariantList{"+7 900 1", "8 (495) 2", "+7 900 1"}));
        QCOMPARE(ABMultiValueCopyLabelAtIndex(multi(kABPersonPhoneProperty), 2), QString("work"));
        QCOMPARE(ABMultiValueCopyArrayOfAllValues(multi(kABPersonDateProperty)),
                 QVariantList{anniversary});
        QCOMPARE(ABMultiValueCopyArrayOfAllValues(multi(kABPersonAddressProperty)),
                 QVariantList{address});
        QCOMPARE(ABMultiValueGetCount(multi(kABPersonEmailProperty)), 1);
        QCOMPARE(ABMultiValueCopyLabelAtIndex(multi(kABPersonEmailProperty), 0), std::nullopt);
    }

    void changedRecordRemovedMeanwhileStaysRemoved()
    {
        const ABRecordID annaID = savePerson("Anna");
        const ABAddressBookRef editing = ABAddressBookCreate();
        const ABRecordRef anna = ABAddressBookGetPersonWithRecordID(editing, annaID);
        const ABAddressBookRef removing = ABAddressBookCreate();
        ABAddressBookRemoveRecord(removing, ABAddressBookGetPersonWithRecordID(removing, annaID),
                                  nullptr);
        QVERIFY(ABAddressBookSave(removing, nullptr));
        ABRecordSetValue(anna, kABPersonNoteProperty, ABPropertyValue(QString("late edit")),
                         nullptr);
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("removed meanwhile"));
        QVERIFY(ABAddressBookSave(editing, nullptr));
        QCOMPARE(ABAddressBookGetPersonCount(ABAddressBookCreate()), 0);
    }

    void removingARecordNotInTheBookFails()
    {
        std::optional<ABError> error;
        QVERIFY(!ABAddressBookRemoveRecord(ABAddressBookCreate(), newPerson("Nobody"), &error));
        QCOMPARE(error->code(), ABError::Code::RecordNotInAddressBook);
    }

    void unreadableFileIsReportedAndLeftUntouched()
    {
        QDir().mkpath(QFileInfo(ABSQLiteStore::defaultPath()).path());
        QFile file(ABSQLiteStore::defaultPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        const QByteArray garbage(4096, 'x');
        file.write(garbage);
        file.close();

        std::optional<ABError> error;
        QVERIFY(!ABAddressBookCreateWithOptions(&error));
        QVERIFY2(error->localizedDescription().contains("addressbook.sqlite"),
                 qPrintable(error->localizedDescription()));
        QTest::ignoreMessage(QtDebugMsg,
                             QRegularExpression("^Error: The address book .* cannot be opened"));
        const ABAddressBookRef book = ABAddressBookCreate();
        QCOMPARE(ABAddressBookGetPersonCount(book), 0);
        ABAddressBookAddRecord(book, newPerson("Anna"), nullptr);
        error.reset();
        QVERIFY(!ABAddressBookSave(book, &error));
        QCOMPARE(error->code(), ABError::Code::StoreUnavailable);
        QVERIFY(file.open(QIODevice::ReadOnly));
        QCOMPARE(file.readAll(), garbage);
    }

    void storeFromANewerVersionIsRefused()
    {
        savePerson("Anna");
        ABStore::closeShared();
        sqlite3 *database = nullptr;
        sqlite3_open(QFile::encodeName(ABSQLiteStore::defaultPath()).constData(), &database);
        sqlite3_exec(database, "PRAGMA user_version = 99", nullptr, nullptr, nullptr);
        sqlite3_close(database);
        std::optional<ABError> error;
        QVERIFY(!ABAddressBookCreateWithOptions(&error));
        QVERIFY(error->localizedDescription().contains("newer version"));
    }
};

MOLVANE_TEST_MAIN(ABAddressBookTest)
#include "tst_ABAddressBook.moc"
