#pragma once

#include "Platform/Telephony/TelephonyBackend.h"

#include <memory>

class TelephonyBackendSelector;

// Holds the backend in use and spreads its call events to the call centers (callEvent) and to
// the telephony notification center. Every dial string passes its check here, whatever the
// backend.
class TelephonyService : public QObject
{
    Q_OBJECT

public:
    static TelephonyService &shared();

    // The backend in use; the simulated operator until another is installed.
    TelephonyBackend &backend();
    // Pins the backend: automatic selection stops and does not start again.
    void setBackend(std::unique_ptr<TelephonyBackend> backend);
    // Follows the modems on the system bus and installs the backend they call for, now and
    // whenever they change. Does nothing once a backend is pinned or selection runs.
    void startAutomaticSelection();

    // Dials the string without the separators a modem ignores; a string holding anything a
    // modem cannot dial is refused with a log line.
    void dial(const QString &dialString);
    void answer(const CTCall &call);

Q_SIGNALS:
    void callEvent(const CTCall &call);
    void networkReply(const QString &text);
    void backendChanged(const QString &name);

private:
    explicit TelephonyService(QObject *parent);
    ~TelephonyService() override;
    void install(std::unique_ptr<TelephonyBackend> backend);
    void relayCallEvent(const CTCall &call);

    std::unique_ptr<TelephonyBackend> current;
    std::unique_ptr<TelephonyBackendSelector> selector;
    bool pinned = false;
};
