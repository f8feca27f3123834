#include "ABContact.h"
#include "ABContactsHelper.h"
#include "Platform/AddressBook/ABSQLiteStore.h"
#include "support/TestMain.h"

#include <QFile>
#include <QLoggingCategory>

namespace {
using OptionalString = std::optional<QString>;

ABContactRef savedContact(const std::function<void(ABContact &)> &fill)
{
    ABContactRef contact = ABContact::contact();
    fill(*contact);
    ABContactsHelper::addContact(*contact, nullptr);
    return ABContact::contactWithRecordID(contact->recordID());
}
} // namespace

class ABContactTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    // Diagnostic lines are checked here; they are written only when asked for.
    void initTestCase() { QLoggingCategory::setFilterRules("molvane=true"); }

    void cleanup()
    {
        ABStore::closeShared();
        QFile::remove(ABSQLiteStore::defaultPath());
    }

    void contactName_data()
    {
        QTest::addColumn<QStringList>(
            "fields"); // prefix, first, nickname, last, suffix, organization
        QTest::addColumn<QString>("expected");
        QTest::newRow("everything") << QStringList{"Dr.", "Ivan", "Vanya", "Petrov", "Jr.", "Acme"}
                                    << "Dr. Ivan \"Vanya\" Petrov, Jr. Acme";
        QTest::newRow("organization only") << QStringList{"", "", "", "", "", "Acme"} << "Acme";
        QTest::newRow("first name and organization")
            << QStringList{"", "Ivan", "", "", "", "Acme"} << "Ivan  Acme";
        QTest::newRow("last name and organization")
            << QStringList{"", "", "", "Petrov", "", "Acme"} << "Petrov Acme";
        QTest::newRow("first name only") << QStringList{"", "Ivan", "", "", "", ""} << "Ivan";
        QTest::newRow("nickname and prefix without names")
            << QStringList{"Dr.", "", "Vanya", "", "Jr.", ""} << "";
        QTest::newRow("nickname, prefix and organization without names")
            << QStringList{"Dr.", "", "Vanya", "", "", "Acme"} << "Acme";
        QTest::newRow("suffix after a first name")
            << QStringList{"", "Ivan", "", "", "III", ""} << "Ivan , III";
    }

    void contactName()
    {
        QFETCH(QStringList, fields);
        QFETCH(QString, expected);
        const auto present = [](const QString &field) {
            return field.isEmpty() ? OptionalString() : OptionalString(field);
        };
        const ABContactRef contact = ABContact::contact();
        contact->setPrefix(present(fields[0]));
        contact->setFirstname(present(fields[1]));
        contact->setNickname(present(fields[2]));
        contact->setLastname(present(fields[3]));
        contact->setSuffix(present(fields[4]));
        contact->setOrganization(present(fields[5]));
        QCOMPARE(contact->contactName(), expected);
    }

    void emptyStringCountsAsPresent()
    {
        const ABContactRef contact = ABContact::contact();
        contact->setFirstname(QString());
        contact->setOrganization(QString("Acme"));
        QCOMPARE(contact->firstname(), QString());
        QCOMPARE(contact->contactName(), QString("Acme"));
    }

    void stringsAndDatesRoundTripThroughTheStore()
    {
        const QDateTime birthday(QDate(1990, 3, 8), QTime(12, 0), Qt::UTC);
        const ABContactRef contact = savedContact([&](ABContact &c) {
            c.setFirstname(QString("Ivan"));
            c.setMiddlenamephonetic(QString("Ivanovich"));
            c.setJobtitle(QString("Engineer"));
            c.setNote(QString("line one\nline two"));
            c.setBirthday(birthday);
        });
        QVERIFY(contact);
        QVERIFY(contact->isPerson());
        QCOMPARE(contact->firstname(), QString("Ivan"));
        QCOMPARE(contact->middlenamephonetic(), QString("Ivanovich"));
        QCOMPARE(contact->jobtitle(), QString("Engineer"));
        QCOMPARE(contact->note(), QString("line one\nline two"));
        QCOMPARE(contact->birthday(), birthday);
        QCOMPARE(contact->lastname(), std::nullopt);
        QVERIFY(contact->creationDate());
        QVERIFY(contact->modificationDate() >= contact->creationDate());
        QCOMPARE(contact->compositeName(), QString("Ivan"));
        contact->setFirstname(std::nullopt);
        QCOMPARE(contact->firstname(), std::nullopt);
    }

    void phoneNumbersAreJoinedWithSingleSpaces()
    {
        const ABContactRef contact = ABContact::contact();
        QCOMPARE(contact->phonenumbers(), std::nullopt);
        QCOMPARE(contact->phoneArray(), std::nullopt);
        QCOMPARE(contact->phoneLabels(), QStringList());
        contact->setPhoneDictionaries(
            {ABContact::dictionaryWithValue(QString("+7 (916) 123-45-67"),
                                            kABPersonPhoneMobileLabel),
             ABContact::dictionaryWithValue(QString("8 495 111"), kABHomeLabel)});
        QCOMPARE(contact->phonenumbers(), QString("+7 (916) 123-45-67 8 495 111"));
        QCOMPARE(contact->phoneArray(), (QStringList{"+7 (916) 123-45-67", "8 495 111"}));
        QCOMPARE(contact->phoneLabels(), (QStringList{"mobile", "home"}));
    }

    void dictionariesOfEveryFamilyRoundTrip()
    {
        const QDateTime date(QDate(2010, 1, 2), QTime(12, 0), Qt::UTC);
        const QVariantMap address = ABContact::addressWithStreet(
            QString("Nevsky 1"), QString("St Petersburg"), std::nullopt, QString("191186"),
            QString("Russia"), QString("ru"));
        const QVariantMap im = ABContact::smsWithService(kABPersonInstantMessageServiceJabber,
                                                         QString("ivan@example.org"));
        const ABContactRef contact = savedContact([&](ABContact &c) {
            c.setEmailDictionaries(
                {ABContact::dictionaryWithValue(QString("ivan@example.org"), kABWorkLabel)});
            c.setRelatedNameDictionaries(
                {ABContact::dictionaryWithValue(QString("Maria"), kABPersonSpouseLabel)});
            c.setUrlDictionaries({ABContact::dictionaryWithValue(QString("https://example.org"),
                                                                 kABPersonHomePageLabel)});
            c.setDateDictionaries(
                {ABContact::dictionaryWithValue(date, kABPersonAnniversaryLabel)});
            c.setAddressDictionaries({ABContact::dictionaryWithValue(address, kABHomeLabel)});
            c.setSmsDictionaries({ABContact::dictionaryWithValue(im, std::nullopt)});
        });
        QCOMPARE(contact->emailaddresses(), QString("ivan@example.org"));
        QCOMPARE(contact->relatedNameDictionaries(),
                 (QList<QVariantMap>{{{"value", "Maria"}, {"label", "spouse"}}}));
        QCOMPARE(contact->urls(), QString("https://example.org"));
        QCOMPARE(contact->dateArray(), QList<QDateTime>{date});
        QCOMPARE(contact->addressArray(), QList<QVariantMap>{address});
        QCOMPARE(contact->addressLabels(), QStringList{"home"});
        QCOMPARE(contact->smsArray(), QList<QVariantMap>{im});
        // An entry without a label reads as an empty label.
        QCOMPARE(contact->smsLabels(), QStringList{""});
        QCOMPARE(contact->smsDictionaries(), (QList<QVariantMap>{{{"value", im}, {"label", ""}}}));
    }

    void dictionaryMakersHoldOnlyWhatIsPresent()
    {
        QCOMPARE(ABContact::dictionaryWithValue(QString("1"), std::nullopt),
                 (QVariantMap{{"value", "1"}}));
        QCOMPARE(ABContact::dictionaryWithValue(std::nullopt, QString("home")),
                 (QVariantMap{{"label", "home"}}));
        QCOMPARE(ABContact::smsWithService(std::nullopt, QString("ivan")),
                 (QVariantMap{{kABPersonInstantMessageUsernameKey, "ivan"}}));
        const QVariantMap address = ABContact::addressWithStreet(
            QString("a"), std::nullopt, QString("c"), std::nullopt, std::nullopt, QString("f"));
        QCOMPARE(address, (QVariantMap{{kABPersonAddressStreetKey, "a"},
                                       {kABPersonAddressStateKey, "c"},
                                       {kABPersonAddressCountryCodeKey, "f"}}));
    }

    void propertyTables()
    {
        QCOMPARE(ABContact::propertyString(kABPersonFirstNameProperty), QString("First Name"));
        QCOMPARE(ABContact::propertyString(kABPersonMiddleNamePhoneticProperty),
                 QString("Phonetic Middle Name"));
        QCOMPARE(ABContact::propertyString(kABPersonInstantMessageProperty),
                 QString("Instant Message"));
        QCOMPARE(ABContact::propertyString(kABPersonRelatedNamesProperty), QString("Related Name"));
        QCOMPARE(ABContact::propertyString(kABGroupNameProperty), std::nullopt);
        QCOMPARE(ABContact::propertyString(12345), std::nullopt);

        QCOMPARE(ABContact::propertyTypeString(kABPersonLastNameProperty), QString("String"));
        QCOMPARE(ABContact::propertyTypeString(kABPersonKindProperty), QString("Integer"));
        QCOMPARE(ABContact::propertyTypeString(kABPersonBirthdayProperty), QString("Date"));
        QCOMPARE(ABContact::propertyTypeString(kABPersonPhoneProperty), QString("Multi String"));
        QCOMPARE(ABContact::propertyTypeString(kABPersonDateProperty), QString("Multi Date"));
        QCOMPARE(ABContact::propertyTypeString(kABPersonAddressProperty),
                 QString("Multi Dictionary"));
        QCOMPARE(ABContact::propertyTypeString(12345), QString("Invalid Property"));
        QCOMPARE(ABContact::propertyType(kABPersonEmailProperty), kABMultiStringPropertyType);
        QVERIFY(!ABContact::localizedPropertyName(kABPersonEmailProperty).isEmpty());
    }

    // One value exactly for the properties whose platform type is a single text or date; the
    // kind (an integer) and unknown identifiers count as multi-valued.
    void multiValueTest()
    {
        int singles = 0;
        for (ABPropertyID property = 0; property < 64; ++property) {
            const ABPropertyDescription *description = ABPropertyDescribe(property);
            if (!description || description->recordType != kABPersonType)
                continue;
            const bool single = description->type == kABStringPropertyType ||
                                description->type == kABDateTimePropertyType;
            singles += single;
            QVERIFY2(ABContact::propertyIsMultivalue(property) == !single,
                     qPrintable(QString::number(property)));
        }
        QCOMPARE(singles, 16);
        QVERIFY(ABContact::propertyIsMultivalue(kABPersonKindProperty));
        QVERIFY(ABContact::propertyIsMultivalue(12345));
    }

    void pictureIsStoredAsPngAndCanBeRemoved()
    {
        QImage picture(8, 6, QImage::Format_RGB32);
        picture.fill(Qt::red);
        const ABContactRef contact = ABContact::contact();
        QCOMPARE(contact->image(), std::nullopt);
        contact->setImage(std::nullopt); // nothing to delete: no error
        contact->setImage(picture);
        QVERIFY(ABPersonCopyImageData(contact->record())->startsWith("\x89PNG"));
        QCOMPARE(contact->image()->size(), QSize(8, 6));
        QCOMPARE(contact->image()->pixelColor(0, 0), QColor(Qt::red));
        contact->setImage(std::nullopt);
        QVERIFY(!ABPersonHasImageData(contact->record()));
    }

    void failedWritesAreLoggedAndReported()
    {
        const ABContactRef contact = ABContact::contact();
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Error: .*kept by the address book"));
        QVERIFY(!contact->setDate(QDateTime::currentDateTime(), kABPersonCreationDateProperty));
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Error: .+"));
        QVERIFY(!contact->setString(QString("x"), kABGroupNameProperty));
        QVERIFY(contact->setString(QString("Ivan"), kABPersonFirstNameProperty));
    }

    void removeSelfFromAddressBook()
    {
        const ABContactRef contact =
            savedContact([](ABContact &c) { c.setFirstname(QString("Ivan")); });
        QCOMPARE(ABContactsHelper::contactsCount(), 1);
        std::optional<ABError> error;
        QVERIFY(contact->removeSelfFromAddressBook(&error));
        QCOMPARE(ABContactsHelper::contactsCount(), 0);
        QVERIFY(!ABContact::contactWithRecordID(contact->recordID()));
        QVERIFY(!contact->removeSelfFromAddressBook(&error));
        QCOMPARE(error->code(), ABError::Code::RecordNotInAddressBook);
        // The wrapper stays readable after its record has gone.
        QCOMPARE(contact->firstname(), QString("Ivan"));
    }

    void editedContactIsWrittenByAddContact()
    {
        const ABContactRef contact =
            savedContact([](ABContact &c) { c.setFirstname(QString("Ivan")); });
        contact->setLastname(QString("Petrov"));
        QVERIFY(ABContactsHelper::addContact(*contact, nullptr));
        QCOMPARE(ABContactsHelper::contactsCount(), 1);
        QCOMPARE(ABContact::contactWithRecordID(contact->recordID())->lastname(),
                 QString("Petrov"));
    }
};

MOLVANE_TEST_MAIN(ABContactTest)
#include "tst_ABContact.moc"
