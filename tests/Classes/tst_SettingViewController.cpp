#include "Platform/UI/TabBarController.h"
#include "Platform/UI/UISegmentedControl.h"
#include "Platform/UI/UISwitch.h"
#include "SettingViewController.h"
#include "support/LaunchedApplication.h"
#include "support/TestMain.h"

#include <QLabel>

class SettingViewControllerTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchedApplication> app;
    SettingViewController *settings = nullptr;

    void launch(const QVariantMap &preferences = {})
    {
        app.reset();
        app = std::make_unique<LaunchedApplication>(preferences);
        settings =
            qobject_cast<SettingViewController *>(app->delegate()->mainTab->viewControllerAt(2));
    }

    void showSettings() { app->delegate()->mainTab->setSelectedIndex(2); }
    void leaveSettings() { app->delegate()->mainTab->setSelectedIndex(0); }

    UITableViewCell *row(int section) const
    {
        return settings->tblSettings->cellForRowAtIndexPath({section, 0});
    }
    UISwitch *switchOf(int section) const
    {
        return row(section)->contentView()->findChild<UISwitch *>();
    }
    QLabel *languageCaption() const
    {
        return qobject_cast<QLabel *>(::viewWithTag(row(2)->contentView(), 11));
    }
    UISegmentedControl *languages() const
    {
        return qobject_cast<UISegmentedControl *>(::viewWithTag(row(2), 22));
    }
    static UserDefaults store() { return UserDefaults(UserDefaults::standardFilePath()); }

    QStringList screenTexts() const
    {
        QStringList tabs;
        for (int index = 0; index < 4; ++index)
            tabs << app->delegate()->mainTab->itemTitle(index);
        return {settings->title(),
                row(0)->textLabel()->text(),
                row(1)->textLabel()->text(),
                languageCaption()->text(),
                languages()->titleForSegmentAtIndex(0),
                languages()->titleForSegmentAtIndex(1),
                QString::number(languages()->selectedSegmentIndex()),
                settings->lblWaitForCallBackDelay->text(),
                tabs.join(", "),
                store().objectForKey("current_language").value_or("<absent>")};
    }

