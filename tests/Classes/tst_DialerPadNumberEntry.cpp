#include "DialerPadViewController.h"
#include "Platform/Sound/AudioServices.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QTimer>

class DialerPadNumberEntryTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchedApplication> app;
    DialerPadViewController *dialPad = nullptr;
    DialPadScreen screen() const { return DialPadScreen(dialPad); }

    void launch(const QVariantMap &preferences = {})
    {
        app.reset();
        app = std::make_unique<LaunchedApplication>(preferences);
        dialPad = app->delegate()->dialerPadViewController;
    }

    // Keys pressed on a keyboard, delivered to the window as the system does.
    static void type(QWindow *window, const char *keys)
    {
        for (const char *key = keys; *key; ++key)
            QTest::keyClick(window, *key);
    }
    void tapKey(int tag) { QTest::mouseClick(dialPad->viewWithTag(tag), Qt::LeftButton); }
    QString number() const { return screen().number->text(); }
    QLineEdit *editField() const { return qobject_cast<QLineEdit *>(dialPad->viewWithTag(99)); }
    static QString lastTone()
    {
        return AudioServicesSystemSoundFile(AudioServicesLastPlayedSound()).path();
    }

private Q_SLOTS:
    void init() { launch(); }
    void cleanup() { app.reset(); }

    void everyKeyAddsItsCharacter()
    {
        const QList<std::pair<int, QString>> keys{
            {1000, "0"}, {1001, "1"}, {1002, "2"}, {1003, "3"}, {1004, "4"}, {1005, "5"},
            {1006, "6"}, {1007, "7"}, {1008, "8"}, {1009, "9"}, {1011, "*"}, {1012, "#"}};
        QString expected;
        for (const auto &[tag, character] : keys) {
            QCOMPARE(dialPad->viewWithTag(tag)->accessibleName(), character);
            tapKey(tag);
            expected += character;
            QCOMPARE(number(), expected);
        }
    }

    void holdingZeroGivesPlusOnly()
    {
        QTest::mousePress(screen().zero, Qt::LeftButton);
        auto *longTap = screen().zero->findChild<QTimer *>("LongTap");
        QVERIFY(longTap->isActive());
        longTap->start(0);
        QTRY_COMPARE(number(), "+");
        QTest::mouseRelease(screen().zero, Qt::LeftButton);
        QCOMPARE(number(), "+");
        QVERIFY(!screen().zero->isDown());
        tapKey(1000);
        QCOMPARE(number(), "+0");
    }

    void deleteKeyTakesOffTheLastCharacter()
    {
        screen().enter("+749");
        QTest::mouseClick(screen().erase, Qt::LeftButton);
        QCOMPARE(number(), "+74");
    }

    // The field lies where the label was and the keys are covered, so what is typed goes to
    // the field; the in-call bar stays above the cover.
    void editModeRoundTrip()
    {
        screen().enter("123");
        QTest::mouseClick(screen().edit, Qt::LeftButton);
        QLineEdit *field = editField();
        QVERIFY(field && field->hasFocus());
        QCOMPARE(field->geometry(), screen().number->geometry());
        QVERIFY(screen().editCover->isVisible());
        QVERIFY(dialPad->children().indexOf(screen().inCallBar) >
                dialPad->children().indexOf(screen().editCover));

        QTest::keyClick(field, Qt::Key_Home);
        QTest::keyClicks(field, "+7");
        QTest::mouseClick(screen().edit, Qt::LeftButton);
        QCOMPARE(number(), "+7123");
        QVERIFY(screen().number->isVisible());
        QTRY_VERIFY(!editField());
        QVERIFY(!screen().editCover->isVisible());
    }

    // A keyboard case on a phone, or a desktop: what is typed goes where a tap would.
    void hardwareKeyboardTypesDeletesAndSends()
    {
        RecordingBackend *modem = RecordingBackend::install();
        QWindow *window = dialPad->window()->windowHandle();
        type(window, "0123456789*#+");
        QCOMPARE(number(), "0123456789*#+");
        QTest::keyClick(window, Qt::Key_Backspace);
        QTest::keyClick(window, Qt::Key_Backspace);
        QCOMPARE(number(), "0123456789*");
        type(window, "a -");
        QCOMPARE(number(), "0123456789*");
        QTest::keyClick(window, Qt::Key_Return);
        QCOMPARE(modem->dialled, QStringList{"1460123456789*#"});
        type(window, "5");
        QTest::keyClick(window, Qt::Key_Enter);
        QCOMPARE(modem->dialled.size(), 2);
    }

    void tonesOnlyWhenSwitchedOn()
    {
        const int played = AudioServicesPlayCount();
        tapKey(1005);
        QCOMPARE(AudioServicesPlayCount(), played);

        launch({{"keypad_tone", true}});
        tapKey(1005);
        QCOMPARE(AudioServicesPlayCount(), played + 1);
        QCOMPARE(lastTone(), "/5.wav");
        tapKey(1011);
        QCOMPARE(lastTone(), "/*.wav");
        tapKey(1012);
        QCOMPARE(lastTone(), "/#.wav");

        // The empty character has no sound and plays nothing.
        QWidget noKey;
        setViewTag(&noKey, 1010);
        dialPad->button_tappedWithTag(&noKey);
        QCOMPARE(AudioServicesPlayCount(), played + 3);

        dialPad->buttonDidLongTap(1000);
        QCOMPARE(lastTone(), "/+.wav");
        QCOMPARE(number(), "5*#+");
    }
};

MOLVANE_TEST_MAIN(DialerPadNumberEntryTest)
#include "tst_DialerPadNumberEntry.moc"
