#include "AboutViewController.h"
#include "HelpViewController.h"
#include "MoreViewController.h"
#include "Platform/UI/TabBarController.h"
#include "Platform/UI/UINavigationBar.h"
#include "Platform/UI/UINavigationController.h"
#include "support/LaunchedApplication.h"
#include "support/Tap.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QPushButton>
#include <QToolButton>

class MoreAboutHelpTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchedApplication> app;
    UINavigationController *navigation = nullptr;
    MoreViewController *more = nullptr;

    void launch(const QString &language)
    {
        app.reset();
        app = std::make_unique<LaunchedApplication>(QVariantMap{{"current_language", language}});
        navigation =
            qobject_cast<UINavigationController *>(app->delegate()->mainTab->viewControllerAt(3));
        more = qobject_cast<MoreViewController *>(navigation->topViewController());
        app->delegate()->mainTab->setSelectedIndex(3);
    }

    void tapRow(int row)
    {
        UITableViewCell *cell = more->tableView()->cellForRowAtIndexPath({0, row});
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(20, 20));
    }

private Q_SLOTS:
    void cleanup() { app.reset(); }

    void oneRowTitledByLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("screenTitle");
        QTest::addColumn<QString>("rowTitle");
        QTest::newRow("english") << "english"
                                 << "More"
                                 << "About";
        QTest::newRow("russian") << "russian"
                                 << "Подробнее"
                                 << "О программе";
    }

    void oneRowTitledByLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QString, screenTitle);
        QFETCH(QString, rowTitle);
        launch(language);
        QCOMPARE(more->tableView()->numberOfRows(), 1);
        UITableViewCell *cell = more->tableView()->cellForRowAtIndexPath({0, 0});
        QCOMPARE(cell->textLabel()->text(), rowTitle);
        QCOMPARE(cell->accessoryType(), UITableViewCellAccessoryDisclosureIndicator);
        QCOMPARE(more->title(), screenTitle);
        QCOMPARE(navigation->navigationBar()->title(), screenTitle);
        QCOMPARE(more->GetTitleOfMoreItemsAtIndex(1), QString());
        QCOMPARE(more->GetTitleOfMoreItemsAtIndex(-1), QString());
        QCOMPARE(more->GetImageOfMoreItemsAtIndex(0), QString());
    }

    void aboutIsPushedAndPoppedBack()
    {
        launch("english");
        tapRow(0);
        QCOMPARE(navigation->topViewController(), more->objAboutViewController);
        QCOMPARE(more->objAboutViewController->title(), "About");
        QTRY_COMPARE(more->objAboutViewController->pos(), QPoint(0, 0));
        QVERIFY(more->objAboutViewController->isVisible());
        QVERIFY(more->objAboutViewController->contentText().contains("Simulated operator"));
        QVERIFY(more->objAboutViewController->contentText().contains("GNU General Public License"));

        QToolButton *back = navigation->navigationBar()->backButton();
        QVERIFY(back->isVisible());
        tap(back);
        QCOMPARE(navigation->topViewController(), more);
        QTRY_VERIFY(!more->tableView()->cellForRowAtIndexPath({0, 0})->isSelected());
        QVERIFY(!back->isVisible());
    }

    void aboutAndHelpTitlesFollowTheLanguage()
    {
        launch("russian");
        more->DisplayAboutView();
        QCOMPARE(more->objAboutViewController->title(), "О программе");
        QVERIFY(more->objAboutViewController->contentText().contains("Лицензия"));
        QVERIFY(more->objAboutViewController->contentText().contains("Имитация оператора"));
        QVERIFY(!more->objAboutViewController->contentText().contains("Simulated"));
        more->DisplayHelpView();
        QCOMPARE(more->objHelpViewController->title(), "Помощь");
        QVERIFY(more->objHelpViewController->contentText().contains("Автоответчик"));
        navigation->popViewControllerAnimated(false);
        navigation->popViewControllerAnimated(false);

        app->delegate()->g_strCurrentLenguage = "english";
        more->DisplayHelpView();
        QCOMPARE(more->objHelpViewController->title(), "Help");
        QVERIFY(more->objHelpViewController->contentText().contains("Hold the 0 key"));
    }

    void aboutNamesTheAddressBook_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("line");
        QTest::newRow("english") << "english"
                                 << "Address book: Molvane's own file";
        QTest::newRow("russian") << "russian"
                                 << "Адресная книга: собственный файл Molvane";
    }

    void aboutNamesTheAddressBook()
    {
        QFETCH(QString, language);
        QFETCH(QString, line);
        launch(language);
        tapRow(0);
        QVERIFY2(more->objAboutViewController->contentText().contains(line),
                 qPrintable(more->objAboutViewController->contentText()));
    }

    void aboutLeadsToHelp()
    {
        launch("english");
        more->DisplayAboutView();
        auto *helpButton = more->objAboutViewController->findChild<QPushButton *>("btnHelp");
        QCOMPARE(helpButton->accessibleName(), "How to use Molvane");
        QTest::mouseClick(helpButton, Qt::LeftButton);
        QCOMPARE(navigation->topViewController(), more->objHelpViewController);
        QCOMPARE(navigation->viewControllers().size(), 3);
    }
};

MOLVANE_TEST_MAIN(MoreAboutHelpTest)
#include "tst_MoreAboutHelp.moc"
