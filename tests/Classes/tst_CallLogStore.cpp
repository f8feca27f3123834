#include "CallLogStore.h"
#include "MolvaneAppDelegate.h"
#include "Platform/Files/DocumentsDirectory.h"
#include "support/CallLogFiles.h"
#include "support/TestMain.h"

#include <QDir>
#include <QJsonDocument>
#include <QProcess>
#include <QSignalSpy>

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

    CallLogStore &store = CallLogStore::shared();

    static CallLogEntry requestFor(const QString &number)
    {
        return CallLogEntry(number, QStringLiteral("2026-12-09 at 10:00"));
    }

private Q_SLOTS:
    void init() { QFile::remove(callLogPath()); }

    void firstLoadCopiesTheEmptySeed()
    {
        QVERIFY(!QFile::exists(callLogPath()));
        QCOMPARE(store.load(), CallLog());
        QVERIFY(QFile::exists(callLogPath()));
        QVERIFY(QFileInfo(callLogPath()).isWritable());
    }

    // Every change reaches the followers with the log as written, so none reads the file.
    void recordAndClearTellTheFollowersWhatTheyWrote()
    {
        QSignalSpy changed(&store, &CallLogStore::changed);
        store.save(callLogOf({"+123", "812", "00123"}));
        const std::optional<CallLog> recorded = store.record(requestFor("812"));
        QCOMPARE(numbersIn(*recorded), (QStringList{"+123", "00123", "812"}));
        QCOMPARE(changed.last().first().toList(), *recorded);
        QCOMPARE(store.load(), recorded);

        // Clearing writes an empty array, and the next request starts a one-entry log.
        store.clear();
        QCOMPARE(changed.last().first().toList(), CallLog());
        QVERIFY(fileContent(callLogPath()).contains("<array/>"));
        QCOMPARE(numbersIn(*store.record(requestFor("5"))), QStringList{"5"});
        QCOMPARE(changed.size(), 4);
    }

    // The delegate's list operations are the store's: the call log's name is the call log.
    void delegateListsAreTheStores()
    {
        QSignalSpy changed(&store, &CallLogStore::changed);
        const CallLog log = callLogOf({"+123", "812"});
        const QString name = QFileInfo(callLogPath()).completeBaseName();
        MolvaneAppDelegate::SaveDictDataToPlistFile(log, name);
        QCOMPARE(changed.size(), 1);
        QCOMPARE(store.load(), log);
        QCOMPARE(MolvaneAppDelegate::GetDataFromPlistFile(name), log);
    }

    void unknownKeysAndValuesSurviveARequest()
    {
        QVariantMap richer{{QStringLiteral("phone_number"), QStringLiteral("555")},
                           {QStringLiteral("phone_time"), QStringLiteral("2026-01-01 at 09:00")},
                           {QStringLiteral("label"), QStringLiteral("office")}};
        const QVariantMap oddValue{{QStringLiteral("phone_number"), qint64(42)}};
        const CallLog stored{richer, oddValue, QStringLiteral("not an entry")};
        store.save(stored);

        store.record(requestFor("812"));
        const CallLog after = *store.load();
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
        CallLogStore::dropFirstEntryFor(log, number);
        QCOMPARE(numbersIn(log), remaining);
    }

    void entriesWithoutANumberNeverMatch()
    {
        CallLog log{QVariantMap{{QStringLiteral("phone_time"), QStringLiteral("x")}},
                    QVariantMap{{QStringLiteral("phone_number"), QStringList()}},
                    QStringLiteral("")};
        CallLogStore::dropFirstEntryFor(log, QString());
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
        QCOMPARE(store.load(), std::nullopt);

        // A request then records nothing; the file is left byte for byte, and no one is told.
        QSignalSpy changed(&store, &CallLogStore::changed);
        QCOMPARE(store.record(requestFor("812")), std::nullopt);
        QCOMPARE(fileContent(callLogPath()), content);
        QVERIFY(changed.isEmpty());
    }

    void pythonReadsWhatWeWriteAndWeReadWhatPythonWrites()
    {
        const QString cyrillic = QStringLiteral("Дом +7 (916) 123-45-67");
        store.save(callLogOf({QStringLiteral("+123"), cyrillic}));
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
        QCOMPARE(CallLogStore::loadList(QStringLiteral("python")),
                 callLogOf({QStringLiteral("00123"), QStringLiteral("Ёлка")}));
    }
};

MOLVANE_TEST_MAIN(CallLogStoreTest)
#include "tst_CallLogStore.moc"
