#pragma once

#include "Platform/Telephony/CTCall.h"

#include <QElapsedTimer>
#include <QObject>
#include <optional>
#include <vector>

class CallAudio;
class Ringer;

// The calls this app placed or answered, from the moment they connect until they end: the one
// to show, its controls, and the call audio, which is in the voice-call mode while any is up.
// Before that, an incoming call offered to be answered by hand rings until it is answered,
// declined or gone.
class OngoingCall : public QObject
{
    Q_OBJECT

public:
    OngoingCall(CallAudio &audio, Ringer &ringer, QObject *parent = nullptr);

    // The call that connected last, while one is connected.
    std::optional<CTCall> call() const;
    qint64 secondsConnected() const;
    // Whether the speaker and the microphone can be switched: only through the call audio
    // service, looked for when the first call connects and found a moment later.
    bool hasAudioControls() const { return audioControls; }
    bool speakerOn() const { return speaker; }
    bool muted() const { return mute; }

    void hangUp();

    void offer(const CTCall &call);
    // The call offered, while it rings.
    std::optional<CTCall> offeredCall() const { return offered; }
    void answer();
    void decline();
    void setSpeakerOn(bool on);
    void setMuted(bool muted);

Q_SIGNALS:
    // Another call is shown, none is any more, or a control's state changed.
    void changed();

private:
    void follow(const CTCall &call);
    void connected(const CTCall &call);
    void ended(const QString &callID);
    void routeAudioToTheCall(bool serviceFound);
    void switchAudio(bool &state, bool on, void (CallAudio::*request)(bool));
    void withdrawOffer(const CTCall &call);

    struct Connected
    {
        CTCall call;
        QElapsedTimer since;
    };

    CallAudio &audio;
    Ringer &ringer;
    std::optional<CTCall> offered;
    std::vector<Connected> calls; // in the order they connected
    bool audioControls = false;
    bool speaker = false;
    bool mute = false;
};
