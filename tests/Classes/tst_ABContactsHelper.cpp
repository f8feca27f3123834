#include "ABContactsHelper.h"
#include "Platform/AddressBook/ABSQLiteStore.h"
#include "support/Pictures.h"
#include "support/TestMain.h"

#include <QFile>
#include <QLoggingCategory>

namespace {
ABContactRef addPerson(const QString &first, const QString &last, const QStringList &phones = {},
                       bool withPicture = false)
{
    ABContactRef contact = ABContact::contact();
    contact->setFirstname(first);
    contact->setLastname(last);
    QList<QVariantMap> dictionaries;
    for (const QString &phone : phones)
        dictionaries.append(ABContact::dictionaryWithValue(phone, kABPersonPhoneMobileLabel));
    if (!phones.isEmpty())
        contact->setPhoneDictionaries(dictionaries);
    if (withPicture)
        ABPersonSetImageData(contact->record(), pngPicture(4, Qt::blue), nullptr);
    const bool added = ABContactsHelper::addContact(*contact, nullptr);
    Q_ASSERT(added);
    return contact;
}

QStringList firstNames(const QList<ABContactRef> &contacts)
{
    QStringList names;
    for (const ABContactRef &contact : contacts)
        names.append(contact->firstname().value_or(QString()));
    return names;
}

ABGroupRef addGroup(const QString &name, const QList<ABContactRef> &members = {})
{
    ABGroupRef group = ABGroup::group();
    group->setName(name);
    for (const ABContactRef &member : members)
        group->addMember(*member, nullptr);
    ABContactsHelper::addGroup(*group, nullptr);
    return group;
}
} // namespace

