// Any bytes as the preferences file: every key reads as a value or as its neutral default.
#include "Platform/Preferences/UserDefaults.h"

#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("preferences.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    UserDefaults defaults(path);
    defaults.objectForKey(QStringLiteral("current_language"));
    defaults.boolForKey(QStringLiteral("keypad_tone"));
    defaults.boolForKey(QStringLiteral("enable_autoanswer"));
    defaults.integerForKey(QStringLiteral("callback_delay"));
    return 0;
}
