#include "OngoingCall.h"

#include "Platform/Telephony/CallAudio.h"
#include "Platform/Telephony/Ringer.h"
#include "Platform/Telephony/TelephonyService.h"

#include <algorithm>

OngoingCall::OngoingCall(CallAudio &audio, Ringer &ringer, QObject *parent)
    : QObject(parent), audio(audio), ringer(ringer)
{
    connect(&TelephonyService::shared(), &TelephonyService::callEvent, this, &OngoingCall::follow);
}

std::optional<CTCall> OngoingCall::call() const
{
    return calls.empty() ? std::nullopt : std::optional(calls.back().call);
}

qint64 OngoingCall::secondsConnected() const
{
    return calls.empty() ? 0 : calls.back().since.elapsed() / 1000;
}

void OngoingCall::hangUp()
{
    if (const auto shown = call())
        TelephonyService::shared().hangUp(*shown);
}

void OngoingCall::offer(const CTCall &call)
{
    offered = call;
    ringer.start();
    Q_EMIT changed();
}

void OngoingCall::answer()
{
    if (offered)
        TelephonyService::shared().answer(*offered);
}

void OngoingCall::decline()
{
    if (offered)
        TelephonyService::shared().hangUp(*offered);
}

// Whoever answers or ends it, here, elsewhere or the caller, the ring stops.
void OngoingCall::withdrawOffer(const CTCall &call)
{
    if (!offered || offered->callID() != call.callID() || call.callState() == CTCallStateIncoming)
        return;
    offered.reset();
    ringer.stop();
    Q_EMIT changed();
}

void OngoingCall::setSpeakerOn(bool on)
{
    switchAudio(speaker, on, &CallAudio::enableSpeaker);
}

void OngoingCall::setMuted(bool muted)
{
    switchAudio(mute, muted, &CallAudio::muteMic);
}

void OngoingCall::switchAudio(bool &state, bool on, void (CallAudio::*request)(bool))
{
    if (!audioControls || on == state)
        return;
    state = on;
    (audio.*request)(on);
    Q_EMIT changed();
}

// Calls of another app on the same modem are left to that app.
void OngoingCall::follow(const CTCall &call)
{
    withdrawOffer(call);
    if (!TelephonyService::shared().isOwnCall(call.callID()))
        return;
    if (call.callState() == CTCallStateConnected)
        connected(call);
    else if (call.callState() == CTCallStateDisconnected)
        ended(call.callID());
}

void OngoingCall::connected(const CTCall &call)
{
    if (calls.empty())
        audio.findService(this, [this](bool found) { routeAudioToTheCall(found); });
    calls.push_back({call, {}});
    calls.back().since.start();
    Q_EMIT changed();
}

// The answer may come after the call ended, or twice when calls followed each other quickly.
void OngoingCall::routeAudioToTheCall(bool serviceFound)
{
    if (!serviceFound || calls.empty() || audioControls)
        return;
    audioControls = true;
    audio.selectMode(CallAudio::VoiceCallMode);
    Q_EMIT changed();
}

// The speaker and the microphone start as the system has them at the next call.
void OngoingCall::ended(const QString &callID)
{
    const auto found = std::find_if(calls.begin(), calls.end(), [&](const Connected &connected) {
        return connected.call.callID() == callID;
    });
    if (found == calls.end())
        return;
    calls.erase(found);
    if (calls.empty()) {
        if (audioControls)
            audio.selectMode(CallAudio::DefaultMode);
        audioControls = false;
        speaker = false;
        mute = false;
    }
    Q_EMIT changed();
}
