#pragma once

#include <QDBusConnection>
#include <QDBusError>
#include <QDBusMessage>
#include <QVariantList>
#include <functional>

// Calls to one D-Bus service that never block, and its signals; every failure is written to
// the log under the service's short name.
class DBusClient
{
public:
    using ReplyHandler = std::function<void(const QDBusMessage &reply)>;
    using ErrorHandler = std::function<void(const QDBusError &error)>;

    // Whether a call may have the bus start a service that is not running.
    enum class Start
    {
        Never,
        OnDemand,
    };

    DBusClient(const QDBusConnection &bus, QString service, QString logName,
               Start start = Start::Never);

    // Calls the method; onReply runs with its reply, onError (a log line when none is given)
    // with its error, each only while context lives.
    void call(const QString &path, const QString &interface, const QString &method,
              const QVariantList &arguments, QObject *context, ReplyHandler onReply = {},
              ErrorHandler onError = {}) const;

    // Connects a signal to the receiver's slot, which takes the QDBusMessage; an empty path
    // means every object of the service, argumentMatch narrows by the leading arguments.
    bool subscribe(const QString &path, const QString &interface, const QString &signal,
                   QObject *receiver, const char *slot, const QStringList &argumentMatch = {});

    void logError(const QString &method, const QDBusError &error) const;
    // Warns, once per process for each service, that it cannot be reached and what goes
    // without it.
    void warnUnavailable(const QString &consequence, const QDBusError &error) const;

    // Whether the call failed because the service does not run.
    static bool serviceAbsent(const QDBusError &error);
    // Whether a request that failed with this error may still have reached the network, so
    // that trying another way could make it twice.
    static bool outcomeUnknown(const QDBusError &error);

    const QString &name() const { return logName; }

private:
    static void logFailure(const QString &logName, const QString &method, const QDBusError &error);

    QDBusConnection bus;
    QString service;
    QString logName;
    Start start;
};
