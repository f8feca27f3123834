#include "CallLogStore.h"
#include "Platform/Files/BundleResource.h"
#include "Platform/Files/DocumentsDirectory.h"
#include "Platform/Files/PropertyList.h"
#include "support/TestMain.h"

#include <QDir>
#include <QFile>
#include <QUrl>
#include <limits>
#include <plist/plist.h>

namespace {

QByteArray BigEndian(quint64 value, int width)
{
    QByteArray bytes;
    for (int shift = (width - 1) * 8; shift >= 0; shift -= 8)
        bytes += static_cast<char>((value >> shift) & 0xFF);
    return bytes;
}

QByteArray ArrayObject(const QList<quint32> &references)
{
    QByteArray object(1, static_cast<char>(0xA0 | references.size()));
    for (const quint32 reference : references)
        object += BigEndian(reference, 4);
    return object;
}

QByteArray DictionaryObject(quint32 key, quint32 value)
{
    return QByteArray(1, char(0xD1)) + BigEndian(key, 4) + BigEndian(value, 4);
}

// A binary property list laid out object by object (object 0 is the root), so that tests can
// build shapes no writer would produce.
QByteArray BinaryPlist(const QList<QByteArray> &objects)
{
    QByteArray bytes = "bplist00";
    QByteArray offsetTable;
    for (const QByteArray &object : objects) {
        offsetTable += BigEndian(bytes.size(), 4);
        bytes += object;
    }
    const qsizetype tableOffset = bytes.size();
    return bytes + offsetTable + QByteArray(6, '\0') + char(4) + char(4) +
           BigEndian(objects.size(), 8) + BigEndian(0, 8) + BigEndian(tableOffset, 8);
}

// Arrays nested `depth` levels around one string, each referring to the next object.
QByteArray NestedBinaryArrays(int depth)
{
    QList<QByteArray> objects;
    for (int level = 1; level <= depth; ++level)
        objects.append(ArrayObject({static_cast<quint32>(level)}));
    objects.append(QByteArray("\x51x"));
    return BinaryPlist(objects);
}

QByteArray NestedXmlArrays(int depth, const QByteArray &opening = "<array>")
{
    return "<plist>" + opening.repeated(depth) + "<string>x</string>" +
           QByteArray("</array>").repeated(depth) + "</plist>";
}

} // namespace

class PropertyListTest : public QObject
{
    Q_OBJECT

    QString path;

