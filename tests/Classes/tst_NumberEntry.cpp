#include "NumberEntry.h"
#include "Platform/UI/ViewController.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

// The number entry on a bare screen of its own: a label, the edit button and the cover.
class NumberEntryTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> screen;
    QLabel *label = nullptr;
    QPushButton *editButton = nullptr;
    QWidget *cover = nullptr;
    NumberEntry *entry = nullptr;

    QLineEdit *editField() const
    {
        return qobject_cast<QLineEdit *>(viewWithTag(screen.get(), 99));
    }

private Q_SLOTS:
    void init()
    {
        screen = std::make_unique<QWidget>();
        screen->resize(360, 640);
        label = new QLabel(screen.get());
        label->setGeometry(48, 12, 264, 56);
        label->setAccessibleDescription("Number");
        editButton = new QPushButton(screen.get());
        cover = new QWidget(screen.get());
        cover->hide();
        auto *hint = new QLabel(cover);
        entry = new NumberEntry({label, editButton, cover, hint}, Localizer([] { return true; }),
                                screen.get());
        screen->show();
        screen->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(screen.get()));
    }

    void cleanup() { screen.reset(); }

    void charactersOfTheKeys_data()
    {
        QTest::addColumn<QList<int>>("tags");
        QTest::addColumn<QString>("characters");
        QTest::newRow("digits") << QList<int>{1000, 1001, 1009} << "019";
        QTest::newRow("star and hash") << QList<int>{1011, 1012} << "*#";
        QTest::newRow("no key") << QList<int>{1010, 1013, 5000} << "";
        QTest::newRow("below the keys") << QList<int>{995} << "-5";
    }

    void charactersOfTheKeys()
    {
        QFETCH(QList<int>, tags);
        QFETCH(QString, characters);
        QString given;
        for (int tag : tags)
            given += entry->characterForKey(tag);
        QCOMPARE(given, characters);
    }

    // A long tap turns the next 0 into "+", once; other keys leave it waiting.
    void longTapGivesPlusOnce()
    {
        entry->markLongTap();
        QCOMPARE(entry->characterForKey(1001), "1");
        QCOMPARE(entry->characterForKey(1000), "+");
        QCOMPARE(entry->characterForKey(1000), "0");
    }

    void keyboardCharactersFindTheirKeys()
    {
        QString keys;
        for (const QChar character : QStringView(u"0123456789*#"))
            keys += entry->characterForKey(*NumberEntry::keyTagFor(character));
        QCOMPARE(keys, "0123456789*#");
        for (const QString other : {"+", "a", "", "12", "٣"})
            QVERIFY2(!NumberEntry::keyTagFor(other), qPrintable(other));
    }

    void deleteTakesOffWhatAReaderSeesAsOneCharacter_data()
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

    void deleteTakesOffWhatAReaderSeesAsOneCharacter()
    {
        QFETCH(QString, before);
        QFETCH(QString, after);
        entry->setNumber(before);
        entry->deleteLastCharacter();
        QCOMPARE(entry->number(), after);
    }

    void editModeRoundTrip()
    {
        entry->setNumber("123");
        entry->toggleEditing();

        QLineEdit *field = editField();
        QVERIFY(field);
        QCOMPARE(field->text(), "123");
        QCOMPARE(field->geometry(), label->geometry());
        QCOMPARE(field->font(), label->font());
        QCOMPARE(field->alignment() & Qt::AlignHCenter, Qt::AlignHCenter);
        QCOMPARE(field->accessibleName(), "Number");
        QVERIFY(field->hasFocus());
        QVERIFY(!label->isVisible());
        QCOMPARE(viewTag(editButton), 1);
        QCOMPARE(editButton->property("imageName"), "done-num.png");
        QVERIFY(cover->isVisible());
        QCOMPARE(cover->geometry(), QRect(0, 70, 360, 570));

        // The cover and the field follow the screen's size.
        screen->resize(640, 360);
        entry->fitToScreen();
        QCOMPARE(cover->size(), QSize(640, 290));

        // A number put into the hidden label meanwhile gives way to the edited one.
        entry->setNumber("999");
        field->setText("1234");
        entry->toggleEditing();
        QCOMPARE(entry->number(), "1234");
        QVERIFY(label->isVisible());
        QVERIFY(!editField());
        QVERIFY(!cover->isVisible());
        QCOMPARE(viewTag(editButton), 0);
        QCOMPARE(editButton->property("imageName"), "edit-num.png");
    }

    void nothingToEditInAnEmptyNumber()
    {
        entry->toggleEditing();
        QVERIFY(!editField());
        QCOMPARE(viewTag(editButton), 0);
        QVERIFY(!cover->isVisible());
    }
};

MOLVANE_TEST_MAIN(NumberEntryTest)
#include "tst_NumberEntry.moc"
