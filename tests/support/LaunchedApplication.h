#pragma once

#include "MolvaneAppDelegate.h"
#include "Platform/Preferences/UserDefaults.h"
#include "Platform/Sound/AudioServices.h"

#include <QFile>
#include <QTest>

// The application as it stands after launch: delegate, window and tabs, with the preferences
// given written beforehand (and everything else absent).
class LaunchedApplication
{
public:
    explicit LaunchedApplication(const QVariantMap &preferences = {})
    {
        QFile::remove(UserDefaults::standardFilePath());
        UserDefaults defaults = UserDefaults::standardUserDefaults();
        for (auto preference = preferences.begin(); preference != preferences.end(); ++preference)
            storePreference(defaults, preference.key(), preference.value());
        defaults.synchronize();
        application = std::make_unique<UIApplication>(std::make_unique<MolvaneAppDelegate>());
        application->finishLaunching();
        // Tests act on the window as a person would: once it is on screen and laid out.
        QWidget *window = delegate()->window.get();
        if (!QTest::qWaitForWindowExposed(window))
            qFatal("the application window never appeared");
    }

    ~LaunchedApplication()
    {
        // Qt's sample cache leaks a tone dropped while its file is still being read.
        if (!QTest::qWaitFor([] { return AudioServicesLoadingSoundCount() == 0; }))
            qWarning("key tones still loading as the application goes");
        application->terminate();
    }

    MolvaneAppDelegate *delegate() const { return MolvaneAppDelegate::shared(); }
    UIApplication *uiApplication() const { return application.get(); }

private:
    static void storePreference(UserDefaults &defaults, const QString &key, const QVariant &value)
    {
        if (value.typeId() == QMetaType::Bool)
            defaults.setBool(value.toBool(), key);
        else if (value.typeId() == QMetaType::Int)
            defaults.setInteger(value.toInt(), key);
        else
            defaults.setObject(value.toString(), key);
    }

    std::unique_ptr<UIApplication> application;
};