    void writeRaw(const QByteArray &content)
    {
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        QCOMPARE(file.write(content), content.size());
    }
    QByteArray readRaw()
    {
        QFile file(path);
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

private Q_SLOTS:
    void init() { path = QDir(DocumentsDirectory()).filePath(QStringLiteral("test.plist")); }
    void cleanup() { QDir(DocumentsDirectory()).removeRecursively(); }

    void roundTripKeepsOrderKeysAndTypes()
    {
        const QVariantMap entry{
            {QStringLiteral("phone_number"), QStringLiteral("+7 (900) 12-34")},
            {QStringLiteral("phone_time"), QStringLiteral("2024-05-01 at 09:30")},
            {QStringLiteral("extra"),
             QVariantList{qint64(-1), true, QVariantMap{}, QVariantList{}}},
        };
        const QVariantList written{
            entry,
            QStringLiteral("Кириллица <&> \"quoted\"\ttab\nline"),
            QString(),
            std::numeric_limits<qint64>::min(),
            std::numeric_limits<qint64>::max(),
            std::numeric_limits<quint64>::max(),
            -0.5,
            std::numeric_limits<double>::infinity(),
            false,
            QDateTime(QDate(2024, 5, 1), QTime(9, 30, 15), Qt::UTC),
            QDateTime(QDate(1999, 12, 31), QTime(23, 59, 59), Qt::LocalTime),
            QByteArray("\x00\xff\x10 binary", 10),
            QVariantMap{{QStringLiteral("CF$UID"), qint64(7)}},
            QVariantList{QVariantList{QVariantList{QStringLiteral("deep")}}},
        };
        QVERIFY(WritePropertyListAtomically(path, written));
        QVERIFY(readRaw().startsWith("<?xml"));
        const std::optional<QVariantList> read = ReadPropertyListArray(path);
        QVERIFY(read);
        QCOMPARE(*read, written);
        QCOMPARE(read->at(3).typeId(), QMetaType::LongLong);
        QCOMPARE(read->at(5).typeId(), QMetaType::ULongLong);
    }

    void writeKeepsTextFormsAndRefusesWhatItCannotStore()
    {
        const QVariantList original{QStringLiteral("old")};
        QVERIFY(WritePropertyListAtomically(path, original));
        const QByteArray before = readRaw();

        QVERIFY(WritePropertyListAtomically(
            path, {QUrl(QStringLiteral("tel:+123")), QDate(2024, 1, 2), 5u, short(-3)}));
        QCOMPARE(*ReadPropertyListArray(path),
                 QVariantList({QStringLiteral("tel:+123"), QStringLiteral("2024-01-02"), qint64(5),
                               qint64(-3)}));

        QVERIFY(WritePropertyListAtomically(path, original));
        QVariantList tooDeep{QStringLiteral("x")};
        for (int level = 1; level < PropertyListMaxNesting; ++level)
            tooDeep = QVariantList{tooDeep};
        QVERIFY(WritePropertyListAtomically(path, tooDeep));
        QVERIFY(WritePropertyListAtomically(path, original));
        for (const QVariantList &unstorable :
             {QVariantList{QVariant()}, QVariantList{tooDeep},
              QVariantList{QVariant::fromValue<QObject *>(this)}}) {
            QVERIFY(!WritePropertyListAtomically(path, unstorable));
            QCOMPARE(readRaw(), before);
        }
    }

    void charactersXmlCannotCarryBecomeReplacementCharacters()
    {
        const QString hostile = QStringLiteral("a") + QChar(u'\0') + QChar(u'\x01') +
                                QStringLiteral("\t\nb") + QChar(0xFFFF);
        QVERIFY(WritePropertyListAtomically(path, {QVariantMap{{hostile, hostile}}}));
        const QString readable = QStringLiteral("a\uFFFD\uFFFD\t\nb\uFFFD");
        const QVariantList expected{QVariantMap{{readable, readable}}};
        QCOMPARE(*ReadPropertyListArray(path), expected);
    }

    void atomicWriteReplacesTheWholeFileAndLeavesNoTemporary()
    {
        QVERIFY(WritePropertyListAtomically(path, QVariantList(100, QStringLiteral("long"))));
        QVERIFY(WritePropertyListAtomically(path, {QStringLiteral("short")}));
        QCOMPARE(*ReadPropertyListArray(path), QVariantList{QStringLiteral("short")});
        QCOMPARE(QDir(DocumentsDirectory()).entryList(QDir::Files | QDir::Hidden),
                 QStringList{QStringLiteral("test.plist")});
        QVERIFY(!WritePropertyListAtomically(
            DocumentsDirectory() + QStringLiteral("/no/such.plist"), {}));
    }

    void readsBinaryPropertyLists()
    {
        plist_t root = plist_new_array();
        plist_t entry = plist_new_dict();
        plist_dict_set_item(entry, "phone_number", plist_new_string("00123"));
        plist_dict_set_item(entry, "count", plist_new_uint(static_cast<uint64_t>(-2)));
        plist_array_append_item(root, entry);
        plist_array_append_item(root, plist_new_uid(9));
        plist_array_append_item(root, plist_new_date(0, 0));
        char *binary = nullptr;
        uint32_t length = 0;
        plist_to_bin(root, &binary, &length);
        writeRaw(QByteArray(binary, length));
        plist_to_bin_free(binary);
        plist_free(root);

        const QVariantList expected{
            QVariantMap{{QStringLiteral("phone_number"), QStringLiteral("00123")},
                        {QStringLiteral("count"), qint64(-2)}},
            QVariantMap{{QStringLiteral("CF$UID"), qint64(9)}},
            QDateTime(QDate(2001, 1, 1), QTime(0, 0), Qt::UTC),
        };
        QCOMPARE(*ReadPropertyListArray(path), expected);
        // A UID written back takes the form the XML format gives it and reads the same.
        QVERIFY(WritePropertyListAtomically(path, expected));
        QCOMPARE(*ReadPropertyListArray(path), expected);

        writeRaw(BinaryPlist({ArrayObject({1}), DictionaryObject(2, 3),
                              "\x52"
                              "ab",
                              "\x51x"}));
        const QVariantList handMade{QVariantMap{{QStringLiteral("ab"), QStringLiteral("x")}}};
        QCOMPARE(*ReadPropertyListArray(path), handMade);
    }

    void refusesFilesThatAreNotAnArray_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::newRow("empty") << QByteArray();
        QTest::newRow("text") << QByteArray("phone_number=+123\n");
        QTest::newRow("dictionary root")
            << QByteArray("<plist><dict><key>a</key><string>b</string></dict></plist>");
        QTest::newRow("string root") << QByteArray("<plist><string>x</string></plist>");
        QTest::newRow("truncated") << QByteArray("<plist><array><string>x</str");
        QTest::newRow("binary garbage") << QByteArray("bplist00").append(64, '\xff');
        QTest::newRow("binary cycle") << BinaryPlist({ArrayObject({1}), ArrayObject({0})});
        QTest::newRow("binary reference out of range") << BinaryPlist({ArrayObject({5})});
        // libplist aborts when asked for a key holding a NUL.
        const auto dictionaryWithKey = [](const QByteArray &key) {
            return BinaryPlist({ArrayObject({1}), DictionaryObject(2, 3), key, "\x51x"});
        };
        QTest::newRow("binary key holding a NUL") << dictionaryWithKey({"\x53"
                                                                        "a\0b",
                                                                        4});
        QTest::newRow("binary UTF-16 key holding a NUL") << dictionaryWithKey({"\x62\0a\0\0", 5});
        QTest::newRow("binary key that is a number") << dictionaryWithKey("\x10\x05");
    }
    void refusesFilesThatAreNotAnArray()
    {
        QFETCH(QByteArray, content);
        writeRaw(content);
        QCOMPARE(ReadPropertyListArray(path), std::nullopt);
        QCOMPARE(readRaw(), content);
    }

