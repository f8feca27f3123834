#pragma once

#include "Platform/Telephony/DBusClient.h"
#include "Platform/UI/UITheme.h"

#include <QObject>

// The light or dark style the user chose for the whole phone, as the desktop's settings portal
// tells it, followed as it changes. Without the portal, or with no preference, light.
class ColorSchemePreference : public QObject
{
    Q_OBJECT

public:
    explicit ColorSchemePreference(QObject *parent = nullptr);

    // Asks the portal once, waiting briefly, so the first frame is already in the right style.
    UITheme::Scheme read();
    UITheme::Scheme scheme() const { return chosen; }

Q_SIGNALS:
    void changed(UITheme::Scheme scheme);

private Q_SLOTS:
    void settingChanged(const QDBusMessage &signal);

private:
    void choose(const QVariant &colorScheme);

    DBusClient portal;
    UITheme::Scheme chosen = UITheme::Scheme::Light;
};
