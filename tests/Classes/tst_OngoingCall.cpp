#include "OngoingCall.h"
#include "Platform/Telephony/CallAudio.h"
#include "Platform/Telephony/Ringer.h"
#include "Platform/Telephony/TelephonyService.h"
#include "support/CallAudioMock.h"
#include "support/PrivateBus.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

// The calls the app placed or answered, as a modem reports them, without a screen.
class OngoingCallTest : public QObject
{
    Q_OBJECT

    PrivateBus sessionBus{PrivateBus::Session};
    RecordingBackend *modem = nullptr;

    void report(const QString &callID, CTCallState state, const QString &number)
    {
        Q_EMIT modem->callEvent(CTCall(callID, state, number));
    }

    static QString shown(const OngoingCall &ongoing)
    {
        return ongoing.call() ? ongoing.call()->number() : QString();
    }

private Q_SLOTS:
    void init() { modem = RecordingBackend::install(); }

    // Another app's calls on the same modem are its own business, and the audio stays in the
    // call's mode until the last of ours ends.
    void followsOnlyTheAppsOwnCalls()
    {
        CallAudioMock callAudio;
        QVERIFY(callAudio.start());
        CallAudio audio;
        Ringer ringer;
        OngoingCall ongoing(audio, ringer);

        report("in", CTCallStateIncoming, "+74951112233");
        TelephonyService::shared().answer(CTCall("in", CTCallStateIncoming, "+74951112233"));
        report("in", CTCallStateConnected, "+74951112233");
        QCOMPARE(shown(ongoing), "+74951112233");
        QTRY_VERIFY(ongoing.hasAudioControls());

        report("other", CTCallStateDialing, "+78120000000");
        report("other", CTCallStateConnected, "+78120000000");
        QCOMPARE(shown(ongoing), "+74951112233");

        TelephonyService::shared().dial("*146*0079161234567#");
        report("out", CTCallStateDialing, "*146*0079161234567#");
        report("out", CTCallStateConnected, "*146*0079161234567#");
        QCOMPARE(shown(ongoing), "*146*0079161234567#");
        ongoing.hangUp();
        QCOMPARE(modem->hungUp.last().callID(), "out");

        report("out", CTCallStateDisconnected, "*146*0079161234567#");
        QCOMPARE(shown(ongoing), "+74951112233");
        report("other", CTCallStateDisconnected, "+78120000000");
        report("in", CTCallStateDisconnected, "+74951112233");
        QCOMPARE(shown(ongoing), QString());
        QTRY_COMPARE(callAudio.requests(), (QStringList{"SelectMode 1", "SelectMode 0"}));
    }

    // Hanging up needs no audio service; the speaker and the mic do.
    void withoutCallAudioOnlyHangUpIsOffered()
    {
        CallAudio audio;
        Ringer ringer;
        OngoingCall ongoing(audio, ringer);
        report("in", CTCallStateIncoming, "+74951112233");
        TelephonyService::shared().answer(CTCall("in", CTCallStateIncoming, "+74951112233"));
        report("in", CTCallStateConnected, "+74951112233");
        // The call's search for the service takes the same steps with the bus as one started
        // after it, each answered in turn: once the later search ends, the call's has.
        bool searched = false;
        audio.findService(this, [&searched](bool) { searched = true; });
        QTRY_VERIFY(searched);
        QVERIFY(!ongoing.hasAudioControls());
        ongoing.setSpeakerOn(true);
        QVERIFY(!ongoing.speakerOn());
        ongoing.hangUp();
        QCOMPARE(modem->hungUp.size(), 1);
        report("in", CTCallStateDisconnected, "+74951112233");
    }
};

MOLVANE_TEST_MAIN(OngoingCallTest)
#include "tst_OngoingCall.moc"
