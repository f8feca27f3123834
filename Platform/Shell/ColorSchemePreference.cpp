#include "Platform/Shell/ColorSchemePreference.h"

#include <QDBusVariant>

namespace {
const QString path = QStringLiteral("/org/freedesktop/portal/desktop");
const QString settingsInterface = QStringLiteral("org.freedesktop.portal.Settings");
const QString appearance = QStringLiteral("org.freedesktop.appearance");
const QString colorSchemeKey = QStringLiteral("color-scheme");
// Long enough for a running portal, short enough not to be seen when there is none.
constexpr int readTimeoutMs = 500;
constexpr uint preferDark = 1;

// Portals before version 2 wrap the value twice.
QVariant unwrapped(QVariant value)
{
    while (value.canConvert<QDBusVariant>())
        value = value.value<QDBusVariant>().variant();
    return value;
}
} // namespace

ColorSchemePreference::ColorSchemePreference(QObject *parent)
    : QObject(parent),
      portal(QDBusConnection::sessionBus(), QStringLiteral("org.freedesktop.portal.Desktop"),
             QStringLiteral("Settings portal"), DBusClient::Start::OnDemand)
{
    if (QDBusConnection::sessionBus().isConnected())
        portal.subscribe(path, settingsInterface, QStringLiteral("SettingChanged"), this,
                         SLOT(settingChanged(QDBusMessage)), {appearance, colorSchemeKey});
}

UITheme::Scheme ColorSchemePreference::read()
{
    // Without a session bus the app runs alone, and says so once elsewhere.
    if (!QDBusConnection::sessionBus().isConnected())
        return chosen;
    QDBusMessage message =
        QDBusMessage::createMethodCall(QStringLiteral("org.freedesktop.portal.Desktop"), path,
                                       settingsInterface, QStringLiteral("Read"));
    message.setArguments({appearance, colorSchemeKey});
    const QDBusMessage reply =
        QDBusConnection::sessionBus().call(message, QDBus::Block, readTimeoutMs);
    if (reply.type() == QDBusMessage::ReplyMessage)
        choose(reply.arguments().value(0));
    else if (!DBusClient::serviceAbsent(QDBusError(reply)))
        portal.logError(QStringLiteral("Read"), QDBusError(reply));
    return chosen;
}

void ColorSchemePreference::settingChanged(const QDBusMessage &signal)
{
    const UITheme::Scheme before = chosen;
    choose(signal.arguments().value(2));
    if (chosen != before)
        Q_EMIT changed(chosen);
}

void ColorSchemePreference::choose(const QVariant &colorScheme)
{
    chosen = unwrapped(colorScheme).toUInt() == preferDark ? UITheme::Scheme::Dark
                                                           : UITheme::Scheme::Light;
}
