#include "CallLogStore.h"
#include "DialerPadViewController.h"
#include "Platform/AddressBook/ABPeoplePickerNavigationController.h"
#include "Platform/AddressBook/VCardImport.h"
#include "Platform/Files/DocumentsDirectory.h"
#include "Platform/Files/PropertyList.h"
#include "Platform/Telephony/TelephonyService.h"
#include "Platform/UI/UINavigationBar.h"
#include "Platform/UI/UINavigationController.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/PickerTaps.h"
#include "support/RecordingBackend.h"
#include "support/Tap.h"
#include "support/TestMain.h"

#include <QAccessible>
#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QProcess>
#include <QTemporaryDir>
#include <QToolButton>

namespace {
// Three people: one with no number, one with one, one with five (two of them equal, one
// labelled by the card itself).
const char *const people =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nobody;Nina;;;\r\nFN:Nina Nobody\r\n"
    "END:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Single;Sam;;;\r\nFN:Sam Single\r\n"
    "TEL;TYPE=CELL:+7 (916) 123-45-67\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ёлкин;Тимофей;;;\r\n"
    "FN:Тимофей Ёлкин\r\nTEL;TYPE=CELL:+7 916 000-00-01\r\n"
    "TEL;TYPE=HOME:8 (495) 111-22-33\r\nTEL;TYPE=WORK:+7 916 000-00-01\r\n"
    "TEL;TYPE=WORK,FAX:8 (495) 111-22-44\r\nTEL;TYPE=X-дача:8 (496) 5-55-55\r\n"
    "END:VCARD\r\n";

// Two more, for another program to add while the picker is open.
const char *const newcomers = "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Anna Added\r\nEND:VCARD\r\n"
                              "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Boris Added\r\nEND:VCARD\r\n";
} // namespace

class ContactPickingTest : public QObject
{
    Q_OBJECT

    QTemporaryDir cards;
    std::unique_ptr<LaunchedApplication> app;
    RecordingBackend *modem = nullptr;
    DialerPadViewController *dialPad = nullptr;
    DialPadScreen screen() const { return DialPadScreen(dialPad); }

    ABPeoplePickerNavigationController *openPicker() { return ::openPicker(dialPad); }

    // The person's numbers, once they have come up after the picker went, or null.
    UINavigationController *numberList() const
    {
        if (!QTest::qWaitFor([this] { return dialPad->modalViewController() != nullptr; }))
            return nullptr;
        auto *navigation = qobject_cast<UINavigationController *>(dialPad->modalViewController());
        if (navigation && !QTest::qWaitFor([navigation] { return navigation->pos().isNull(); }))
            return nullptr;
        return navigation;
    }

    QString writeCards(const QByteArray &vcard)
    {
        const QString path = cards.filePath("people.vcf");
        QFile file(path);
        if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
            qFatal("cannot write %s", qPrintable(path));
        file.write(vcard);
        return path;
    }

    void import(const QByteArray &vcard)
    {
        VCardImportReport report;
        std::optional<ABError> error;
        QVERIFY(ABAddressBookImportVCardFiles({writeCards(vcard)}, &report, &error));
    }

    void launch(const QString &language)
    {
        app.reset();
        modem = RecordingBackend::install();
        app = std::make_unique<LaunchedApplication>(QVariantMap{{"current_language", language}});
        dialPad = app->delegate()->dialerPadViewController;
        screen().enter("555");
    }

private Q_SLOTS:
    void initTestCase() { import(people); }

    void init() { launch("english"); }
    void cleanup() { app.reset(); }

    void escapeClosesThePicker()
    {
        QVERIFY(openPicker());
        QTest::keyClick(dialPad->window()->windowHandle(), Qt::Key_Escape);
        QTRY_VERIFY(!dialPad->modalViewController());
    }

    void pickerListsEveryoneAndFilters()
    {
        ABPeoplePickerNavigationController *picker = openPicker();
        QVERIFY(picker);
        QCOMPARE(picker->listedNames(),
                 (QStringList{"Nina Nobody", "Sam Single", "Тимофей Ёлкин"}));
        QCOMPARE(picker->searchField()->accessibleName(), "Search");
        QCOMPARE(picker->navigationBar()->rightButton()->accessibleName(), "Cancel");
        // Typed through the input method, as non-Latin letters arrive.
        picker->searchField()->insert("елк");
        QCOMPARE(picker->listedNames(), QStringList{"Тимофей Ёлкин"});
        QTest::keyClicks(picker->searchField(), "zzz");
        QVERIFY(picker->listedNames().isEmpty());
        QVERIFY(picker->emptyMessage()->isVisible());
    }

    void cancelLeavesTheNumber()
    {
        ABPeoplePickerNavigationController *picker = openPicker();
        QTest::mouseClick(picker->navigationBar()->rightButton(), Qt::LeftButton);
        QTRY_VERIFY(!dialPad->modalViewController());
        QCOMPARE(screen().number->text(), "555");
    }

