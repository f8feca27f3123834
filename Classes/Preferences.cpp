#include "Preferences.h"

#include "Platform/Preferences/UserDefaults.h"

namespace {
const QString autoAnswerKey = QStringLiteral("enable_autoanswer");
const QString keypadToneKey = QStringLiteral("keypad_tone");
const QString currentLanguageKey = QStringLiteral("current_language");
const QString callbackDelayKey = QStringLiteral("callback_delay");
const QString ownContactsCopyOfferedKey = QStringLiteral("own_contacts_copy_offered");

// Each change reaches the disk before the call returns: the program may be killed at any time.
template <typename Store> void storeNow(Store store)
{
    UserDefaults defaults = UserDefaults::standardUserDefaults();
    store(defaults);
    defaults.synchronize();
}
} // namespace

Preferences &Preferences::shared()
{
    static Preferences preferences;
    return preferences;
}

bool Preferences::autoAnswer() const
{
    return UserDefaults::standardUserDefaults().boolForKey(autoAnswerKey);
}

void Preferences::setAutoAnswer(bool on)
{
    storeNow([on](UserDefaults &defaults) { defaults.setBool(on, autoAnswerKey); });
}

bool Preferences::keypadTones() const
{
    return UserDefaults::standardUserDefaults().boolForKey(keypadToneKey);
}

void Preferences::setKeypadTones(bool on)
{
    storeNow([on](UserDefaults &defaults) { defaults.setBool(on, keypadToneKey); });
}

std::optional<QString> Preferences::language() const
{
    return UserDefaults::standardUserDefaults().objectForKey(currentLanguageKey);
}

void Preferences::setLanguage(const QString &language)
{
    storeNow(
        [&language](UserDefaults &defaults) { defaults.setObject(language, currentLanguageKey); });
    Q_EMIT languageChanged(language);
}

bool Preferences::ownContactsCopyOffered() const
{
    return UserDefaults::standardUserDefaults().boolForKey(ownContactsCopyOfferedKey);
}

void Preferences::setOwnContactsCopyOffered()
{
    storeNow([](UserDefaults &defaults) { defaults.setBool(true, ownContactsCopyOfferedKey); });
}

int Preferences::callbackDelay() const
{
    return int(UserDefaults::standardUserDefaults().integerForKey(callbackDelayKey));
}

void Preferences::setCallbackDelay(int seconds)
{
    storeNow([seconds](UserDefaults &defaults) { defaults.setInteger(seconds, callbackDelayKey); });
}