class ABContactsHelperTest : public QObject
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

    void emptyAddressBook()
    {
        QCOMPARE(ABContactsHelper::contacts().size(), 0);
        QCOMPARE(ABContactsHelper::contactsCount(), 0);
        QCOMPARE(ABContactsHelper::contactsWithImageCount(), 0);
        QCOMPARE(ABContactsHelper::groups().size(), 0);
        QCOMPARE(ABContactsHelper::numberOfGroups(), 0);
        QCOMPARE(ABContactsHelper::contactsMatchingName("a").size(), 0);
        QVERIFY(!ABGroup::groupWithRecordID(1));
    }

    void countsOfPersonsWithAndWithoutPictures()
    {
        addPerson("Anna", "A", {}, true);
        addPerson("Boris", "B");
        addPerson("Vera", "V", {}, true);
        addPerson("Gleb", "G");
        addPerson("Dina", "D");
        QCOMPARE(ABContactsHelper::contactsCount(), 5);
        QCOMPARE(ABContactsHelper::contactsWithImageCount(), 2);
        QCOMPARE(ABContactsHelper::contactsWithoutImageCount(), 3);
        QCOMPARE(firstNames(ABContactsHelper::contacts()),
                 (QStringList{"Anna", "Boris", "Vera", "Gleb", "Dina"}));
    }

    void nameSearchIgnoresCaseAndDiacritics()
    {
        addPerson("Иван", "Ёлкин");
        addPerson("José", "García");
        addPerson("Jose", "Perez");
        addPerson("Helga", "Müller");
        const ABContactRef nick = addPerson("Robert", "Smith");
        nick->setNickname(QString("Bobby"));
        ABContactsHelper::addContact(*nick, nullptr);

        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingName("елк")), QStringList{"Иван"});
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingName("ЁЛК")), QStringList{"Иван"});
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingName("jose")),
                 (QStringList{"José", "Jose"}));
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingName("JOSÉ")),
                 (QStringList{"José", "Jose"}));
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingName("mull")), QStringList{"Helga"});
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingName("garc")), QStringList{"José"});
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingName("bobb")), QStringList{"Robert"});
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingName("xyz")), QStringList());
        // A name stored decomposed (e + combining acute) is found too.
        addPerson(QString::fromUtf8("Rene\xCC\x81"), "Dupont");
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingName("René")).size(), 1);
    }

    void chainedNameSearch()
    {
        addPerson("Ivan", "Petrov");
        addPerson("Ivan", "Sidorov");
        addPerson("Petr", "Ivanov");
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingName("ivan", "sidor")),
                 QStringList{"Ivan"});
        QCOMPARE(ABContactsHelper::contactsMatchingName("petr", "ivan").size(), 2);
        const auto once = ABContactsHelper::contactsMatchingName("ivan");
        const auto twice = ABContactsHelper::contactsMatchingName("ivan", "ivan");
        QCOMPARE(firstNames(twice), firstNames(once));
        QCOMPARE(once.size(), 3);
    }

    void phoneSearchMatchesTheStoredFormOnly()
    {
        addPerson("Spaced", "", {"+7 916 123 45 67"});
        addPerson("Hyphened", "", {"8-495-111-22-33", "112"});
        addPerson("Plain", "", {"+79161234567"});
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingPhone("1234567")),
                 QStringList{"Plain"});
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingPhone("123 45")),
                 QStringList{"Spaced"});
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingPhone("4951112233")), QStringList());
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingPhone("111-22")),
                 QStringList{"Hyphened"});
        // The numbers are joined with a space, so a string across two of them matches.
        QCOMPARE(firstNames(ABContactsHelper::contactsMatchingPhone("33 112")),
                 QStringList{"Hyphened"});
    }

    void nameOrderPreference()
    {
        QVERIFY(ABContactsHelper::firstNameSorting());
        const ABContactRef ivan = addPerson("Ivan", "Petrov");
        QCOMPARE(ivan->compositeName(), QString("Ivan Petrov"));
        QVERIFY(ABPersonSetCompositeNameFormat(kABPersonCompositeNameFormatLastNameFirst, nullptr));
        QVERIFY(!ABContactsHelper::firstNameSorting());
        QCOMPARE(ABContactsHelper::contacts().front()->compositeName(), QString("Petrov Ivan"));
        QVERIFY(
            ABPersonSetCompositeNameFormat(kABPersonCompositeNameFormatFirstNameFirst, nullptr));
    }

    void groupsAndTheirMembers()
    {
        const ABContactRef ivan = addPerson("Ivan", "Petrov");
        const ABContactRef anna = addPerson("Anna", "Zorina");
        addGroup("Family", {ivan, anna});
        addGroup("Work");
        QCOMPARE(ABContactsHelper::numberOfGroups(), 2);
        const ABGroupRef family = ABContactsHelper::groupsMatchingName("FAM").front();
        QCOMPARE(family->name(), QString("Family"));
        QVERIFY(!family->isPerson());
        QCOMPARE(family->recordType(), kABGroupType);
        QCOMPARE(firstNames(family->members()), (QStringList{"Ivan", "Anna"}));
        QCOMPARE(firstNames(family->membersWithSorting(kABPersonSortByFirstName)),
                 (QStringList{"Anna", "Ivan"}));
        QCOMPARE(firstNames(family->membersWithSorting(kABPersonSortByLastName)),
                 (QStringList{"Ivan", "Anna"}));
        const ABGroupRef work = ABContactsHelper::groupsMatchingName("work").front();
        QVERIFY(work->members().isEmpty());
        QCOMPARE(ABContactsHelper::groupsMatchingName("k ").size(), 0);
    }

    void membershipChangesSaveNothingByThemselves()
    {
        const ABContactRef ivan = addPerson("Ivan", "Petrov");
        const ABGroupRef group = addGroup("Friends");
        std::optional<ABError> error;
        QVERIFY(group->addMember(*ivan, &error));
        QCOMPARE(group->members().size(), 1);
        QVERIFY(ABGroup::groupWithRecordID(group->recordID())->members().isEmpty());
        QVERIFY(ABContactsHelper::addGroup(*group, &error));
        QCOMPARE(ABGroup::groupWithRecordID(group->recordID())->members().size(), 1);

        QVERIFY(group->removeMember(*ivan, &error));
        QVERIFY(!group->removeMember(*ivan, &error));
        QCOMPARE(error->code(), ABError::Code::NotAMember);
        QCOMPARE(ABGroup::groupWithRecordID(group->recordID())->members().size(), 1);
    }

    void unsavedPersonCannotJoinAGroup()
    {
        const ABGroupRef group = ABGroup::group();
        std::optional<ABError> error;
        QVERIFY(!group->addMember(*ABContact::contact(), &error));
        QCOMPARE(error->code(), ABError::Code::PersonNotSaved);
    }

    void removedPersonLeavesItsGroups()
    {
        const ABContactRef ivan = addPerson("Ivan", "Petrov");
        const ABContactRef anna = addPerson("Anna", "Zorina");
        const ABGroupRef group = addGroup("Family", {ivan, anna});
        QVERIFY(ivan->removeSelfFromAddressBook(nullptr));
        QCOMPARE(firstNames(ABGroup::groupWithRecordID(group->recordID())->members()),
                 QStringList{"Anna"});
        QVERIFY(group->removeSelfFromAddressBook(nullptr));
        QCOMPARE(ABContactsHelper::numberOfGroups(), 0);
        QCOMPARE(ABContactsHelper::contactsCount(), 1);
    }

    void groupNameFailureIsLogged()
    {
        const ABGroupRef group = ABGroup::groupWithRecord(ABPersonCreate());
        QVERIFY(group->isPerson());
        QTest::ignoreMessage(QtDebugMsg, QRegularExpression("^Error: .+"));
        group->setName(QString("Not a group"));
        QCOMPARE(group->name(), std::nullopt);
    }
};

MOLVANE_TEST_MAIN(ABContactsHelperTest)
#include "tst_ABContactsHelper.moc"