    void severalNumbersAreOfferedThenTheChosenOneDialled()
    {
        QVERIFY(tapPerson(openPicker(), "Тимофей Ёлкин"));
        QVERIFY(!dialPad->modalViewController());
        QTRY_VERIFY(dialPad->modalViewController());
        auto *navigation = qobject_cast<UINavigationController *>(dialPad->modalViewController());
        auto *list = qobject_cast<ContactPhoneNumbers *>(navigation->topViewController());
        QCOMPARE(list->arrPhoneNumbers,
                 (QStringList{"+7 916 000-00-01", "8 (495) 111-22-33", "+7 916 000-00-01",
                              "8 (495) 111-22-44", "8 (496) 5-55-55"}));
        QCOMPARE(list->tableView()->numberOfRows(), 5);
        QCOMPARE(screen().number->text(), "555");

        UITableViewCell *second = list->tableView()->cellForRowAtIndexPath({0, 1});
        QCOMPARE(second->textLabel()->text(), "8 (495) 111-22-33");
        QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(screen().number->text(), "8 (495) 111-22-33");
        QTRY_VERIFY(!dialPad->modalViewController());

        QTest::mouseClick(screen().call, Qt::LeftButton);
        QCOMPARE(modem->dialled, QStringList{"14684951112233#"});
        const auto log = ReadPropertyListArray(CallLogStore::path());
        QCOMPARE(CallLogEntry(log->last()).phoneNumber(), "8 (495) 111-22-33");
    }

    void backFromTheNumbersReturnsToThePicker_data()
    {
        QTest::addColumn<QString>("way");
        QTest::newRow("tap") << "tap";
        QTest::newRow("Escape") << "Escape";
        QTest::newRow("screen reader") << "screen reader";
    }

    // The way back from a person's numbers, by each way a person has; the search is kept.
    void backFromTheNumbersReturnsToThePicker()
    {
        QFETCH(QString, way);
        ABPeoplePickerNavigationController *picker = openPicker();
        picker->searchField()->insert("елк");
        QVERIFY(tapPerson(picker, "Тимофей Ёлкин"));
        UINavigationController *numbers = numberList();
        QVERIFY(numbers);
        UINavigationBar *bar = numbers->navigationBar();
        QCOMPARE(bar->title(), "Тимофей Ёлкин");
        const QRect title = rectInWindow(bar->findChild<QLabel *>());
        QCOMPARE(title.center().x(), rectInWindow(bar).center().x());
        QToolButton *back = bar->backButton();
        QVERIFY(back->isVisible());
        QVERIFY(back->width() >= 44 && back->height() >= 44);
        QCOMPARE(back->accessibleName(), "Back");

        if (way == "tap")
            tap(back);
        else if (way == "Escape")
            QTest::keyClick(back->window()->windowHandle(), Qt::Key_Escape);
        else
            QAccessible::queryAccessibleInterface(back)->actionInterface()->doAction(
                QAccessibleActionInterface::pressAction());
        picker = pickerShownBy(dialPad);
        QVERIFY(picker);
        QCOMPARE(picker->searchField()->text(), "елк");
        QCOMPARE(picker->listedNames(), QStringList{"Тимофей Ёлкин"});
        QCOMPARE(screen().number->text(), "555");
    }

    // Another program adds people while the picker is open, and this one removes them: the
    // list follows, through the search typed meanwhile.
    void theListFollowsTheAddressBookWhileOpen()
    {
        ABPeoplePickerNavigationController *picker = openPicker();
        QTest::keyClicks(picker->searchField(), "anna");
        QVERIFY(picker->emptyMessage()->isVisible());

        QProcess molvane;
        molvane.start(QCoreApplication::applicationDirPath() + "/../molvane",
                      {"--import-contacts", writeCards(newcomers)});
        QVERIFY(molvane.waitForFinished(30000));
        QCOMPARE(molvane.exitCode(), 0);
        QTRY_COMPARE(picker->listedNames(), QStringList{"Anna Added"});
        QVERIFY(picker->peopleList()->isVisible());
        QVERIFY(!picker->emptyMessage()->isVisible());
        QCOMPARE(picker->searchField()->text(), "anna");

        const ABAddressBookRef book = ABAddressBookCreate();
        for (const ABRecordRef &person : ABAddressBookCopyArrayOfAllPeople(book)) {
            if (ABRecordCopyCompositeName(person).value_or(QString()).endsWith("Added"))
                QVERIFY(ABAddressBookRemoveRecord(book, person, nullptr));
        }
        QVERIFY(ABAddressBookSave(book, nullptr));
        QTRY_VERIFY(picker->listedNames().isEmpty());
        QVERIFY(picker->emptyMessage()->isVisible());
        QCOMPARE(picker->emptyMessage()->text(), "No matches");
        QTest::keyClick(picker->searchField(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClick(picker->searchField(), Qt::Key_Backspace);
        QCOMPARE(picker->listedNames(),
                 (QStringList{"Nina Nobody", "Sam Single", "Тимофей Ёлкин"}));
    }

    void thePersonCallbackAlwaysSaysNo()
    {
        ABPeoplePickerNavigationController *picker = openPicker();
        const ABRecordRef person = ABAddressBookCopyArrayOfAllPeople(ABAddressBookCreate()).first();
        QVERIFY(!dialPad->shouldContinueAfterSelectingPerson(picker, person));
        QVERIFY(!dialPad->shouldContinueAfterSelectingPerson(picker, person, 0, 0));
    }
};

MOLVANE_TEST_MAIN(ContactPickingTest)
#include "tst_ContactPicking.moc"
