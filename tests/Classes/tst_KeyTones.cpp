#include "DialerPadViewController.h"
#include "KeyTones.h"
#include "Platform/UI/TabBarController.h"
#include "Platform/UI/UISwitch.h"
#include "Platform/UI/UITableViewCell.h"
#include "SettingViewController.h"
#include "support/LaunchedApplication.h"
#include "support/Tap.h"
#include "support/TestMain.h"

#include <QFile>
#include <QTimer>

namespace {
// Whether a library whose file name holds the text is mapped into this process.
bool mapped(const char *library)
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    return maps.open(QIODevice::ReadOnly) && maps.readAll().contains(library);
}
} // namespace

// The sound stack costs memory on a phone: it is loaded only once key tones are on, and then
// before the first tap.
class KeyTonesTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchedApplication> app;

private Q_SLOTS:
    void soundStackLoadsOnlyOnceTonesAreOn()
    {
        app = std::make_unique<LaunchedApplication>();
        DialerPadViewController *dialPad = app->delegate()->dialerPadViewController;
        for (int tag : {1001, 1002, 1003})
            tap(dialPad->viewWithTag(tag));
        // Anything the taps set off is queued before this, and so has run once it has.
        bool queuedAfterTheTaps = false;
        QTimer::singleShot(0, [&] { queuedAfterTheTaps = true; });
        QTRY_VERIFY(queuedAfterTheTaps);
        for (const char *library : {"libmolvane-sound", "libQt6Multimedia", "libpulse"})
            QVERIFY2(!mapped(library), library);

        app->delegate()->mainTab->setSelectedIndex(2);
        auto *settings =
            qobject_cast<SettingViewController *>(app->delegate()->mainTab->currentWidget());
        UITableViewCell *toneRow = settings->tblSettings->visibleCells().at(1);
        tap(toneRow->findChild<UISwitch *>());
        QVERIFY(UserDefaults::standardUserDefaults().boolForKey("keypad_tone"));

        app->delegate()->mainTab->setSelectedIndex(0);
        // Every key's tone, "+" of the long tap among them, is made before the first tap.
        QTRY_COMPARE(AudioServicesSystemSoundCount(), 13);
        QVERIFY(mapped("libQt6Multimedia"));
        const int played = AudioServicesPlayCount();
        tap(dialPad->viewWithTag(1005));
        QCOMPARE(AudioServicesPlayCount(), played + 1);
        QTRY_VERIFY(AudioServicesSystemSoundIsLoaded(AudioServicesLastPlayedSound()));
        QCOMPARE(AudioServicesSystemSoundCount(), 13);
        app.reset();
    }

    // Every key's tone is read from its file before its first play; a long session holds one
    // sound per key, and they all go with the tones.
    void oneLoadedSoundPerKeyForAsLongAsTheTonesLive()
    {
        const int before = AudioServicesSystemSoundCount();
        {
            KeyTones tones;
            tones.prepare();
            QCOMPARE(AudioServicesSystemSoundCount() - before, 13);
            for (const QChar character : QStringView(u"0123456789*#+")) {
                const SystemSoundID tone = tones.toneFor(character);
                QTRY_VERIFY2(AudioServicesSystemSoundIsLoaded(tone),
                             qPrintable(AudioServicesSystemSoundFile(tone).toString()));
            }
            for (int round = 0; round < 50; ++round) {
                for (const QChar character : QStringView(u"0123456789*#+"))
                    tones.play(character);
            }
            QCOMPARE(AudioServicesSystemSoundCount() - before, 13);
            QCOMPARE(AudioServicesSystemSoundFile(AudioServicesLastPlayedSound()).path(), "/+.wav");
            // A character without a sound plays nothing.
            const int played = AudioServicesPlayCount();
            tones.play("x");
            tones.play(QString());
            QCOMPARE(AudioServicesPlayCount(), played);
            QCOMPARE(tones.toneFor("x"), SystemSoundID(0));
        }
        QCOMPARE(AudioServicesSystemSoundCount(), before);
    }
};

MOLVANE_TEST_MAIN(KeyTonesTest)
#include "tst_KeyTones.moc"
