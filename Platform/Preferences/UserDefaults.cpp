#include "Platform/Preferences/UserDefaults.h"

#include "Platform/Preferences/PreferencesFile.h"

#include <QCoreApplication>
#include <QStandardPaths>

UserDefaults UserDefaults::standardUserDefaults()
{
    return UserDefaults(standardFilePath());
}

QString UserDefaults::standardFilePath()
{
    return QStandardPaths::writableLocation(QStandardPaths::GenericConfigLocation) +
           QStringLiteral("/molvane/preferences.ini");
}

UserDefaults::UserDefaults(const QString &filePath)
    : settings(std::make_unique<QSettings>(filePath, PreferencesFileFormat()))
{
}

std::optional<QString> UserDefaults::objectForKey(const QString &key) const
{
    const QVariant value = settings->value(key);
    // A list or other non-text value written by hand is not a usable string.
    if (!value.isValid() || value.typeId() != QMetaType::QString)
        return std::nullopt;
    return value.toString();
}

bool UserDefaults::boolForKey(const QString &key) const
{
    const QString text = settings->value(key).toString().trimmed().toLower();
    if (text == QLatin1String("true") || text == QLatin1String("yes"))
        return true;
    bool isNumber = false;
    const qint64 number = text.toLongLong(&isNumber);
    return isNumber && number != 0;
}

qint64 UserDefaults::integerForKey(const QString &key) const
{
    const QString text = settings->value(key).toString().trimmed();
    bool isNumber = false;
    const qint64 number = text.toLongLong(&isNumber);
    if (isNumber)
        return number;
    if (text.compare(QLatin1String("true"), Qt::CaseInsensitive) == 0)
        return 1;
    return 0;
}

void UserDefaults::setObject(const QString &value, const QString &key)
{
    settings->setValue(key, value);
}

void UserDefaults::setBool(bool value, const QString &key)
{
    settings->setValue(key, value);
}

void UserDefaults::setInteger(qint64 value, const QString &key)
{
    settings->setValue(key, value);
}

bool UserDefaults::synchronize()
{
    settings->sync();
    return settings->status() == QSettings::NoError;
}
