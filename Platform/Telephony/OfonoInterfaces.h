#pragma once

#include <QDBusArgument>
#include <QDBusObjectPath>
#include <QString>
#include <QVariantMap>
#include <utility>

// The names oFono uses on the system bus.
namespace Ofono {
inline const QString service = QStringLiteral("org.ofono");
inline const QString managerInterface = QStringLiteral("org.ofono.Manager");
inline const QString modemInterface = QStringLiteral("org.ofono.Modem");
inline const QString voiceCallManagerInterface = QStringLiteral("org.ofono.VoiceCallManager");
inline const QString voiceCallInterface = QStringLiteral("org.ofono.VoiceCall");
inline const QString supplementaryServicesInterface =
    QStringLiteral("org.ofono.SupplementaryServices");

// Reads the a(oa{sv}) that GetModems and GetCalls return: each object's path and properties.
inline QList<std::pair<QString, QVariantMap>> objectsWithProperties(const QVariant &argument)
{
    QList<std::pair<QString, QVariantMap>> objects;
    for (const auto &[path, properties] :
         qdbus_cast<QList<std::pair<QDBusObjectPath, QVariantMap>>>(argument))
        objects.append({path.path(), properties});
    return objects;
}
} // namespace Ofono
