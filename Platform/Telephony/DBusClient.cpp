#include "Platform/Telephony/DBusClient.h"

#include "Platform/Log.h"

#include <QDBusMetaType>
#include <QDBusPendingCallWatcher>
#include <QSet>

DBusClient::DBusClient(const QDBusConnection &bus, QString service, QString logName, Start start)
    : bus(bus), service(std::move(service)), logName(std::move(logName)), start(start)
{
    // Signals carrying these fail to connect, silently, unless the types are registered.
    qRegisterMetaType<QDBusObjectPath>();
    qRegisterMetaType<QDBusVariant>();
    qRegisterMetaType<QDBusMessage>();
}

void DBusClient::call(const QString &path, const QString &interface, const QString &method,
                      const QVariantList &arguments, QObject *context, ReplyHandler onReply,
                      ErrorHandler onError) const
{
    QDBusMessage message = QDBusMessage::createMethodCall(service, path, interface, method);
    message.setArguments(arguments);
    message.setAutoStartService(start == Start::OnDemand);
    // Owned by the context, so a reply that comes after it is gone goes nowhere.
    auto *watcher = new QDBusPendingCallWatcher(bus.asyncCall(message), context);
    QObject::connect(watcher, &QDBusPendingCallWatcher::finished, context,
                     [logName = logName, method, watcher, onReply = std::move(onReply),
                      onError = std::move(onError)] {
                         watcher->deleteLater();
                         const QDBusMessage reply = watcher->reply();
                         if (reply.type() != QDBusMessage::ErrorMessage) {
                             if (onReply)
                                 onReply(reply);
                         } else if (onError) {
                             onError(QDBusError(reply));
                         } else {
                             logFailure(logName, method, QDBusError(reply));
                         }
                     });
}

bool DBusClient::subscribe(const QString &path, const QString &interface, const QString &signal,
                           QObject *receiver, const char *slot, const QStringList &argumentMatch)
{
    const bool connected =
        bus.connect(service, path, interface, signal, argumentMatch, QString(), receiver, slot);
    if (!connected)
        qCWarning(lcMolvane).noquote()
            << logName + QLatin1Char(':') << "cannot watch" << interface + QLatin1Char('.') + signal
            << bus.lastError().message();
    return connected;
}

void DBusClient::logError(const QString &method, const QDBusError &error) const
{
    logFailure(logName, method, error);
}

void DBusClient::warnUnavailable(const QString &consequence, const QDBusError &error) const
{
    // A service that is missing stays missing: one line says so, not one per call.
    static QSet<QString> warned;
    if (warned.contains(service))
        return;
    warned.insert(service);
    qCWarning(lcMolvane).noquote()
        << logName + QLatin1Char(':') << service << "cannot be reached, so"
        << consequence + QLatin1Char(':') << error.message();
}

void DBusClient::logFailure(const QString &logName, const QString &method, const QDBusError &error)
{
    qCInfo(lcMolvane).noquote() << logName + QLatin1Char(':') << method << "failed:" << error.name()
                                << error.message();
}

bool DBusClient::serviceAbsent(const QDBusError &error)
{
    // Without auto-start the bus answers NameHasNoOwner, which QDBusError has no type for.
    return error.type() == QDBusError::ServiceUnknown ||
           error.name() == QLatin1String("org.freedesktop.DBus.Error.NameHasNoOwner");
}

bool DBusClient::outcomeUnknown(const QDBusError &error)
{
    return error.type() == QDBusError::NoReply || error.type() == QDBusError::Timeout ||
           error.type() == QDBusError::TimedOut;
}
