#include "DialerPadViewController.h"
#include "Platform/Files/DocumentsDirectory.h"
#include "support/CallLogFiles.h"
#include "support/LaunchedApplication.h"
#include "support/TestMain.h"

#include <QDir>
#include <QJsonDocument>
#include <QLabel>
#include <QProcess>

namespace {

QByteArray fileContent(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void writeFile(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(content);
}

QStringList numbersIn(const CallLog &log)
{
    QStringList numbers;
    for (const QVariant &element : log)
        numbers << CallLogEntry(element).phoneNumber().value_or(QStringLiteral("<none>"));
    return numbers;
}

// Runs Debian's Python with plistlib on the given script; returns its standard output.
QByteArray runPython(const QString &script, const QStringList &arguments)
{
    QProcess python;
    python.start(QStringLiteral("/usr/bin/python3"),
                 QStringList{QStringLiteral("-c"), script} + arguments);
    if (!python.waitForFinished(20000) || python.exitCode() != 0) {
        qWarning() << python.readAllStandardError();
        return QByteArray();
    }
    return python.readAllStandardOutput();
}
} // namespace

class CallLogStoreTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchedApplication> app;
    MolvaneAppDelegate *delegate = nullptr;

private Q_SLOTS:
    void init()
    {
        QFile::remove(callLogPath());
        app = std::make_unique<LaunchedApplication>();
        delegate = app->delegate();
    }

    void cleanup() { app.reset(); }

    void firstLoadCopiesTheEmptySeed()
    {
        QVERIFY(!QFile::exists(callLogPath()));
        QCOMPARE(delegate->GetDataFromPlistFile(QStringLiteral("calllog")), CallLog());
        QVERIFY(QFile::exists(callLogPath()));
        QVERIFY(QFileInfo(callLogPath()).isWritable());
    }

    void savedListLoadsBackInOrder()
    {
        const CallLog log =
            callLogOf({QStringLiteral("+123"), QStringLiteral("812"), QStringLiteral("00123")});
        delegate->SaveDictDataToPlistFile(log, QStringLiteral("calllog"));
        QCOMPARE(delegate->GetDataFromPlistFile(QStringLiteral("calllog")), log);

        // Clearing writes an empty array, and the next request starts a one-entry log.
        delegate->SaveDictDataToPlistFile(CallLog(), QStringLiteral("calllog"));
        QCOMPARE(delegate->GetDataFromPlistFile(QStringLiteral("calllog")), CallLog());
        QVERIFY(fileContent(callLogPath()).contains("<array/>"));
    }

    void unknownKeysAndValuesSurviveARequest()
    {
        QVariantMap richer{{QStringLiteral("phone_number"), QStringLiteral("555")},
                           {QStringLiteral("phone_time"), QStringLiteral("2026-01-01 at 09:00")},
                           {QStringLiteral("label"), QStringLiteral("office")}};
        const QVariantMap oddValue{{QStringLiteral("phone_number"), qint64(42)}};
        const CallLog stored{richer, oddValue, QStringLiteral("not an entry")};
        delegate->SaveDictDataToPlistFile(stored, QStringLiteral("calllog"));

        delegate->dialerPadViewController->lblNumberField->setText(QStringLiteral("812"));
        delegate->dialerPadViewController->MakeCallToServer();

        const CallLog after = *delegate->GetDataFromPlistFile(QStringLiteral("calllog"));
        QCOMPARE(after.mid(0, 3), stored);
        QCOMPARE(numbersIn(after.mid(3)), QStringList{QStringLiteral("812")});
    }

