#pragma once

#include "Platform/Telephony/TelephonyBackend.h"

#include <QPointer>
#include <QSet>
#include <map>
#include <memory>

class TelephonyBackendSelector;

// Holds the backend in use and spreads its call events to the call centers (callEvent) and to
// the telephony notification center. Every dial string passes its check here, whatever the
// backend, and every dial's outcome is told from here.
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
    // modem cannot dial is refused with a log line. The outcome goes to done, from the event
    // loop and never from inside dial, while context lives; a dial still open when its backend
    // is replaced has an unknown outcome.
    void dial(const QString &dialString, QObject *context = nullptr, DialCompletion done = {});
    void answer(const CTCall &call);
    void hangUp(const CTCall &call);
    // Whether this app placed the call or answered it; so until its end has been told.
    bool isOwnCall(const QString &callID) const { return ownCalls.contains(callID); }

Q_SIGNALS:
    void callEvent(const CTCall &call);
    void networkReply(const QString &text);
    void backendChanged(const QString &name);

private:
    explicit TelephonyService(QObject *parent);
    ~TelephonyService() override;
    void install(std::unique_ptr<TelephonyBackend> backend);
    void relayCallEvent(const CTCall &call);
    void noteOwnership(const CTCall &call);
    void finish(quint64 request, const DialOutcome &outcome);

    struct OpenDial
    {
        QString dialString;
        QPointer<QObject> context;
        DialCompletion done;
    };

    std::unique_ptr<TelephonyBackend> current;
    std::unique_ptr<TelephonyBackendSelector> selector;
    bool pinned = false;
    std::map<quint64, OpenDial> openDials;
    quint64 dialsMade = 0;
    // What was dialled and has not been seen as a call yet: a service request never is.
    QSet<QString> dialledAwaitingCall;
    QSet<QString> ownCalls;
};
