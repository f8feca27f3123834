#include "PhoneNumberFormatter.h"
#include "support/TestMain.h"

class PhoneNumberFormatterTest : public QObject
{
    Q_OBJECT

    static PhoneNumberFormatter formatterFor(const char *locale)
    {
        PhoneNumberFormatter formatter;
        formatter.setLocale(QLocale(QLatin1String(locale)));
        return formatter;
    }

private Q_SLOTS:
    void formatsUnderUnitedStatesEnglish_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("formatted");
        QTest::newRow("ten") << "ABCDEFGHIJ"
                             << "(ABC) DEF-GHIJ";
        QTest::newRow("six") << "ABCDEF"
                             << "(ABC) DEF-";
        QTest::newRow("longer") << "+7916123456789"
                                << "(+79) 161-23456789";
        QTest::newRow("short") << "12"
                               << "(12) -";
        QTest::newRow("empty") << ""
                               << "() -";
    }

    void formatsUnderUnitedStatesEnglish()
    {
        QFETCH(QString, number);
        QFETCH(QString, formatted);
        QCOMPARE(formatterFor("en_US").stringFromPhoneNumber(number), formatted);
    }

    void otherLocalesGiveNothingVisible()
    {
        for (const char *locale : {"en_GB", "ru_RU", "C"})
            QCOMPARE(formatterFor(locale).stringFromPhoneNumber("5551234567"), QString());
    }

    void onlyWholeNumbersAreObjects()
    {
        const PhoneNumberFormatter formatter = formatterFor("en_US");
        QCOMPARE(formatter.stringForObjectValue(qint64(5551234567)), "(555) 123-4567");
        QCOMPARE(formatter.stringForObjectValue(5551234567.0), "(555) 123-4567");
        QCOMPARE(formatter.stringForObjectValue(QString("5551234567")), std::nullopt);
        QCOMPARE(formatter.stringForObjectValue(1.5), std::nullopt);
        QCOMPARE(formatter.stringForObjectValue(QVariant()), std::nullopt);
        QVariant parsed("untouched");
        QString error("untouched");
        QVERIFY(!formatter.getObjectValue(&parsed, "(555) 123-4567", &error));
        QCOMPARE(parsed, QVariant("untouched"));
        QCOMPARE(error, "untouched");
        QCOMPARE(formatter.attirbutedStringForObjectValue(5551234567LL, {}), std::nullopt);
    }
};

MOLVANE_TEST_MAIN(PhoneNumberFormatterTest)
#include "tst_PhoneNumberFormatter.moc"