    void olderEntryForTheNumberIsRemoved_data()
    {
        QTest::addColumn<QStringList>("logged");
        QTest::addColumn<QString>("number");
        QTest::addColumn<QStringList>("remaining");
        const QStringList three{QStringLiteral("+123"), QStringLiteral("812"),
                                QStringLiteral("00123")};
        QTest::newRow("middle") << three << "812" << QStringList{"+123", "00123"};
        QTest::newRow("absent") << three << "555" << three;
        QTest::newRow("prefixes differ") << three << "123" << three;
        QTest::newRow("letter case ignored")
            << QStringList{"ABC", "x"} << "abc" << QStringList{"x"};
        QTest::newRow("cyrillic case ignored")
            << QStringList{"Доб", "x"} << "дОБ" << QStringList{"x"};
        QTest::newRow("other characters exact")
            << QStringList{"+7 123", "+7123"} << "+7123" << QStringList{"+7 123"};
        QTest::newRow("only the first of two")
            << QStringList{"812", "555", "812"} << "812" << QStringList{"555", "812"};
        QTest::newRow("empty log") << QStringList{} << "812" << QStringList{};
    }

    void olderEntryForTheNumberIsRemoved()
    {
        QFETCH(QStringList, logged);
        QFETCH(QString, number);
        QFETCH(QStringList, remaining);
        CallLog log = callLogOf(logged);
        DialerPadViewController::RemoveOldEntryFromCallLogIfExistFromArray(log, number);
        QCOMPARE(numbersIn(log), remaining);
    }

    void entriesWithoutANumberNeverMatch()
    {
        CallLog log{QVariantMap{{QStringLiteral("phone_time"), QStringLiteral("x")}},
                    QVariantMap{{QStringLiteral("phone_number"), QStringList()}},
                    QStringLiteral("")};
        DialerPadViewController::RemoveOldEntryFromCallLogIfExistFromArray(log, QString());
        QCOMPARE(log.size(), 3);
    }

    void unreadableFileGivesNothingAndStaysUnchanged_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("garbage") << QByteArray("this is not a property list \x01\x02");
        QTest::newRow("empty file") << QByteArray();
        QTest::newRow("truncated xml")
            << QByteArray("<?xml version=\"1.0\"?><plist version=\"1.0\"><array><dict>");
        QTest::newRow("dictionary root")
            << QByteArray("<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                          "<plist version=\"1.0\"><dict><key>a</key><string>b</string></dict>"
                          "</plist>\n");
        QTest::newRow("string root") << QByteArray(
            "<?xml version=\"1.0\"?><plist version=\"1.0\"><string>x</string></plist>");
    }

    void unreadableFileGivesNothingAndStaysUnchanged()
    {
        QFETCH(QByteArray, content);
        writeFile(callLogPath(), content);
        QCOMPARE(delegate->GetDataFromPlistFile(QStringLiteral("calllog")), std::nullopt);

        // A request then records nothing, but still dials; the file is left byte for byte.
        delegate->dialerPadViewController->lblNumberField->setText(QStringLiteral("812"));
        delegate->dialerPadViewController->MakeCallToServer();
        QCOMPARE(fileContent(callLogPath()), content);
    }

    void pythonReadsWhatWeWriteAndWeReadWhatPythonWrites()
    {
        const QString cyrillic = QStringLiteral("Дом +7 (916) 123-45-67");
        delegate->SaveDictDataToPlistFile(callLogOf({QStringLiteral("+123"), cyrillic}),
                                          QStringLiteral("calllog"));
        const QByteArray read =
            runPython(QStringLiteral("import plistlib, sys, json\n"
                                     "print(json.dumps(plistlib.load(open(sys.argv[1], 'rb'))))"),
                      {callLogPath()});
        QCOMPARE(QJsonDocument::fromJson(read).toVariant().toList(),
                 callLogOf({QStringLiteral("+123"), cyrillic}));

        const QString pythonWritten = DocumentsDirectory() + QStringLiteral("/python.plist");
        runPython(QStringLiteral("import plistlib, sys\n"
                                 "entries = [{'phone_number': n, 'phone_time': '2026-12-%02d at "
                                 "10:00' % (i + 1)} for i, n in enumerate(('00123', 'Ёлка'))]\n"
                                 "plistlib.dump(entries, open(sys.argv[1], 'wb'))"),
                  {pythonWritten});
        QCOMPARE(delegate->GetDataFromPlistFile(QStringLiteral("python")),
                 callLogOf({QStringLiteral("00123"), QStringLiteral("Ёлка")}));
    }
};

MOLVANE_TEST_MAIN(CallLogStoreTest)
#include "tst_CallLogStore.moc"
