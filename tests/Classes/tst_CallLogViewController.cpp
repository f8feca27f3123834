#include "CallLogStore.h"
#include "CallLogViewController.h"
#include "DialerPadViewController.h"
#include "Platform/Files/DocumentsDirectory.h"
#include "Platform/Files/PropertyList.h"
#include "Platform/Telephony/TelephonyService.h"
#include "Platform/UI/EmptyStateView.h"
#include "Platform/UI/TabBarController.h"
#include "support/CallLogFiles.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QPushButton>

class CallLogViewControllerTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchedApplication> app;
    RecordingBackend *modem = nullptr;
    CallLogViewController *recent = nullptr;

    void launch(const QVariantMap &preferences = {})
    {
        app.reset();
        modem = RecordingBackend::install();
        app = std::make_unique<LaunchedApplication>(preferences);
        recent =
            qobject_cast<CallLogViewController *>(app->delegate()->mainTab->viewControllerAt(1));
    }

    void showRecent() { app->delegate()->mainTab->setSelectedIndex(1); }

    QStringList rowTitles() const
    {
        QStringList titles;
        for (UITableViewCell *cell : recent->tblCallLog->visibleCells())
            titles << cell->textLabel()->text() + " | " + cell->detailTextLabel()->text();
        return titles;
    }

    QPushButton *callButtonOfRow(int row) const
    {
        return recent->tblCallLog->cellForRowAtIndexPath({0, row})
            ->contentView()
            ->findChild<QPushButton *>();
    }

    UIAlertView *confirmClear()
    {
        QTest::mouseClick(recent->btnClearCallLog, Qt::LeftButton);
        const auto alerts = UIAlertView::visibleAlerts();
        return alerts.isEmpty() ? nullptr : alerts.last();
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(callLogPath());
        launch();
    }
    void cleanup()
    {
        for (UIAlertView *alert : UIAlertView::visibleAlerts())
            alert->close();
        app.reset();
    }

    void missingOrEmptyLogShowsNoRows()
    {
        showRecent();
        QCOMPARE(recent->tblCallLog->numberOfRows(), 0);
        QVERIFY(recent->btnClearCallLog->isHidden());
        QCOMPARE(recent->title(), "Call Log");

        // A log that cannot be read looks empty too.
        QFile::remove(callLogPath());
        QVERIFY(QDir().mkpath(callLogPath()));
        app->delegate()->mainTab->setSelectedIndex(0);
        showRecent();
        QCOMPARE(recent->tblCallLog->numberOfRows(), 0);
        QVERIFY(recent->btnClearCallLog->isHidden());
        QDir(callLogPath()).removeRecursively();
    }

    void emptyLogSaysSoUntilARequestIsLogged_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QString>("saying");
        QTest::newRow("english") << "english"
                                 << "No requests yet";
        QTest::newRow("russian") << "russian"
                                 << "Запросов пока нет";
    }

    void emptyLogSaysSoUntilARequestIsLogged()
    {
        QFETCH(QString, language);
        QFETCH(QString, saying);
        launch({{"current_language", language}});
        showRecent();
        QVERIFY(recent->vwEmptyLog->isVisible());
        QCOMPARE(recent->vwEmptyLog->text(), saying);
        CallLogStore::shared().record(CallLogEntry("+7999", "2026-12-08 at 12:00"));
        QVERIFY(!recent->vwEmptyLog->isVisible());
        confirmClear()->dismissWithClickedButtonIndex(0);
        QVERIFY(recent->vwEmptyLog->isVisible());
    }

    void entriesShowInStoredOrder()
    {
        WritePropertyListAtomically(callLogPath(), callLogOf({"+123", "812", "00123"}));
        showRecent();
        QCOMPARE(rowTitles(),
                 (QStringList{"+123 | 2026-12-01 at 10:00", "812 | 2026-12-02 at 10:00",
                              "00123 | 2026-12-03 at 10:00"}));
        QVERIFY(!recent->btnClearCallLog->isHidden());
        QCOMPARE(callButtonOfRow(2)->accessibleName(), "Call again");
        // The button is a thumb's size and lies whole inside its row.
        QCOMPARE(callButtonOfRow(2)->geometry().size(), QSize(56, 44));
        QVERIFY(
            callButtonOfRow(2)->parentWidget()->rect().contains(callButtonOfRow(2)->geometry()));
    }

    void clearingAsksFirst()
    {
        WritePropertyListAtomically(callLogPath(), callLogOf({"+123", "812"}));
        showRecent();
        UIAlertView *alert = confirmClear();
        QVERIFY(alert);
        QCOMPARE(alert->text(), "Clear log?");
        QCOMPARE(alert->informativeText(),
                 "This action will clear the call log! Are you sure you want to continue?");
        QCOMPARE(alert->buttonTitleAtIndex(0), "YES");
        QCOMPARE(alert->buttonTitleAtIndex(1), "NO");
        alert->dismissWithClickedButtonIndex(1);
        QCOMPARE(ReadPropertyListArray(callLogPath())->size(), 2);
        QCOMPARE(recent->tblCallLog->numberOfRows(), 2);

        confirmClear()->dismissWithClickedButtonIndex(0);
        QCOMPARE(ReadPropertyListArray(callLogPath()), CallLog());
        QCOMPARE(recent->tblCallLog->numberOfRows(), 0);
        QVERIFY(recent->btnClearCallLog->isHidden());
    }

    void tappingARowDialsNothing()
    {
        WritePropertyListAtomically(callLogPath(), callLogOf({"+123"}));
        showRecent();
        UITableViewCell *cell = recent->tblCallLog->cellForRowAtIndexPath({0, 0});
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(20, 20));
        QTRY_VERIFY(!cell->isSelected());
        QVERIFY(modem->dialled.isEmpty());
        QCOMPARE(app->delegate()->mainTab->selectedIndex(), 1);
    }

    void callButtonHandsItsOwnRowOver()
    {
        WritePropertyListAtomically(callLogPath(), callLogOf({"+123", "812", "00123"}));
        showRecent();
        QTest::mouseClick(callButtonOfRow(1), Qt::LeftButton);
        QCOMPARE(app->delegate()->mainTab->selectedIndex(), 0);
        QCOMPARE(modem->dialled, QStringList{"146812#"});

        // Reloaded with other rows, the reused cells name their new rows.
        WritePropertyListAtomically(callLogPath(), callLogOf({"555", "+7", "777"}));
        showRecent();
        QTest::mouseClick(callButtonOfRow(0), Qt::LeftButton);
        QCOMPARE(modem->dialled.last(), "146555#");
        QCOMPARE(modem->dialled.size(), 2);
    }

    void russianTexts()
    {
        launch({{"current_language", "russian"}});
        WritePropertyListAtomically(callLogPath(), callLogOf({"+123"}));
        showRecent();
        QCOMPARE(recent->title(), "Журнал вызовов");
        QCOMPARE(recent->btnClearCallLog->text(), "Очистить журнал");
        UIAlertView *alert = confirmClear();
        QCOMPARE(alert->text(), "Очистить журнал?");
        QCOMPARE(alert->informativeText(), "Вы уверены, что хотите продолжить?");
        QCOMPARE(alert->buttonTitleAtIndex(0), "ДА");
        QCOMPARE(alert->buttonTitleAtIndex(1), "НЕТ");
    }

    void requestAppearsLastAndCallsAgainOnce()
    {
        WritePropertyListAtomically(callLogPath(), callLogOf({"812", "555"}));
        DialerPadViewController *dialPad = app->delegate()->dialerPadViewController;
        DialPadScreen(dialPad).enter("+123");
        QTest::mouseClick(DialPadScreen(dialPad).call, Qt::LeftButton);
        showRecent();
        QCOMPARE(recent->tblCallLog->numberOfRows(), 3);
        QVERIFY(rowTitles().last().startsWith("+123 | "));

        QTest::mouseClick(callButtonOfRow(0), Qt::LeftButton);
        QCOMPARE(modem->dialled, (QStringList{"*146*00123#", "146812#"}));
        showRecent();
        const QStringList rows = rowTitles();
        QCOMPARE(rows.size(), 3);
        QVERIFY(rows.first().startsWith("555 | "));
        QVERIFY(rows.last().startsWith("812 | "));
        QVERIFY(!rows.last().endsWith("2026-12-01 at 10:00"));
    }

    void opensOnTheNewestRequest()
    {
        QStringList numbers;
        for (int number = 100; number < 130; ++number)
            numbers << QString::number(number);
        WritePropertyListAtomically(callLogPath(), callLogOf(numbers));
        showRecent();
        QTRY_VERIFY(rowTitles().contains("129 | 2026-12-30 at 10:00"));
        QVERIFY(!rowTitles().contains("100 | 2026-12-01 at 10:00"));
    }

    // A request recorded while Recent is open (a number handed over from the command line)
    // shows at once, and so does a cleared log.
    void followsTheLogWhileShown()
    {
        showRecent();
        CallLogStore::shared().record(CallLogEntry("+7999", "2026-12-08 at 12:00"));
        QCOMPARE(rowTitles(), QStringList{"+7999 | 2026-12-08 at 12:00"});
        QVERIFY(!recent->btnClearCallLog->isHidden());
        // What a change carries is shown as it is: the file is not read again.
        Q_EMIT CallLogStore::shared().changed(callLogOf({"555"}));
        QCOMPARE(rowTitles(), QStringList{"555 | 2026-12-01 at 10:00"});
        CallLogStore::shared().clear();
        QCOMPARE(recent->tblCallLog->numberOfRows(), 0);
    }

    void manyEntriesCostOnlyAScreenfulOfCells()
    {
        QStringList numbers;
        for (int index = 0; index < 2000; ++index)
            numbers << QString::number(1000000 + index);
        WritePropertyListAtomically(callLogPath(), callLogOf(numbers));
        showRecent();
        QCOMPARE(recent->tblCallLog->numberOfRows(), 2000);
        QVERIFY(recent->tblCallLog->findChildren<UITableViewCell *>().size() < 40);
        recent->tblCallLog->scrollToRow(1999);
        QTRY_VERIFY(recent->tblCallLog->cellForRowAtIndexPath({0, 1999}));
        QTest::mouseClick(callButtonOfRow(1999), Qt::LeftButton);
        QCOMPARE(modem->dialled, QStringList{"1461001999#"});
    }
};

MOLVANE_TEST_MAIN(CallLogViewControllerTest)
#include "tst_CallLogViewController.moc"
