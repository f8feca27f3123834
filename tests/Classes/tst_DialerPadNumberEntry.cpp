#include "DialerPadViewController.h"
#include "Platform/Sound/AudioServices.h"
#include "support/LaunchedApplication.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QLineEdit>

class DialerPadNumberEntryTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchedApplication> app;
    DialerPadViewController *dialPad = nullptr;

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
    QString number() const { return dialPad->lblNumberField->text(); }
    QLineEdit *editField() const { return qobject_cast<QLineEdit *>(dialPad->viewWithTag(99)); }
    QString editButtonImage() const
    {
        return dialPad->btnEditNumber->property("imageName").toString();
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

    void tagTable()
    {
        dialPad->lblNumberField->setText("12");
        tapKey(1003);
        tapKey(1011);
        QCOMPARE(number(), "123*");

        QWidget notAKey;
        for (int tag : {1010, 1013, 5000}) {
            setViewTag(&notAKey, tag);
            dialPad->button_tappedWithTag(&notAKey);
        }
        QCOMPARE(number(), "123*");
        QCOMPARE(dialPad->GetTheNumberFromTag(995), "-5");
        dialPad->bIsLongTapMade = true;
        QCOMPARE(dialPad->GetTheNumberFromTag(1001), "1");
        QVERIFY(dialPad->bIsLongTapMade);
        QCOMPARE(dialPad->GetTheNumberFromTag(1000), "+");
        QVERIFY(!dialPad->bIsLongTapMade);
        QCOMPARE(dialPad->GetTheNumberFromTag(1000), "0");
    }

    void holdingZeroGivesPlusOnly()
    {
        QTest::mousePress(dialPad->btnLongTap, Qt::LeftButton);
        QTest::qWait(UIButtonWithLongTap::longTapMilliseconds + 150);
        QCOMPARE(number(), "+");
        QTest::mouseRelease(dialPad->btnLongTap, Qt::LeftButton);
        QCOMPARE(number(), "+");
        QVERIFY(!dialPad->btnLongTap->isDown());
        tapKey(1000);
        QCOMPARE(number(), "+0");
    }

    void deleteRemovesTheLastCharacter_data()
    {
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("one") << "5"
                             << "";
        QTest::newRow("empty") << ""
                               << "";
        QTest::newRow("several") << "+749"
                                 << "+74";
        QTest::newRow("emoji stays whole") << "12\U0001F600"
                                           << "12";
        QTest::newRow("combining mark") << "1e\u0301"
                                        << "1";
    }

    void deleteRemovesTheLastCharacter()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        dialPad->lblNumberField->setText(before);
        QTest::mouseClick(dialPad->btnDelete, Qt::LeftButton);
        QCOMPARE(number(), after);
    }

    void editModeRoundTrip()
    {
        dialPad->lblNumberField->setText("123");
        QTest::mouseClick(dialPad->btnEditNumber, Qt::LeftButton);

        QLineEdit *field = editField();
        QVERIFY(field);
        QCOMPARE(field->text(), "123");
        QCOMPARE(field->geometry(), dialPad->lblNumberField->geometry());
        QCOMPARE(field->font(), dialPad->lblNumberField->font());
        QCOMPARE(field->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        QCOMPARE(field->accessibleName(), "Number");
        QVERIFY(field->hasFocus());
        QVERIFY(!dialPad->lblNumberField->isVisible());
        QCOMPARE(viewTag(dialPad->btnEditNumber), 1);
        QCOMPARE(editButtonImage(), "done-num.png");
        QVERIFY(dialPad->vwOverlay->isVisible());
        QCOMPARE(dialPad->vwOverlay->y(), 70);

        // A number put into the hidden label meanwhile gives way to the edited one.
        dialPad->lblNumberField->setText("999");
        field->setText("1234");
        QTest::mouseClick(dialPad->btnEditNumber, Qt::LeftButton);
        QCOMPARE(number(), "1234");
        QVERIFY(dialPad->lblNumberField->isVisible());
        QTRY_VERIFY(!editField());
        QVERIFY(!dialPad->vwOverlay->isVisible());
        QCOMPARE(viewTag(dialPad->btnEditNumber), 0);
        QCOMPARE(editButtonImage(), "edit-num.png");
    }

    void editButtonDoesNothingOnAnEmptyNumber()
    {
        QTest::mouseClick(dialPad->btnEditNumber, Qt::LeftButton);
        QVERIFY(!editField());
        QCOMPARE(viewTag(dialPad->btnEditNumber), 0);
        QCOMPARE(editButtonImage(), "edit-num.png");
        QVERIFY(dialPad->lblNumberField->isVisible());
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
        QCOMPARE(AudioServicesSystemSoundFile(dialPad->soundID).path(), "/5.wav");
        tapKey(1011);
        QCOMPARE(AudioServicesSystemSoundFile(dialPad->soundID).path(), "/*.wav");
        tapKey(1012);
        QCOMPARE(AudioServicesSystemSoundFile(dialPad->soundID).path(), "/#.wav");

        // The empty character has no sound and plays nothing.
        QWidget noKey;
        setViewTag(&noKey, 1010);
        dialPad->button_tappedWithTag(&noKey);
        QCOMPARE(AudioServicesPlayCount(), played + 3);

        dialPad->buttonDidLongTap(1000);
        QCOMPARE(AudioServicesSystemSoundFile(dialPad->soundID).path(), "/+.wav");
        QCOMPARE(number(), "5*#+");
    }

    void aLongSessionHoldsOneSoundPerKey()
    {
        app.reset();
        const int before = AudioServicesSystemSoundCount();
        launch({{"keypad_tone", true}});
        const QList<int> keys{1000, 1001, 1002, 1003, 1004, 1005,
                              1006, 1007, 1008, 1009, 1011, 1012};
        for (int round = 0; round < 50; ++round) {
            for (int tag : keys)
                dialPad->button_tappedWithTag(dialPad->viewWithTag(tag));
        }
        // One for each key character, "+" of the long tap among them.
        QCOMPARE(AudioServicesSystemSoundCount() - before, keys.size() + 1);
        app.reset();
        QCOMPARE(AudioServicesSystemSoundCount(), before);
    }
};

MOLVANE_TEST_MAIN(DialerPadNumberEntryTest)
#include "tst_DialerPadNumberEntry.moc"