private Q_SLOTS:
    void init() { launch(); }
    void cleanup() { app.reset(); }

    void firstAppearanceAfterInstallation()
    {
        QCOMPARE(store().objectForKey("current_language"), std::nullopt);
        QCOMPARE(store().integerForKey("callback_delay"), 0);
        showSettings();
        QVERIFY(!switchOf(0)->isOn());
        QVERIFY(!switchOf(1)->isOn());
        QCOMPARE(switchOf(0)->accessibleName(), "Autoanswer");
        QCOMPARE(screenTexts(), (QStringList{"Settings", "Autoanswer",
                                             "Enable Keypad tone:", "Select Language:", "English",
                                             "Russian", "0", "Wait for callback delay",
                                             "Dial Pad, Recent, Settings, More", "english"}));
        QCOMPARE(store().integerForKey("callback_delay"), 20);
        QCOMPARE(settings->arrCallBackDelay, (QStringList{"10", "20", "30"}));
    }

    void aStoredDelayIsKept()
    {
        launch({{"callback_delay", 30}});
        showSettings();
        QCOMPARE(store().integerForKey("callback_delay"), 30);
    }

    void switchesAreStoredBeforeTheActionReturns()
    {
        showSettings();
        QTest::mouseClick(switchOf(0), Qt::LeftButton);
        QCOMPARE(store().boolForKey("enable_autoanswer"), true);
        QCOMPARE(store().boolForKey("keypad_tone"), false);
        QTest::mouseClick(switchOf(1), Qt::LeftButton);
        QCOMPARE(store().boolForKey("keypad_tone"), true);

        leaveSettings();
        showSettings();
        QVERIFY(switchOf(0)->isOn());
        QVERIFY(switchOf(1)->isOn());
        QTest::mouseClick(switchOf(0), Qt::LeftButton);
        QCOMPARE(store().boolForKey("enable_autoanswer"), false);
        QCOMPARE(store().boolForKey("keypad_tone"), true);
    }

    void choosingRussianAndBack()
    {
        showSettings();
        QTest::mouseClick(languages()->segmentAtIndex(1), Qt::LeftButton);
        QCOMPARE(screenTexts(),
                 (QStringList{"Настройки", "Автоответчик",
                              "Звук клавиатуры:", "Выберите язык:", "Английский", "Русский", "1",
                              "Ждать до окончания задержки перед вызовом",
                              "Клавиатура, Последние, Настройки, Подробнее", "russian"}));
        QCOMPARE(app->delegate()->g_strCurrentLenguage, "russian");
        QCOMPARE(languages()->segmentAtIndex(1)->accessibleName(), "Русский");

        QTest::mouseClick(languages()->segmentAtIndex(0), Qt::LeftButton);
        QCOMPARE(screenTexts(), (QStringList{"Settings", "Autoanswer",
                                             "Enable Keypad tone:", "Select Language:", "English",
                                             "Russian", "0", "Wait for callback delay",
                                             "Dial Pad, Recent, Settings, More", "english"}));
    }

    void storedRussianBuildsRussianRows()
    {
        launch({{"current_language", "russian"}});
        settings->view();
        // Rows as the builder makes them, before any translation has run.
        UITableView *table = settings->tblSettings;
        const std::unique_ptr<UITableViewCell> tones(
            settings->cellForRowAtIndexPath(table, {1, 0}));
        const std::unique_ptr<UITableViewCell> language(
            settings->cellForRowAtIndexPath(table, {2, 0}));
        QCOMPARE(tones->textLabel()->text(), "Звук клавиатуры:");
        QCOMPARE(qobject_cast<QLabel *>(::viewWithTag(language->contentView(), 11))->text(),
                 "Выберите язык:");
        auto *control = qobject_cast<UISegmentedControl *>(::viewWithTag(language.get(), 22));
        QCOMPARE(control->titleForSegmentAtIndex(0), "Английский");
        QCOMPARE(control->selectedSegmentIndex(), 1);
    }

    void unexpectedStoredLanguageBecomesRussian()
    {
        launch({{"current_language", "English"}});
        showSettings();
        QCOMPARE(store().objectForKey("current_language"), "russian");
    }

    // The caption is part of the switch's target: a thumb need not find the switch itself.
    void tappingASwitchRowTogglesIt()
    {
        showSettings();
        UITableViewCell *cell = row(0);
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(20, 20));
        QTRY_VERIFY(!cell->isSelected());
        QVERIFY(switchOf(0)->isOn());
        QCOMPARE(store().boolForKey("enable_autoanswer"), true);
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(20, 20));
        QCOMPARE(store().boolForKey("enable_autoanswer"), false);
        QCOMPARE(store().boolForKey("keypad_tone"), false);
    }

    void sectionsAndHeights()
    {
        settings->view();
        QCOMPARE(settings->numberOfSectionsInTableView(settings->tblSettings), 3);
        QCOMPARE(settings->numberOfRowsInSection(settings->tblSettings, 3), 0);
        QCOMPARE(settings->heightForRowAtIndexPath(settings->tblSettings, {2, 0}), 96.0);
        QCOMPARE(settings->heightForRowAtIndexPath(settings->tblSettings, {0, 0}), 52.0);
    }

    // The delay caption follows the table rather than the bottom of a tall screen.
    void delayCaptionSitsUnderTheTable()
    {
        showSettings();
        app->delegate()->window->resize(360, 900);
        QCoreApplication::processEvents();
        UITableViewCell *lastRow = settings->tblSettings->visibleCells().last();
        const int rowsEnd = lastRow->mapTo(settings, QPoint(0, lastRow->height())).y();
        QVERIFY(settings->lblWaitForCallBackDelay->geometry().top() - rowsEnd < 44);
    }
};

MOLVANE_TEST_MAIN(SettingViewControllerTest)
#include "tst_SettingViewController.moc"
