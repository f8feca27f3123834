#include "Platform/Preferences/UserDefaults.h"
#include "support/TestMain.h"

#include <QFile>

class UserDefaultsTest : public QObject
{
    Q_OBJECT

    static void writeStoreFile(const QByteArray &content)
    {
        const QString path = UserDefaults::standardFilePath();
        QDir().mkpath(QFileInfo(path).path());
        QFile file(path);
        QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(content);
    }

private Q_SLOTS:
    void cleanup() { QFile::remove(UserDefaults::standardFilePath()); }

    void storeLivesInTheUserConfigDirectory()
    {
        QCOMPARE(UserDefaults::standardFilePath(), qEnvironmentVariable("XDG_CONFIG_HOME") +
                                                       QStringLiteral("/molvane/preferences.ini"));
    }

    void synchronizedWritesAreReadByANewStore()
    {
        {
            UserDefaults defaults = UserDefaults::standardUserDefaults();
            defaults.setObject(QStringLiteral("russian"), QStringLiteral("current_language"));
            defaults.setBool(true, QStringLiteral("keypad_tone"));
            defaults.setBool(false, QStringLiteral("enable_autoanswer"));
            defaults.setInteger(20, QStringLiteral("callback_delay"));
            QVERIFY(defaults.synchronize());
        }
        QVERIFY(QFile::exists(UserDefaults::standardFilePath()));
        // A fresh store on the same file, as after a restart.
        UserDefaults reread(UserDefaults::standardFilePath());
        QCOMPARE(reread.objectForKey(QStringLiteral("current_language")),
                 QStringLiteral("russian"));
        QCOMPARE(reread.boolForKey(QStringLiteral("keypad_tone")), true);
        QCOMPARE(reread.boolForKey(QStringLiteral("enable_autoanswer")), false);
        QCOMPARE(reread.integerForKey(QStringLiteral("callback_delay")), 20);
    }

    void absentKeysReadAsNeutralValues()
    {
        UserDefaults defaults = UserDefaults::standardUserDefaults();
        QCOMPARE(defaults.objectForKey(QStringLiteral("current_language")), std::nullopt);
        QCOMPARE(defaults.boolForKey(QStringLiteral("keypad_tone")), false);
        QCOMPARE(defaults.integerForKey(QStringLiteral("callback_delay")), 0);
        QVERIFY(!QFile::exists(UserDefaults::standardFilePath()));
    }

    void emptyStringIsStoredAsAString()
    {
        UserDefaults defaults = UserDefaults::standardUserDefaults();
        defaults.setObject(QString(), QStringLiteral("current_language"));
        defaults.synchronize();
        QCOMPARE(UserDefaults(UserDefaults::standardFilePath())
                     .objectForKey(QStringLiteral("current_language")),
                 QString());
    }

    void handEditedValuesReadSensibly()
    {
        writeStoreFile("[General]\n"
                       "keypad_tone=YES\n"
                       "enable_autoanswer=banana\n"
                       "callback_delay=thirty\n"
                       "current_language=a, b\n");
        UserDefaults defaults = UserDefaults::standardUserDefaults();
        QCOMPARE(defaults.boolForKey(QStringLiteral("keypad_tone")), true);
        QCOMPARE(defaults.boolForKey(QStringLiteral("enable_autoanswer")), false);
        QCOMPARE(defaults.integerForKey(QStringLiteral("callback_delay")), 0);
        // A list is not a language; it reads as nothing rather than as some joined text.
        QCOMPARE(defaults.objectForKey(QStringLiteral("current_language")), std::nullopt);
    }

    void garbageFileReadsAsEmptyStoreAndCanBeOverwritten()
    {
        writeStoreFile(QByteArray("\x00\xff\xfe[[[=\n\x01garbage", 17));
        UserDefaults defaults = UserDefaults::standardUserDefaults();
        QCOMPARE(defaults.boolForKey(QStringLiteral("keypad_tone")), false);
        defaults.setBool(true, QStringLiteral("keypad_tone"));
        defaults.synchronize();
        QCOMPARE(UserDefaults(UserDefaults::standardFilePath())
                     .boolForKey(QStringLiteral("keypad_tone")),
                 true);
    }

    // The stock INI reader decodes these through a binary stream, and a bogus length in one
    // made it ask for gigabytes at start-up.
    void encodedObjectsReadAsTextWithoutBeingDecoded()
    {
        const char content[] = "[General]\n"
                               "keypad_tone=@Variant(\\0\\0\\0\\t=Vx7\x01\0\0\0f)\n"
                               "callback_delay=@Variant(\\0\\0\\0\\n\xff\xff\xff\xf0)\n"
                               "current_language=@@english\n";
        writeStoreFile(QByteArray(content, sizeof content - 1));
        UserDefaults defaults = UserDefaults::standardUserDefaults();
        QCOMPARE(defaults.boolForKey(QStringLiteral("keypad_tone")), false);
        QCOMPARE(defaults.integerForKey(QStringLiteral("callback_delay")), 0);
        QCOMPARE(defaults.objectForKey(QStringLiteral("current_language")), "@english");
    }

    void awkwardTextAndKeysSurviveAWriteAndARead()
    {
        const QStringList values{"a, b", "  spaced  ",           "\"quoted\" \\ back",
                                 "@at",  "line\nbreak\ttab\x01", "Русский",
                                 ""};
        {
            UserDefaults defaults = UserDefaults::standardUserDefaults();
            for (int index = 0; index < values.size(); ++index)
                defaults.setObject(values[index], QString("key=%1;[x]").arg(index));
            defaults.setInteger(-7, "Section/number");
            QVERIFY(defaults.synchronize());
        }
        UserDefaults reread = UserDefaults::standardUserDefaults();
        for (int index = 0; index < values.size(); ++index)
            QCOMPARE(reread.objectForKey(QString("key=%1;[x]").arg(index)), values[index]);
        QCOMPARE(reread.integerForKey("Section/number"), -7);
    }

    void aFileWrittenByTheStockIniFormatReadsTheSame()
    {
        {
            QSettings stock(UserDefaults::standardFilePath(), QSettings::IniFormat);
            stock.setValue("current_language", "russian");
            stock.setValue("keypad_tone", true);
            stock.setValue("callback_delay", 20);
            stock.setValue("list", QStringList{"x", "y"});
        }
        UserDefaults defaults = UserDefaults::standardUserDefaults();
        QCOMPARE(defaults.objectForKey("current_language"), "russian");
        QCOMPARE(defaults.boolForKey("keypad_tone"), true);
        QCOMPARE(defaults.integerForKey("callback_delay"), 20);
        QCOMPARE(defaults.objectForKey("list"), std::nullopt);
    }
};

MOLVANE_TEST_MAIN(UserDefaultsTest)
#include "tst_UserDefaults.moc"
