#pragma once

#include "Platform/Telephony/TelephonyBackend.h"

#include <memory>

// Holds the backend in use and spreads its call events to the call centers (callEvent) and to
// the telephony notification center.
class TelephonyService : public QObject
{
    Q_OBJECT

public:
    static TelephonyService &shared();

    // The backend in use; the simulated operator until another is installed.
    TelephonyBackend &backend();
    void setBackend(std::unique_ptr<TelephonyBackend> backend);

    void dial(const QString &dialString);
    void answer(const CTCall &call);

Q_SIGNALS:
    void callEvent(const CTCall &call);
    void backendChanged(const QString &name);

private:
    explicit TelephonyService(QObject *parent);
    void relayCallEvent(const CTCall &call);

    std::unique_ptr<TelephonyBackend> current;
};
