#include "ABContactsHelper.h"
#include "DialerPadViewController.h"
#include "Platform/AddressBook/ABPeoplePickerNavigationController.h"
#include "Platform/AddressBook/ABSQLiteStore.h"
#include "Platform/AddressBook/ABStore.h"
#include "Platform/AddressBook/ABVCardFolderStore.h"
#include "Platform/UI/UIAlertView.h"
#include "Platform/UI/UINavigationBar.h"
#include "Platform/UI/UINavigationController.h"
#include "support/DialPadScreen.h"
#include "support/EdsDaemons.h"
#include "support/LaunchedApplication.h"
#include "support/PickerTaps.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QAbstractButton>
#include <QDir>
#include <QLabel>
#include <QListView>
#include <QProcess>
#include <QToolButton>

// The picker over the phone's own address book, as another app fills it: evolution-data-server
// as GNOME Contacts writes it, and Plasma's folder of vCard files. Everything through taps.
namespace {
const QString sourceDir = qEnvironmentVariable("MOLVANE_SOURCE_DIR");

struct Person
{
    QString given;
    QString family;
    QList<std::pair<QString, QString>> phones; // kind (cell, home, work, voice), number
};

QByteArray phonesJson(const QList<std::pair<QString, QString>> &phones)
{
    QStringList pairs;
    for (const auto &[kind, number] : phones)
        pairs << QStringLiteral("[\"%1\", \"%2\"]").arg(kind, number);
    return pairs.join(", ").toUtf8();
}

// Another app writes the person, the way apps of that address book do.
void addElsewhere(const QString &backend, const Person &person)
{
    if (backend == "eds") {
        QProcess client;
        client.start("/usr/bin/python3", {sourceDir + "/tests/support/eds_client.py", "add-json"});
        client.write(QStringLiteral("[{\"given\": \"%1\", \"family\": \"%2\", \"phones\": [")
                         .arg(person.given, person.family)
                         .toUtf8() +
                     phonesJson(person.phones) + "]}]");
        client.closeWriteChannel();
        QVERIFY(client.waitForFinished(30000) && client.exitCode() == 0);
        return;
    }
    QString card = QStringLiteral("BEGIN:VCARD\r\nVERSION:3.0\r\nN:%2;%1;;;\r\nFN:%1 %2\r\n")
                       .arg(person.given, person.family);
    for (const auto &[kind, number] : person.phones)
        card += QStringLiteral("TEL;TYPE=%1:%2\r\n").arg(kind.toUpper(), number);
    QDir().mkpath(ABVCardFolderStore::defaultPath() + "/own");
    QFile file(ABVCardFolderStore::defaultPath() + "/own/" + person.given + ".vcf");
    QVERIFY(file.open(QIODevice::WriteOnly));
    file.write((card + "END:VCARD\r\n").toUtf8());
}
} // namespace

class ContactPickingPhoneBookTest : public QObject
{
    Q_OBJECT

    EdsDaemons eds;
    std::unique_ptr<LaunchedApplication> app;
    DialerPadViewController *dialPad = nullptr;
    DialPadScreen screen() const { return DialPadScreen(dialPad); }

    ABPeoplePickerNavigationController *openPicker() { return ::openPicker(dialPad); }

private Q_SLOTS:
    void initTestCase() { QVERIFY(eds.start()); }

    void init()
    {
        const QString backend = QString::fromLatin1(QTest::currentDataTag());
        ABStore::closeShared();
        qputenv("MOLVANE_ADDRESS_BOOK", backend.toUtf8());
        RecordingBackend::install();
        app = std::make_unique<LaunchedApplication>(
            QVariantMap{{"current_language", QString("english")}});
        dialPad = app->delegate()->dialerPadViewController;
        screen().enter("555");
    }

    void cleanup()
    {
        app.reset();
        ABStore::closeShared();
    }

