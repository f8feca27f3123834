#include "CallLogViewController.h"
#include "DialerPadViewController.h"
#include "MolvaneAppDelegate.h"
#include "MoreViewController.h"
#include "Platform/Preferences/UserDefaults.h"
#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/UI/TabBarController.h"
#include "Platform/UI/UINavigationController.h"
#include "SettingViewController.h"
#include "support/TestMain.h"

#include <QFile>

namespace {
const QString languageKey = QStringLiteral("current_language");

void storeLanguage(const std::optional<QString> &language)
{
    QFile::remove(UserDefaults::standardFilePath());
    if (!language)
        return;
    UserDefaults defaults = UserDefaults::standardUserDefaults();
    defaults.setObject(*language, languageKey);
    defaults.synchronize();
}

QStringList tabTitles(const TabBarController *tabs)
{
    QStringList titles;
    for (int index = 0; index < tabs->count(); ++index)
        titles << tabs->itemTitle(index);
    return titles;
}

void ignoreNotification(CTTelephonyCenter *, void *, const QString &, const void *,
                        const QVariantMap &)
{
}
} // namespace

class MolvaneAppDelegateTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<UIApplication> application;

    MolvaneAppDelegate *launch()
    {
        application = std::make_unique<UIApplication>(std::make_unique<MolvaneAppDelegate>());
        application->finishLaunching();
        return MolvaneAppDelegate::shared();
    }

private Q_SLOTS:
    void cleanup()
    {
        if (application)
            application->terminate();
        application.reset();
    }

    void mainLayoutMakesTheWindowAndFourScreensInOrder()
    {
        storeLanguage(std::nullopt);
        MolvaneAppDelegate *delegate = launch();
        QVERIFY(delegate->window->isVisible());
        QVERIFY(delegate->window->width() >= 320 && delegate->window->width() <= 400);
        QVERIFY(delegate->window->height() >= 600);
        TabBarController *tabs = delegate->mainTab;
        QCOMPARE(tabs->count(), 4);
        QVERIFY(qobject_cast<DialerPadViewController *>(tabs->viewControllerAt(0)));
        QVERIFY(qobject_cast<CallLogViewController *>(tabs->viewControllerAt(1)));
        QVERIFY(qobject_cast<SettingViewController *>(tabs->viewControllerAt(2)));
        auto *more = qobject_cast<UINavigationController *>(tabs->viewControllerAt(3));
        QVERIFY(more);
        QVERIFY(qobject_cast<MoreViewController *>(more->topViewController()));
        QCOMPARE(delegate->dialerPadViewController, tabs->viewControllerAt(0));
        QCOMPARE(tabs->selectedIndex(), 0);
    }

    void startUpChoosesTheLanguage_data()
    {
        QTest::addColumn<std::optional<QString>>("stored");
        QTest::addColumn<QString>("current");
        QTest::addColumn<QStringList>("titles");
        const QStringList english{QStringLiteral("Dial Pad"), QStringLiteral("Recent"),
                                  QStringLiteral("Settings"), QStringLiteral("More")};
        const QStringList russian{QStringLiteral("Клавиатура"), QStringLiteral("Последние"),
                                  QStringLiteral("Настройки"), QStringLiteral("Подробнее")};
        QTest::newRow("nothing stored")
            << std::optional<QString>() << QStringLiteral("english") << english;
        QTest::newRow("empty") << std::optional<QString>(QString()) << QStringLiteral("english")
                               << english;
        QTest::newRow("english") << std::optional<QString>(QStringLiteral("english"))
                                 << QStringLiteral("english") << english;
        QTest::newRow("russian") << std::optional<QString>(QStringLiteral("russian"))
                                 << QStringLiteral("russian") << russian;
        QTest::newRow("capital English") << std::optional<QString>(QStringLiteral("English"))
                                         << QStringLiteral("English") << russian;
        QTest::newRow("anything else") << std::optional<QString>(QStringLiteral("français"))
                                       << QStringLiteral("français") << russian;
    }

    void startUpChoosesTheLanguage()
    {
        QFETCH(std::optional<QString>, stored);
        QFETCH(QString, current);
        QFETCH(QStringList, titles);
        storeLanguage(stored);

        MolvaneAppDelegate *delegate = launch();
        QCOMPARE(delegate->g_strCurrentLenguage, current);
        QCOMPARE(tabTitles(delegate->mainTab), titles);
        // Start-up never writes the preference, not even its English default.
        QCOMPARE(UserDefaults::standardUserDefaults().objectForKey(languageKey), stored);
        QCOMPARE(delegate->g_bIsNumberDialledFromCallLog, false);
        QCOMPARE(delegate->g_strSelectedNumberFromCallLog, QString());
    }

    void languageRuleIsExactEquality()
    {
        storeLanguage(std::nullopt);
        MolvaneAppDelegate *delegate = launch();
        const QString english = QStringLiteral("Call");
        const QString russian = QStringLiteral("Звонок");
        QCOMPARE(delegate->localizedText(english, russian), english);
        for (const char *other : {"russian", "English", "english ", ""}) {
            delegate->g_strCurrentLenguage = QLatin1String(other);
            QCOMPARE(delegate->localizedText(english, russian), russian);
        }
    }

    void storedLanguageSurvivesARestart()
    {
        storeLanguage(std::nullopt);
        launch()->setCurrentLanguage(QStringLiteral("russian"));
        cleanup();
        QCOMPARE(launch()->g_strCurrentLenguage, QStringLiteral("russian"));
    }

    void terminatingRemovesTheAutoAnswerRegistration()
    {
        storeLanguage(std::nullopt);
        launch();
        CTTelephonyCenter *center = CTTelephonyCenterGetDefault();
        const int before = center->registrationCount();
        int someoneElse = 0;
        CTTelephonyCenterAddObserver(center, nullptr, ignoreNotification, std::nullopt, nullptr,
                                     CFNotificationSuspensionBehaviorHold);
        CTTelephonyCenterAddObserver(center, nullptr, ignoreNotification, std::nullopt, nullptr,
                                     CFNotificationSuspensionBehaviorHold);
        CTTelephonyCenterAddObserver(center, &someoneElse, ignoreNotification, std::nullopt,
                                     nullptr, CFNotificationSuspensionBehaviorHold);
        application->terminate();
        QCOMPARE(center->registrationCount(), before + 1);
        CTTelephonyCenterRemoveObserver(center, &someoneElse, std::nullopt, nullptr);
        // Ending with no registration standing is harmless.
        MolvaneAppDelegate::shared()->applicationWillTerminate(application.get());
        QCOMPARE(center->registrationCount(), before);
    }
};

MOLVANE_TEST_MAIN(MolvaneAppDelegateTest)
#include "tst_MolvaneAppDelegate.moc"
