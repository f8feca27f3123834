#pragma once

#include "Platform/Telephony/DBusClient.h"

#include <QDBusServiceWatcher>
#include <QObject>
#include <QSet>
#include <map>
#include <optional>

// The modems one telephony service exports and the interfaces each has, kept current as the
// service adds and removes them and as it starts, stops or restarts.
class ModemWatcher : public QObject
{
    Q_OBJECT

public:
    // True once the service's modems are known, or the service is known not to run.
    bool isReady() const { return ready; }
    // The unique bus name of the service's process; empty while it does not run.
    const QString &owner() const { return serviceOwner; }
    // The first modem, in path order, that has the interface.
    std::optional<QString> modemWith(const QString &interface) const;

Q_SIGNALS:
    void changed();

protected:
    using Modems = std::map<QString, QSet<QString>>; // path -> interfaces
    struct Query
    {
        QString path;
        QString interface;
        QString method;
    };

    ModemWatcher(const QDBusConnection &bus, const QString &service, const QString &logName,
                 QObject *parent);

    // Reads the modems; the subclass calls it once it watches the service's signals, so that no
    // change falls between the reading and the watching.
    void start();
    // The call that lists the service's modems, and how to read its reply.
    virtual Query modemsQuery() const = 0;
    virtual Modems readModems(const QDBusMessage &reply) const = 0;

    void addInterfaces(const QString &modem, const QStringList &interfaces);
    void removeInterfaces(const QString &modem, const QStringList &interfaces);
    // Replaces what is known of the modem; a modem without interfaces is forgotten.
    void setInterfaces(const QString &modem, const QStringList &interfaces);
    void removeModem(const QString &modem);

    DBusClient client;

private:
    void fetchModems();
    void followOwner(const QString &newOwner);
    void settle(Modems known, const QString &knownOwner);

    QDBusServiceWatcher ownerWatcher;
    Modems modems;
    QString serviceOwner;
    bool ready = false;
    // Counts the owners seen, so that a reply from an earlier one is dropped.
    quint64 generation = 0;
};
