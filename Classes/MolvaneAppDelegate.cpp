#include "MolvaneAppDelegate.h"

#include "AboutViewController.h"
#include "AwaitedCallback.h"
#include "CallLogStore.h"
#include "CallLogViewController.h"
#include "CallbackAttendant.h"
#include "DialerPadViewController.h"
#include "HelpViewController.h"
#include "MoreViewController.h"
#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/UI/TabBarController.h"
#include "Platform/UI/UINavigationController.h"
#include "Preferences.h"
#include "SettingViewController.h"
#include "ui_MainWindow.h"

namespace {
const QString english = QStringLiteral("english");
constexpr int dialPadTab = 0;
} // namespace

MolvaneAppDelegate::MolvaneAppDelegate()
{
    loadMainLayout();
    QObject::connect(&Preferences::shared(), &Preferences::languageChanged, window.get(),
                     [this](const QString &language) { g_strCurrentLenguage = language; });
}

MolvaneAppDelegate::~MolvaneAppDelegate() = default;

MolvaneAppDelegate *MolvaneAppDelegate::shared()
{
    UIApplication *application = UIApplication::sharedApplication();
    return application ? dynamic_cast<MolvaneAppDelegate *>(application->delegate()) : nullptr;
}

void MolvaneAppDelegate::loadMainLayout()
{
    window = std::make_unique<QWidget>();
    Ui::MainWindow layout;
    layout.setupUi(window.get());
    mainTab = layout.mainTab;
    dialerPadViewController = layout.dialerPadViewController;

    MoreViewController *more = layout.moreViewController;
    more->objAboutViewController = layout.aboutViewController;
    more->objHelpViewController = layout.helpViewController;
    layout.moreNavigationController->setRootViewController(more);
    QObject::connect(layout.aboutViewController, &AboutViewController::helpRequested, more,
                     &MoreViewController::DisplayHelpView);

    QObject::connect(layout.callLogViewController, &CallLogViewController::callAgainRequested,
                     dialerPadViewController, [this](const QString &number) {
                         dialerPadViewController->takeNumberFromCallLog(number);
                         mainTab->setSelectedIndex(dialPadTab);
                     });

    const auto showDialPad = [this] { mainTab->setSelectedIndex(dialPadTab); };
    new CallbackAttendant(window.get(), screenText(),
                          {showDialPad,
                           [this, showDialPad](const CTCall &call) {
                               showDialPad();
                               dialerPadViewController->offerCall(call);
                           }},
                          window.get());

    const QStringList tabIcons{
        QStringLiteral(":/tab-dialpad.png"), QStringLiteral(":/tab-recent.png"),
        QStringLiteral(":/tab-settings.png"), QStringLiteral(":/tab-more.png")};
    for (int index = 0; index < tabIcons.size(); ++index)
        mainTab->setTabIcon(index, QIcon(tabIcons.at(index)));
}

bool MolvaneAppDelegate::didFinishLaunchingWithOptions(UIApplication *application,
                                                       const QVariantMap &)
{
    g_bIsNumberDialledFromCallLog = false;
    g_strSelectedNumberFromCallLog = QString();
    g_strCurrentLenguage = QString();
    g_strCurrentLenguage = getCurrentLanguage().value_or(QString());
    if (g_strCurrentLenguage.isEmpty())
        g_strCurrentLenguage = english;
    if (isEnglish(g_strCurrentLenguage))
        TranslateScreenToEnglish();
    else
        TranslateScreenToRussian();
    application->makeKeyAndVisible(window.get());
    return true;
}

bool MolvaneAppDelegate::openURL(UIApplication *, const QString &url)
{
    mainTab->setSelectedIndex(dialPadTab);
    return dialerPadViewController->takeNumberFromLink(url);
}

void MolvaneAppDelegate::applicationWillTerminate(UIApplication *)
{
    CTTelephonyCenterRemoveObserver(CTTelephonyCenterGetDefault(), nullptr, std::nullopt, nullptr);
    // Nothing answers a callback once the app has ended.
    AwaitedCallback::shared().cancel();
}

void MolvaneAppDelegate::TranslateScreenToEnglish()
{
    setTabTitles({QStringLiteral("Dial Pad"), QStringLiteral("Recent"), QStringLiteral("Settings"),
                  QStringLiteral("More")});
}

void MolvaneAppDelegate::TranslateScreenToRussian()
{
    setTabTitles({QStringLiteral("Клавиатура"), QStringLiteral("Последние"),
                  QStringLiteral("Настройки"), QStringLiteral("Подробнее")});
}

void MolvaneAppDelegate::setTabTitles(const QStringList &titles)
{
    for (int index = 0; index < titles.size(); ++index)
        mainTab->setItemTitle(index, titles.at(index));
}

void MolvaneAppDelegate::setCurrentLanguage(const QString &language)
{
    Preferences::shared().setLanguage(language);
}

std::optional<QString> MolvaneAppDelegate::getCurrentLanguage() const
{
    return Preferences::shared().language();
}

QString MolvaneAppDelegate::localizedText(const QString &englishText,
                                          const QString &russianText) const
{
    return isEnglish(g_strCurrentLenguage) ? englishText : russianText;
}

Localizer MolvaneAppDelegate::screenText()
{
    return Localizer([] { return isEnglish(shared()->g_strCurrentLenguage); });
}

bool MolvaneAppDelegate::isEnglish(const QString &language)
{
    return language == english;
}

std::optional<CallLog> MolvaneAppDelegate::GetDataFromPlistFile(const QString &baseName)
{
    return CallLogStore::loadList(baseName);
}

void MolvaneAppDelegate::SaveDictDataToPlistFile(const CallLog &list, const QString &plistFileName)
{
    CallLogStore::saveList(list, plistFileName);
}
