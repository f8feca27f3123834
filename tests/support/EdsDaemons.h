#pragma once

#include "support/PrivateBus.h"

#include <QDBusConnection>
#include <QProcess>
#include <QTemporaryDir>
#include <array>
#include <memory>

// The real evolution-data-server daemons, the source registry and the address book factory, on a
// private session bus over private home, cache and runtime directories (and private data and
// config ones, unless TestMain's temporary ones are set). Make it before anything connects to the
// session bus. Stopped, the daemons are not started on demand either, so every client sees them
// gone until start().
class EdsDaemons
{
public:
    EdsDaemons();
    ~EdsDaemons();

    // Each returns once both bus names are owned, or both have lost their owner; a failed start
    // shows the daemons' output.
    bool start();
    bool stop();
    bool isRunning() const;

    static inline const QString registryService =
        QStringLiteral("org.gnome.evolution.dataserver.Sources5");
    static inline const QString addressBookService =
        QStringLiteral("org.gnome.evolution.dataserver.AddressBook10");

private:
    bool isOwned(const QString &service) const;
    void setActivation(bool enabled);
    void showLog() const;

    QTemporaryDir directory;
    std::unique_ptr<PrivateBus> bus;
    QDBusConnection connection{QString()};
    // The registry first: the factory asks for it as it starts.
    std::array<QProcess, 2> daemons;
};
