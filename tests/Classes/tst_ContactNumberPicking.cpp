#include "ContactNumberPicking.h"
#include "Platform/AddressBook/VCardImport.h"
#include "Platform/UI/UINavigationBar.h"
#include "Platform/UI/UINavigationController.h"
#include "Platform/UI/UITableViewCell.h"
#include "support/PickerTaps.h"
#include "support/TestMain.h"

#include <QAccessible>
#include <QLabel>
#include <QSignalSpy>
#include <QTemporaryFile>
#include <QToolButton>

namespace {
// One person with no number, one with one, one with one number twice, and one with seven: two
// of them equal but of different kinds, one the same number of the same kind as another, one
// labelled by the card itself and one with no type at all.
const char *const people =
    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Nina Nobody\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Sam Single\r\n"
    "TEL;TYPE=CELL:+7 (916) 123-45-67\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Dora Double\r\nTEL;TYPE=CELL:+7 916 222-33-44\r\n"
    "TEL;TYPE=CELL:+7 916 222-33-44\r\nEND:VCARD\r\n"
    "BEGIN:VCARD\r\nVERSION:3.0\r\nFN:Тимофей Ёлкин\r\nTEL;TYPE=CELL:+7 916 000-00-01\r\n"
    "TEL;TYPE=HOME:8 (495) 111-22-33\r\nTEL;TYPE=WORK:+7 916 000-00-01\r\n"
    "TEL;TYPE=WORK,FAX:8 (495) 111-22-44\r\nTEL;TYPE=X-дача:8 (496) 5-55-55\r\n"
    "TEL;TYPE=HOME:8 (495) 111-22-33\r\nTEL:8 (499) 000-00-00\r\nEND:VCARD\r\n";
} // namespace

// The flow over a bare screen of its own, in either language.
class ContactNumberPickingTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<ViewController> presenter;
    ContactNumberPicking *picking = nullptr;
    std::unique_ptr<QSignalSpy> picked;
    bool english = true;

    QTimer *numberListDelay() const
    {
        return picking->findChild<QTimer *>("PhoneNumberOptionsDelay");
    }

    void pick(const QString &name)
    {
        picking->start();
        QVERIFY(tapPerson(pickerShownBy(presenter.get()), name));
        QVERIFY(!presenter->modalViewController());
    }

    // The list of numbers, once the delay that lets the picker go first has run out.
    ContactPhoneNumbers *numberList() const
    {
        if (!numberListDelay()->isActive())
            return nullptr;
        numberListDelay()->start(0);
        if (!QTest::qWaitFor([this] { return presenter->modalViewController() != nullptr; }))
            return nullptr;
        auto *navigation = qobject_cast<UINavigationController *>(presenter->modalViewController());
        return qobject_cast<ContactPhoneNumbers *>(navigation->topViewController());
    }

private Q_SLOTS:
    void initTestCase()
    {
        QTemporaryFile cards;
        QVERIFY(cards.open());
        cards.write(people);
        cards.close();
        VCardImportReport report;
        std::optional<ABError> error;
        QVERIFY(ABAddressBookImportVCardFiles({cards.fileName()}, &report, &error));
    }

    void init()
    {
        presenter = std::make_unique<ViewController>();
        presenter->resize(360, 640);
        presenter->show();
        QVERIFY(QTest::qWaitForWindowExposed(presenter.get()));
        picking = new ContactNumberPicking(presenter.get(), Localizer([this] { return english; }));
        picked = std::make_unique<QSignalSpy>(picking, &ContactNumberPicking::numberPicked);
    }

    void cleanup()
    {
        picked.reset();
        presenter.reset();
        english = true;
    }

    void oneNumberIsPickedVerbatim_data()
    {
        QTest::addColumn<QString>("person");
        QTest::addColumn<QString>("number");
        QTest::newRow("one number") << "Sam Single"
                                    << "+7 (916) 123-45-67";
        QTest::newRow("the same number twice") << "Dora Double"
                                               << "+7 916 222-33-44";
    }

    void oneNumberIsPickedVerbatim()
    {
        QFETCH(QString, person);
        QFETCH(QString, number);
        pick(person);
        QCOMPARE(picked->size(), 1);
        QCOMPARE(picked->first().first(), number);
        QVERIFY(!numberListDelay()->isActive());
    }

    void personWithoutNumbersGivesNothing()
    {
        pick("Nina Nobody");
        QVERIFY(picked->isEmpty());
        QVERIFY(!numberListDelay()->isActive());
    }

    void severalNumbersAreListedAndTheChosenOnePicked()
    {
        pick("Тимофей Ёлкин");
        QVERIFY(picked->isEmpty());
        QCOMPARE(numberListDelay()->interval(),
                 ContactNumberPicking::phoneNumberOptionsDelayMilliseconds);
        ContactPhoneNumbers *list = numberList();
        QVERIFY(list);
        QCOMPARE(list->arrPhoneNumbers,
                 (QStringList{"+7 916 000-00-01", "8 (495) 111-22-33", "+7 916 000-00-01",
                              "8 (495) 111-22-44", "8 (496) 5-55-55", "8 (499) 000-00-00"}));
        UITableViewCell *second = list->tableView()->cellForRowAtIndexPath({0, 1});
        QTest::mouseClick(second, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(picked->size(), 1);
        QCOMPARE(picked->first().first(), "8 (495) 111-22-33");
        QTRY_VERIFY(!presenter->modalViewController());
    }

    void numbersAreLabelledInTheScreensLanguage_data()
    {
        QTest::addColumn<bool>("inEnglish");
        QTest::addColumn<QStringList>("labels");
        QTest::addColumn<QString>("back");
        QTest::newRow("english") << true << QStringList{"Mobile",   "Home", "Work",
                                                        "Work fax", "дача", "Other"}
                                 << "Back";
        QTest::newRow("russian") << false << QStringList{"Мобильный",    "Домашний", "Рабочий",
                                                         "Рабочий факс", "дача",     "Другой"}
                                 << "Назад";
    }

    void numbersAreLabelledInTheScreensLanguage()
    {
        QFETCH(bool, inEnglish);
        QFETCH(QStringList, labels);
        QFETCH(QString, back);
        english = inEnglish;
        pick("Тимофей Ёлкин");
        ContactPhoneNumbers *list = numberList();
        QVERIFY(list);
        QCOMPARE(list->tableView()->numberOfRows(), labels.size());
        QCOMPARE(list->navigationController()->navigationBar()->backButton()->accessibleName(),
                 back);
        for (int row = 0; row < int(labels.size()); ++row) {
            UITableViewCell *cell = list->tableView()->cellForRowAtIndexPath({0, row});
            QVERIFY(cell);
            QCOMPARE(cell->detailTextLabel()->text(), labels[row]);
            QVERIFY(cell->detailTextLabel()->isVisible());
            // A screen reader says the number and its kind together.
            QCOMPARE(QAccessible::queryAccessibleInterface(cell)->text(QAccessible::Name),
                     list->arrPhoneNumbers[row] + ", " + labels[row]);
        }
    }
};

MOLVANE_TEST_MAIN(ContactNumberPickingTest)
#include "tst_ContactNumberPicking.moc"
