// Any bytes as the preferences file: every key reads as a value or as its neutral default, and
// a value written to it afterwards reads back.
#include "FuzzInput.h"
#include "Platform/Preferences/UserDefaults.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<QString> path =
        writeFuzzInput(QStringLiteral("preferences.ini"), data, size);
    if (!path)
        return 0;
    UserDefaults defaults(*path);
    defaults.objectForKey(QStringLiteral("current_language"));
    defaults.boolForKey(QStringLiteral("keypad_tone"));
    defaults.boolForKey(QStringLiteral("enable_autoanswer"));
    defaults.integerForKey(QStringLiteral("callback_delay"));
    defaults.setObject(QStringLiteral("russian"), QStringLiteral("current_language"));
    if (defaults.synchronize() && UserDefaults(*path).objectForKey(QStringLiteral(
                                      "current_language")) != QStringLiteral("russian"))
        __builtin_trap();
    return 0;
}
