#pragma once

#include <QString>

// The names ModemManager uses on the system bus.
namespace ModemManager {
inline const QString service = QStringLiteral("org.freedesktop.ModemManager1");
inline const QString rootPath = QStringLiteral("/org/freedesktop/ModemManager1");
inline const QString voiceInterface = QStringLiteral("org.freedesktop.ModemManager1.Modem.Voice");
inline const QString ussdInterface =
    QStringLiteral("org.freedesktop.ModemManager1.Modem.Modem3gpp.Ussd");
inline const QString callInterface = QStringLiteral("org.freedesktop.ModemManager1.Call");
} // namespace ModemManager
