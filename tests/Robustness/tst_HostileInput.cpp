#include "CallLogViewController.h"
#include "DialerPadViewController.h"
#include "Platform/Files/DocumentsDirectory.h"
#include "Platform/Files/PropertyList.h"
#include "Platform/Telephony/TelephonyService.h"
#include "Platform/UI/TabBarController.h"
#include "support/CallLogFiles.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QProcess>

namespace {

bool pythonReads(const QString &path)
{
    QProcess python;
    python.start("/usr/bin/python3",
                 {"-c", "import plistlib, sys; plistlib.load(open(sys.argv[1], 'rb'))", path});
    return python.waitForFinished(20000) && python.exitCode() == 0;
}
} // namespace

class HostileInputTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchedApplication> app;
    RecordingBackend *modem = nullptr;
    DialerPadViewController *dialPad = nullptr;
    DialPadScreen screen() const { return DialPadScreen(dialPad); }

    void request(const QString &number)
    {
        screen().number->setText(number);
        QTest::mouseClick(screen().call, Qt::LeftButton);
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(callLogPath());
        modem = RecordingBackend::install();
        app = std::make_unique<LaunchedApplication>();
        dialPad = app->delegate()->dialerPadViewController;
    }
    void cleanup() { app.reset(); }

    void aHundredThousandDigits()
    {
        const QString number = QString(100000, '7');
        request(number);
        QCOMPARE(modem->dialled.size(), 1);
        QCOMPARE(modem->dialled.first().size(), 100000 + 4);
        QCOMPARE(loggedNumbers(), QStringList{number});
        app->delegate()->mainTab->setSelectedIndex(1);
        auto *recent =
            qobject_cast<CallLogViewController *>(app->delegate()->mainTab->viewControllerAt(1));
        QCOMPARE(recent->tblCallLog->numberOfRows(), 1);
        QVERIFY(pythonReads(callLogPath()));
    }

    void strangeCharactersAreLoggedButNeverDialled_data()
    {
        QTest::addColumn<QString>("number");
        QTest::newRow("control characters") << QString("+7916\x01\x1b[2J123\x7f");
        QTest::newRow("right-to-left marks") << QString("\u200f+7916\u202e123");
        QTest::newRow("emoji") << QString("+7916😀123");
        QTest::newRow("NUL") << QString("+7916") + QChar(0) + "123";
        QTest::newRow("semicolon") << QString("+7916;123");
    }

    void strangeCharactersAreLoggedButNeverDialled()
    {
        QFETCH(QString, number);
        request("812");
        request(number);
        QCOMPARE(modem->dialled, QStringList{"146812#"});
        // The log stays readable, by us and by other property-list readers, and keeps both.
        QCOMPARE(loggedNumbers().size(), 2);
        QCOMPARE(loggedNumbers().first(), "812");
        QVERIFY(pythonReads(callLogPath()));
        request("555");
        QCOMPARE(loggedNumbers().size(), 3);
    }

    void unwritableDataDirectoryStillDials()
    {
        // A data directory that cannot be created: its place is taken by a file.
        const QString blocked = qEnvironmentVariable("XDG_DATA_HOME") + "/blocked";
        QFile blocker(blocked);
        QVERIFY(blocker.open(QIODevice::WriteOnly));
        blocker.close();
        qputenv("XDG_DATA_HOME", QFile::encodeName(blocked));
        request("812");
        QCOMPARE(modem->dialled, QStringList{"146812#"});
        QVERIFY(QFileInfo(blocked).isFile());
        QCOMPARE(QFileInfo(blocked).size(), 0);
        qputenv("XDG_DATA_HOME", QFile::encodeName(QFileInfo(blocked).path()));
    }

    void aFiftyMegabyteLogIsReadOrRefusedWithoutHanging()
    {
        QFile file(callLogPath());
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(
            "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<plist version=\"1.0\">\n<array>\n");
        const QByteArray entry =
            "\t<dict><key>phone_number</key><string>+79161234567</string>"
            "<key>phone_time</key><string>2026-12-07 at 10:00</string></dict>\n";
        while (file.size() < 50 * 1024 * 1024)
            file.write(entry);
        file.write("</array>\n</plist>\n");
        file.close();
        const qint64 before = QFileInfo(callLogPath()).size();
        request("812");
        QCOMPARE(modem->dialled, QStringList{"146812#"});
        QVERIFY(QFileInfo(callLogPath()).size() >= before);
    }
};

MOLVANE_TEST_MAIN(HostileInputTest)
#include "tst_HostileInput.moc"
