#pragma once

#include <QObject>
#include <QString>
#include <optional>

// The user's settings, typed. Each is stored under its own key in the one preferences file and
// read afresh on every call, so that a change made by any screen is seen by all.
class Preferences : public QObject
{
    Q_OBJECT

public:
    static Preferences &shared();

    // Answer the operator's callback without a tap.
    bool autoAnswer() const;
    void setAutoAnswer(bool on);

    // Play a tone for each dial pad key.
    bool keypadTones() const;
    void setKeypadTones(bool on);

    // "english" or "russian"; nothing before the user has chosen.
    std::optional<QString> language() const;
    void setLanguage(const QString &language);

    // Seconds to wait for the callback; 0 until one is stored.
    int callbackDelay() const;
    void setCallbackDelay(int seconds);

    // Whether the user has been asked to copy Molvane's own contacts into the phone's book.
    bool ownContactsCopyOffered() const;
    void setOwnContactsCopyOffered();

Q_SIGNALS:
    // Also when the language chosen is the one already stored.
    void languageChanged(const QString &language);
};
