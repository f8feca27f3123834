#include "TelLink.h"
#include "support/TestMain.h"

class TelLinkTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void numberIn_data()
    {
        QTest::addColumn<QString>("link");
        QTest::addColumn<QString>("number"); // empty: no number
        const QString none;
        QTest::newRow("separators") << "tel:+7-916-123-45-67"
                                    << "+79161234567";
        QTest::newRow("brackets and dots") << "tel:+7(916)123.45.67"
                                           << "+79161234567";
        QTest::newRow("context dropped") << "tel:7042;phone-context=example.com"
                                         << "7042";
        QTest::newRow("extension dropped") << "tel:+1-201-555-0123;ext=1234"
                                           << "+12015550123";
        QTest::newRow("escaped space and hash") << "tel:*100%23"
                                                << "*100#";
        QTest::newRow("escaped plus") << "tel:%2B7%20916%201234567"
                                      << "+79161234567";
        QTest::newRow("scheme in capitals, host form") << " TEL://8 800 555 35 35 "
                                                       << "88005553535";
        QTest::newRow("other scheme") << "sip:alice@example.com" << none;
        QTest::newRow("no number") << "tel:" << none;
        QTest::newRow("letters") << "tel:1-800-FLOWERS" << none;
        QTest::newRow("plus inside") << "tel:7+916" << none;
        QTest::newRow("escaped semicolon") << "tel:123%3B456" << none;
        QTest::newRow("markup") << "tel:<b>123</b>" << none;
        QTest::newRow("control character") << "tel:123%0A456" << none;
        QTest::newRow("broken escape") << "tel:12%G3" << none;
        QTest::newRow("too long") << "tel:" + QString(TelLink::longestNumber + 1, '1') << none;
    }

    // Whatever a link holds, the dial pad gets a number it could have typed, or nothing.
    void numberIn()
    {
        QFETCH(QString, link);
        QFETCH(QString, number);
        QCOMPARE(TelLink::numberIn(link).value_or(QString()), number);
    }
};

MOLVANE_TEST_MAIN(TelLinkTest)
#include "tst_TelLink.moc"
