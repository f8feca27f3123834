#include "CallLogViewController.h"
#include "DialerPadViewController.h"
#include "MoreViewController.h"
#include "Platform/Files/PropertyList.h"
#include "Platform/UI/TabBarController.h"
#include "Platform/UI/UINavigationBar.h"
#include "Platform/UI/UINavigationController.h"
#include "Platform/UI/UISegmentedControl.h"
#include "Platform/UI/UISwitch.h"
#include "Platform/UI/UITableViewCell.h"
#include "SettingViewController.h"
#include "support/CallLogFiles.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/TestMain.h"

#include <QAccessible>
#include <QAccessibleActionInterface>
#include <QLabel>
#include <QPushButton>
#include <QToolButton>

namespace {
// Performs the control's first accessible action, as a screen reader's activation does.
void act(QWidget *control)
{
    QAccessibleInterface *accessible = QAccessible::queryAccessibleInterface(control);
    QVERIFY(accessible && accessible->actionInterface());
    const QStringList actions = accessible->actionInterface()->actionNames();
    QVERIFY(!actions.isEmpty());
    accessible->actionInterface()->doAction(actions.first());
}
} // namespace

// What a tap does, the control's accessible action does too.
class AccessibleActionsTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchedApplication> app;
    SettingViewController *settings = nullptr;

    UITableViewCell *row(int index) const
    {
        return settings->tblSettings->visibleCells().value(index);
    }

private Q_SLOTS:
    void init()
    {
        app = std::make_unique<LaunchedApplication>();
        app->delegate()->mainTab->setSelectedIndex(2);
        settings = qobject_cast<SettingViewController *>(app->delegate()->mainTab->currentWidget());
    }

    void cleanup() { app.reset(); }

    void switchesStoreTheirSetting_data()
    {
        QTest::addColumn<int>("row");
        QTest::addColumn<QString>("key");
        QTest::newRow("auto-answer") << 0 << "enable_autoanswer";
        QTest::newRow("key tones") << 1 << "keypad_tone";
    }

    void switchesStoreTheirSetting()
    {
        QFETCH(int, row);
        QFETCH(QString, key);
        auto *control = this->row(row)->findChild<UISwitch *>();
        act(control);
        QVERIFY(control->isOn());
        QVERIFY(UserDefaults::standardUserDefaults().boolForKey(key));
        act(control);
        QVERIFY(!UserDefaults::standardUserDefaults().boolForKey(key));
    }

    void languageSegmentsChangeTheLanguage()
    {
        auto *languages = row(2)->findChild<UISegmentedControl *>();
        act(languages->findChildren<QPushButton *>().at(1));
        QCOMPARE(app->delegate()->g_strCurrentLenguage, "russian");
        QCOMPARE(settings->title(), "Настройки");
        act(languages->findChildren<QPushButton *>().at(0));
        QCOMPARE(app->delegate()->g_strCurrentLenguage, "english");
    }

    // What a screen reader says of the dial pad, in the screen's language; labels whose text
    // changes are named by that text.
    void dialPadSpeaksTheScreensLanguage_data()
    {
        QTest::addColumn<QString>("language");
        QTest::addColumn<QStringList>("names");
        QTest::addColumn<QStringList>("descriptions");
        QTest::newRow("english") << "english"
                                 << QStringList{"Call", "Delete", "Contacts", "Edit number"}
                                 << QStringList{"Number", "Status"};
        QTest::newRow("russian") << "russian"
                                 << QStringList{"Вызов", "Удалить", "Контакты", "Изменить номер"}
                                 << QStringList{"Номер", "Состояние"};
    }

    void dialPadSpeaksTheScreensLanguage()
    {
        QFETCH(QString, language);
        QFETCH(QStringList, names);
        QFETCH(QStringList, descriptions);
        app->delegate()->g_strCurrentLenguage = language;
        app->delegate()->mainTab->setSelectedIndex(0);
        const DialPadScreen screen(app->delegate()->dialerPadViewController);
        const auto spoken = [](QWidget *control, QAccessible::Text text) {
            return QAccessible::queryAccessibleInterface(control)->text(text);
        };
        QCOMPARE((QStringList{spoken(screen.call, QAccessible::Name),
                              spoken(screen.erase, QAccessible::Name),
                              spoken(screen.contacts, QAccessible::Name),
                              spoken(screen.edit, QAccessible::Name)}),
                 names);
        QCOMPARE((QStringList{spoken(screen.number, QAccessible::Description),
                              spoken(screen.status, QAccessible::Description)}),
                 descriptions);

        screen.enter("812");
        screen.status->setText("We will call you back");
        QCOMPARE(spoken(screen.number, QAccessible::Name), "812");
        QCOMPARE(spoken(screen.status, QAccessible::Name), "We will call you back");
    }

    void backAndCallAgainSpeakRussian()
    {
        app.reset();
        QVERIFY(WritePropertyListAtomically(callLogPath(), callLogOf({"812"})));
        app = std::make_unique<LaunchedApplication>(QVariantMap{{"current_language", "russian"}});
        app->delegate()->mainTab->setSelectedIndex(1);
        auto *recent =
            qobject_cast<CallLogViewController *>(app->delegate()->mainTab->currentWidget());
        auto *callAgain = recent->tblCallLog->visibleCells().value(0)->findChild<QPushButton *>();
        QCOMPARE(callAgain->accessibleName(), "Позвонить снова");

        app->delegate()->mainTab->setSelectedIndex(3);
        auto *navigation =
            qobject_cast<UINavigationController *>(app->delegate()->mainTab->currentWidget());
        qobject_cast<MoreViewController *>(navigation->topViewController())->DisplayAboutView();
        QCOMPARE(navigation->navigationBar()->backButton()->accessibleName(), "Назад");
        QFile::remove(callLogPath());
    }
};

MOLVANE_TEST_MAIN(AccessibleActionsTest)
#include "tst_AccessibleActions.moc"