    void refusesMissingAndOversizedFiles()
    {
        QCOMPARE(ReadPropertyListArray(path), std::nullopt);
        QVERIFY(!QFile::exists(path));

        QByteArray content = "<plist><array><string>x</string></array></plist>";
        content.append(PropertyListMaxFileSize - content.size(), ' ');
        writeRaw(content);
        QCOMPARE(*ReadPropertyListArray(path), QVariantList{QStringLiteral("x")});
        writeRaw(content + ' ');
        QCOMPARE(ReadPropertyListArray(path), std::nullopt);

        // A file that states no size and never ends.
        QFile::remove(path);
        QVERIFY(QFile::link(QStringLiteral("/dev/zero"), path));
        QCOMPARE(ReadPropertyListArray(path), std::nullopt);
    }

    void limitsNestingWithoutCrashing_data()
    {
        QTest::addColumn<QByteArray>("content");
        QTest::addColumn<bool>("accepted");
        const int limit = PropertyListMaxNesting;
        QTest::newRow("xml at limit") << NestedXmlArrays(limit) << true;
        QTest::newRow("xml over limit") << NestedXmlArrays(limit + 1) << false;
        QTest::newRow("xml over limit, innermost empty")
            << "<plist>" + QByteArray("<array>").repeated(limit) + "<array/>" +
                   QByteArray("</array>").repeated(limit) + "</plist>"
            << false;
        QTest::newRow("xml very deep") << NestedXmlArrays(1000000) << false;
        QTest::newRow("xml closings in comments")
            << NestedXmlArrays(1000000, "<array><!-- </array> -->") << false;
        QTest::newRow("xml self-closing in attributes")
            << NestedXmlArrays(1000000, "<array a=\"/>\">") << false;
        QTest::newRow("binary at limit") << NestedBinaryArrays(limit) << true;
        QTest::newRow("binary over limit") << NestedBinaryArrays(limit + 1) << false;
        QTest::newRow("binary very deep") << NestedBinaryArrays(1000000) << false;
        // Every level refers twice to the next: 150 bytes that expand to 2^41 nodes.
        QList<QByteArray> doubling;
        for (quint32 level = 1; level <= 40; ++level)
            doubling.append(ArrayObject({level, level}));
        doubling.append(QByteArray("\x51x"));
        QTest::newRow("binary shared references") << BinaryPlist(doubling) << false;
    }
    void limitsNestingWithoutCrashing()
    {
        QFETCH(QByteArray, content);
        QFETCH(bool, accepted);
        writeRaw(content);
        QCOMPARE(ReadPropertyListArray(path).has_value(), accepted);
    }

    void copiesTheBundledSeedOnlyWhenMissing()
    {
        QCOMPARE(DocumentsDirectory(),
                 qEnvironmentVariable("XDG_DATA_HOME") + QStringLiteral("/molvane"));
        QVERIFY(QFileInfo(DocumentsDirectory()).isDir());
        // The call log's seed, the one bundled list.
        const QString seed = QFileInfo(CallLogStore::path()).completeBaseName();

        QVERIFY(CopyBundleResourceIfMissing(seed, QStringLiteral("plist"), path));
        QCOMPARE(*ReadPropertyListArray(path), QVariantList());
        QVERIFY(QFileInfo(path).permissions().testFlag(QFileDevice::WriteOwner));

        writeRaw("kept");
        QVERIFY(CopyBundleResourceIfMissing(seed, QStringLiteral("plist"), path));
        QCOMPARE(readRaw(), QByteArray("kept"));

        const QString other = path + QStringLiteral(".other");
        QVERIFY(!CopyBundleResourceIfMissing(QStringLiteral("nothing"), QStringLiteral("plist"),
                                             other));
        QVERIFY(!QFile::exists(other));
    }

    void describesListsOnOneLine()
    {
        QCOMPARE(DescribePropertyList(std::nullopt), QStringLiteral("(null)"));
        QCOMPARE(DescribePropertyList(QVariantList()), QStringLiteral("()"));
        const QVariantList list{
            QVariantMap{{QStringLiteral("phone_number"), QStringLiteral("+1 \"a\"\n")},
                        {QStringLiteral("n"), qint64(-3)}},
            QByteArray("\x01\xab", 2),
            QDateTime(QDate(2024, 5, 1), QTime(9, 30), Qt::UTC),
            true,
            QVariant(),
        };
        QCOMPARE(DescribePropertyList(list),
                 QStringLiteral("({\"n\" = -3; \"phone_number\" = \"+1 \\\"a\\\"\\n\";}, <01ab>, "
                                "2024-05-01T09:30:00Z, true, (null))"));

        QVariantList numbers;
        for (int number = 1; number <= 25; ++number)
            numbers << number;
        QCOMPARE(DescribePropertyList(numbers),
                 QStringLiteral("(... 15 earlier items, 16, 17, 18, 19, 20, 21, 22, 23, 24, 25)"));
    }
};

MOLVANE_TEST_MAIN(PropertyListTest)
#include "tst_PropertyList.moc"
