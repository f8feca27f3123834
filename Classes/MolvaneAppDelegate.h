#pragma once

#include "CallLogEntry.h"
#include "Localizer.h"
#include "Platform/UI/UIApplication.h"

#include <QString>
#include <QVariantMap>
#include <memory>
#include <optional>

class DialerPadViewController;
class TabBarController;
class QWidget;

class MolvaneAppDelegate : public UIApplicationDelegate
{
public:
    MolvaneAppDelegate();
    ~MolvaneAppDelegate() override;

    // The running application's delegate, for screens that need the shared state.
    static MolvaneAppDelegate *shared();

    bool didFinishLaunchingWithOptions(UIApplication *application,
                                       const QVariantMap &launchOptions) override;
    void applicationWillTerminate(UIApplication *application) override;
    // A tel: link puts its number on the dial pad; nothing is dialled until the call key.
    bool openURL(UIApplication *application, const QString &url) override;

    void TranslateScreenToEnglish();
    void TranslateScreenToRussian();

    // The stored interface language, carried from one run to the next.
    void setCurrentLanguage(const QString &language);
    std::optional<QString> getCurrentLanguage() const;

    // The list stored under a base name, kept by the call log's store.
    static std::optional<CallLog> GetDataFromPlistFile(const QString &baseName);
    static void SaveDictDataToPlistFile(const CallLog &list, const QString &plistFileName);

    // The language rule: English text when the current language is exactly "english",
    // Russian for every other value.
    QString localizedText(const QString &english, const QString &russian) const;
    static bool isEnglish(const QString &language);
    // Texts in the running application's language, as it is at the moment each is asked for.
    static Localizer screenText();

    std::unique_ptr<QWidget> window;
    TabBarController *mainTab = nullptr;
    bool g_bIsNumberDialledFromCallLog = false;
    QString g_strSelectedNumberFromCallLog;
    QString g_strCurrentLenguage;
    DialerPadViewController *dialerPadViewController = nullptr;

private:
    void loadMainLayout();
    void setTabTitles(const QStringList &titles);
};
