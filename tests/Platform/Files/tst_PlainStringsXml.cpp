#include "Platform/Files/PlainStringsXml.h"
#include "Platform/Files/PropertyList.h"
#include "Platform/Files/PropertyListNodes.h"
#include "support/TestMain.h"

#include <QProcess>
#include <QTemporaryDir>

namespace {
QByteArray libplistXml(const QVariantList &list)
{
    const PlistNode root = PlistNodeFromVariant(list);
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    QByteArray content(xml, qsizetype(length));
    plist_to_xml_free(xml);
    return content;
}

QVariantMap entry(const QString &number, const QString &time = "2026-12-07 at 10:00")
{
    return {{"phone_number", number}, {"phone_time", time}};
}
} // namespace

class PlainStringsXmlTest : public QObject
{
    Q_OBJECT

    QTemporaryDir directory;

private Q_SLOTS:
    void sameBytesAsLibplist_data()
    {
        QTest::addColumn<QVariantList>("list");
        QTest::newRow("empty") << QVariantList{};
        QTest::newRow("entries") << QVariantList{entry("+123"), entry("00123"), entry("812")};
        QTest::newRow("markup characters")
            << QVariantList{entry("a&b<c>d\"e'f]]>"), QVariantMap{{"k&<>\"", "v"}}};
        QTest::newRow("unicode") << QVariantList{entry("Ёлка ☎ 😀 José"), QString("Дом")};
        QTest::newRow("tabs and newlines") << QVariantList{entry("a\tb\nc")};
        QTest::newRow("empty strings and dictionaries")
            << QVariantList{QVariantMap{}, QString(), entry(QString(), QString())};
    }

    void sameBytesAsLibplist()
    {
        QFETCH(QVariantList, list);
        const std::optional<QByteArray> plain = PlainStringsXml(list);
        QVERIFY(plain);
        QCOMPARE(*plain, libplistXml(list));
    }

    void leavesEverythingElseToLibplist_data()
    {
        QTest::addColumn<QVariantList>("list");
        QTest::newRow("number value") << QVariantList{QVariantMap{{"phone_number", 42}}};
        QTest::newRow("nested list") << QVariantList{QVariantList{}};
        QTest::newRow("nested dictionary") << QVariantList{QVariantMap{{"inner", QVariantMap{}}}};
        QTest::newRow("data") << QVariantList{QByteArray("x")};
        QTest::newRow("carriage return") << QVariantList{entry("1\r2")};
        QTest::newRow("control character") << QVariantList{entry(QString("1") + QChar(1))};
        QTest::newRow("NUL in key") << QVariantList{QVariantMap{{QString(QChar(0)), "v"}}};
    }

    void leavesEverythingElseToLibplist()
    {
        QFETCH(QVariantList, list);
        QCOMPARE(PlainStringsXml(list), std::nullopt);
    }

    // XML has no place for U+FFFE and U+FFFF: other readers (Python's plistlib among them)
    // refuse a file that holds them, so they are stored as U+FFFD.
    void noncharactersAreReplacedForOtherReaders_data()
    {
        QTest::addColumn<QChar>("noncharacter");
        QTest::newRow("U+FFFE") << QChar(0xFFFE);
        QTest::newRow("U+FFFF") << QChar(0xFFFF);
    }

    void noncharactersAreReplacedForOtherReaders()
    {
        QFETCH(QChar, noncharacter);
        const QString path = directory.filePath("nonchar.plist");
        QVERIFY(WritePropertyListAtomically(path, {entry(QString("1") + noncharacter + "2")}));
        QProcess python;
        python.start("/usr/bin/python3",
                     {"-c",
                      "import plistlib, sys; "
                      "sys.stdout.buffer.write(plistlib.load(open(sys.argv[1], 'rb'))[0]"
                      "['phone_number'].encode())",
                      path});
        QVERIFY(python.waitForFinished(10000));
        QCOMPARE(python.readAllStandardError(), QByteArray());
        QCOMPARE(QString::fromUtf8(python.readAllStandardOutput()),
                 QString("1") + QChar::ReplacementCharacter + "2");
    }

    void aFileChangedInPlaceIsReadAfresh()
    {
        const QString path = directory.filePath("log.plist");
        QVERIFY(WritePropertyListAtomically(path, {entry("111")}));
        QCOMPARE(ReadPropertyListArray(path), QVariantList{entry("111")});

        // Same size, same file, rewritten at once: only the bytes tell it apart.
        QFile file(path);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QByteArray content = file.readAll();
        content.replace("111", "222");
        file.seek(0);
        file.write(content);
        file.close();
        QCOMPARE(ReadPropertyListArray(path), QVariantList{entry("222")});

        file.open(QIODevice::WriteOnly | QIODevice::Truncate);
        file.write("garbage");
        file.close();
        QCOMPARE(ReadPropertyListArray(path), std::nullopt);
    }

    void richListsStillRoundTrip()
    {
        const QString path = directory.filePath("rich.plist");
        const QVariantList rich{QVariantMap{{"count", qint64(3)}, {"flag", true}}, entry("1")};
        QVERIFY(WritePropertyListAtomically(path, rich));
        QCOMPARE(ReadPropertyListArray(path), rich);
        QVERIFY(WritePropertyListAtomically(path, {entry("2")}));
        QCOMPARE(ReadPropertyListArray(path), QVariantList{entry("2")});
    }
};

MOLVANE_TEST_MAIN(PlainStringsXmlTest)
#include "tst_PlainStringsXml.moc"
