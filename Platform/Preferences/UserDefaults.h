#pragma once

#include <QSettings>
#include <QString>
#include <memory>
#include <optional>

// The per-user preferences store. Every accessor reads the store at the moment it is asked;
// absent keys read as false, 0 or nothing, and nothing is registered as a default.
class UserDefaults
{
public:
    // The one store of the application, at $XDG_CONFIG_HOME/molvane/preferences.ini.
    // Fetched anew at each use; every instance sees the same file.
    static UserDefaults standardUserDefaults();

    explicit UserDefaults(const QString &filePath);

    std::optional<QString> objectForKey(const QString &key) const;
    bool boolForKey(const QString &key) const;
    qint64 integerForKey(const QString &key) const;

    void setObject(const QString &value, const QString &key);
    void setBool(bool value, const QString &key);
    void setInteger(qint64 value, const QString &key);

    // Writes pending changes to disk before returning.
    bool synchronize();

    static QString standardFilePath();

private:
    std::unique_ptr<QSettings> settings;
};
