#include "DialerPadViewController.h"
#include "Platform/AddressBook/ABPeoplePickerNavigationController.h"
#include "Platform/AddressBook/VCardImport.h"
#include "Platform/Files/DocumentsDirectory.h"
#include "Platform/Files/PropertyList.h"
#include "Platform/Telephony/TelephonyService.h"
#include "Platform/UI/UINavigationBar.h"
#include "Platform/UI/UINavigationController.h"
#include "support/LaunchedApplication.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QListView>
#include <QTemporaryDir>
#include <QToolButton>

namespace {
// Three people: one with no number, one with one, one with three (two of them equal).
const char *const people = "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Nobody;Nina;;;\r\nFN:Nina Nobody\r\n"
                           "END:VCARD\r\n"
                           "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Single;Sam;;;\r\nFN:Sam Single\r\n"
                           "TEL;TYPE=CELL:+7 (916) 123-45-67\r\nEND:VCARD\r\n"
                           "BEGIN:VCARD\r\nVERSION:3.0\r\nN:Ёлкин;Тимофей;;;\r\n"
                           "FN:Тимофей Ёлкин\r\nTEL;TYPE=CELL:+7 916 000-00-01\r\n"
                           "TEL;TYPE=HOME:8 (495) 111-22-33\r\nTEL;TYPE=WORK:+7 916 000-00-01\r\n"
                           "END:VCARD\r\n";
} // namespace

class ContactPickingTest : public QObject
{
    Q_OBJECT

    QTemporaryDir cards;
    std::unique_ptr<LaunchedApplication> app;
    RecordingBackend *modem = nullptr;
    DialerPadViewController *dialPad = nullptr;

    ABPeoplePickerNavigationController *openPicker()
    {
        QTest::mouseClick(dialPad->btnContacts, Qt::LeftButton);
        auto *picker =
            qobject_cast<ABPeoplePickerNavigationController *>(dialPad->modalViewController());
        // The picker slides up; it is in place once its animation is over.
        if (picker && !QTest::qWaitFor([picker] { return picker->pos() == QPoint(0, 0); }))
            qWarning("the picker never came into place");
        return picker;
    }

    void tapPerson(ABPeoplePickerNavigationController *picker, const QString &name)
    {
        const int row = int(picker->listedNames().indexOf(name));
        QVERIFY2(row >= 0, qPrintable(name + " is not listed"));
        QListView *list = picker->peopleList();
        list->scrollTo(list->model()->index(row, 0));
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualRect(list->model()->index(row, 0)).center());
    }

    void import(const QByteArray &vcard)
    {
        const QString path = cards.filePath("people.vcf");
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(vcard);
        file.close();
        VCardImportReport report;
        std::optional<ABError> error;
        QVERIFY(ABAddressBookImportVCardFiles({path}, &report, &error));
    }

private Q_SLOTS:
    void initTestCase() { import(people); }

    void init()
    {
        modem = RecordingBackend::install();
        app = std::make_unique<LaunchedApplication>();
        dialPad = app->delegate()->dialerPadViewController;
        dialPad->lblNumberField->setText("555");
    }
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
        QCOMPARE(dialPad->lblNumberField->text(), "555");
    }

    void personWithoutNumbersLeavesTheNumber()
    {
        tapPerson(openPicker(), "Nina Nobody");
        QVERIFY(!dialPad->modalViewController());
        QTest::qWait(3 * DialerPadViewController::phoneNumberOptionsDelayMilliseconds);
        QVERIFY(!dialPad->modalViewController());
        QCOMPARE(dialPad->lblNumberField->text(), "555");
    }

    void oneNumberReplacesTheLabelVerbatim()
    {
        tapPerson(openPicker(), "Sam Single");
        QVERIFY(!dialPad->modalViewController());
        QCOMPARE(dialPad->lblNumberField->text(), "+7 (916) 123-45-67");
    }

    void severalNumbersAreOfferedThenTheChosenOneDialled()
    {
        tapPerson(openPicker(), "Тимофей Ёлкин");
        QVERIFY(!dialPad->modalViewController());
        QTRY_VERIFY(dialPad->modalViewController());
        auto *navigation = qobject_cast<UINavigationController *>(dialPad->modalViewController());
        auto *list = qobject_cast<ContactPhoneNumbers *>(navigation->topViewController());
        QCOMPARE(list->arrPhoneNumbers,
                 (QStringList{"+7 916 000-00-01", "8 (495) 111-22-33", "+7 916 000-00-01"}));
        QCOMPARE(list->tableView()->numberOfRows(), 3);
        QCOMPARE(dialPad->lblNumberField->text(), "555");

        UITableViewCell *second = list->tableView()->cellForRowAtIndexPath({0, 1});
        QCOMPARE(second->textLabel()->text(), "8 (495) 111-22-33");
        QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(dialPad->lblNumberField->text(), "8 (495) 111-22-33");
        QTRY_VERIFY(!dialPad->modalViewController());

        QTest::mouseClick(dialPad->btnCall, Qt::LeftButton);
        QCOMPARE(modem->dialled, QStringList{"14684951112233#"});
        const auto log = ReadPropertyListArray(DocumentsDirectory() + "/calllog.plist");
        QCOMPARE(CallLogEntry(log->last()).phoneNumber(), "8 (495) 111-22-33");
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