    void backends_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::newRow("eds") << QString("eds");
        QTest::newRow("folder") << QString("folder");
    }

    void anotherAppsContactsArePickedAndArriveLive_data() { backends_data(); }
    void anotherAppsContactsArePickedAndArriveLive()
    {
        QFETCH(QString, backend);
        addElsewhere(
            backend,
            {"Vera", "Volkova", {{"cell", "+7 916 700-00-01"}, {"home", "8 (495) 700-00-02"}}});
        ABPeoplePickerNavigationController *picker = openPicker();
        QVERIFY(picker);
        QTRY_VERIFY(picker->listedNames().contains("Vera Volkova"));

        addElsewhere(backend, {"Gleb", "Glebov", {{"work", "+7 812 700-00-03"}}});
        QTRY_VERIFY(picker->listedNames().contains("Gleb Glebov"));

        QVERIFY(tapPerson(picker, "Vera Volkova"));
        QTRY_VERIFY(dialPad->modalViewController());
        auto *navigation = qobject_cast<UINavigationController *>(dialPad->modalViewController());
        auto *numbers = qobject_cast<ContactPhoneNumbers *>(navigation->topViewController());
        QVERIFY(numbers);
        QCOMPARE(numbers->arrPhoneNumbers, (QStringList{"+7 916 700-00-01", "8 (495) 700-00-02"}));
        UITableViewCell *home = numbers->tableView()->cellForRowAtIndexPath({0, 1});
        QTest::mouseClick(home, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(screen().number->text(), "8 (495) 700-00-02");
    }

    void ownContactsAreOfferedOnceAndCopied_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::newRow("eds") << QString("eds");
    }
    void ownContactsAreOfferedOnceAndCopied()
    {
        ABStore::closeShared();
        qputenv("MOLVANE_ADDRESS_BOOK", "sqlite");
        ABContactRef kept = ABContact::contact();
        kept->setFirstname("Olga");
        kept->setLastname("Oldfile");
        QVERIFY(ABContactsHelper::addContact(*kept, nullptr));
        ABStore::closeShared();
        qputenv("MOLVANE_ADDRESS_BOOK", "eds");

        ABPeoplePickerNavigationController *picker = openPicker();
        QTRY_COMPARE(UIAlertView::visibleAlerts().size(), 1);
        UIAlertView *offer = UIAlertView::visibleAlerts().constFirst();
        QVERIFY(offer->informativeText().contains("own address book: 1."));
        QAbstractButton *copy = nullptr;
        for (QAbstractButton *button : offer->buttons())
            if (button->text() == "Copy")
                copy = button;
        QVERIFY(copy);
        QTest::mouseClick(copy, Qt::LeftButton);
        QTRY_VERIFY(picker->listedNames().contains("Olga Oldfile"));
        QVERIFY(QFile::exists(ABSQLiteStore::defaultPath()));

        QTest::mouseClick(picker->navigationBar()->rightButton(), Qt::LeftButton);
        QTRY_VERIFY(!dialPad->modalViewController());
        picker = openPicker();
        QTRY_VERIFY(picker->listedNames().contains("Olga Oldfile"));
        QVERIFY(UIAlertView::visibleAlerts().isEmpty());
    }

    void daemonsStoppedWhileThePickerIsOpen_data()
    {
        QTest::addColumn<QString>("backend");
        QTest::newRow("eds") << QString("eds");
    }
    void daemonsStoppedWhileThePickerIsOpen()
    {
        addElsewhere("eds", {"Stoyan", "Stoikov", {{"cell", "+7 916 700-00-04"}}});
        ABPeoplePickerNavigationController *picker = openPicker();
        QTRY_VERIFY(picker->listedNames().contains("Stoyan Stoikov"));

        QVERIFY(eds.stop());
        QTRY_VERIFY(picker->emptyMessage()->isVisible());
        QVERIFY2(picker->emptyMessage()->text().contains("not available"),
                 qPrintable(picker->emptyMessage()->text()));
        QVERIFY(picker->listedNames().isEmpty());

        QVERIFY(eds.start());
        QTRY_VERIFY_WITH_TIMEOUT(picker->listedNames().contains("Stoyan Stoikov"), 15000);
        QVERIFY(!picker->emptyMessage()->isVisible());
    }
};

MOLVANE_TEST_MAIN(ContactPickingPhoneBookTest)
#include "tst_ContactPickingPhoneBook.moc"
