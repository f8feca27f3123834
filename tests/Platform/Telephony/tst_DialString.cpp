#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/DialString.h"
#include "Platform/Telephony/TelephonyService.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

class DialStringTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void separatorsAreDroppedAndOthersRefused_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("dialled"); // empty: refused
        QTest::newRow("callback code") << "*146*00123#"
                                       << "*146*00123#";
        QTest::newRow("national code") << "146812#"
                                       << "146812#";
        QTest::newRow("written number") << "+7 (912) 345-67.89"
                                        << "+79123456789";
        QTest::newRow("pauses") << "0123,45p6w7"
                                << "0123,45p6w7";
        QTest::newRow("semicolon") << "146812#;"
                                   << "";
        QTest::newRow("new line") << "146812#\n*99#"
                                  << "";
        QTest::newRow("nul") << QString::fromUtf16(u"146\u0000812#", 8) << "";
        QTest::newRow("tab") << "146\t812#"
                             << "";
        QTest::newRow("letters") << "146abc#"
                                 << "";
        QTest::newRow("capital pause") << "123P4"
                                       << "";
        QTest::newRow("other digits") << QString::fromUtf16(u"\u0661\u0662\u0663") << "";
        QTest::newRow("only separators") << " - ( ) . "
                                         << "";
        QTest::newRow("nothing") << ""
                                 << "";
    }

    void separatorsAreDroppedAndOthersRefused()
    {
        QFETCH(QString, typed);
        QFETCH(QString, dialled);
        const auto expected = dialled.isEmpty() ? std::nullopt : std::optional(dialled);
        QCOMPARE(DialString::dialable(typed), expected);

        // Every backend sits behind the same check.
        RecordingBackend *modem = RecordingBackend::install();
        std::optional<DialOutcome> outcome;
        CTCallDialWithID(typed, -1, this, [&](const DialOutcome &told) { outcome = told; });
        QCOMPARE(modem->dialled, dialled.isEmpty() ? QStringList() : QStringList{dialled});
        // Told later, never from inside the dial.
        QVERIFY(!outcome);
        QTRY_VERIFY(outcome);
        QCOMPARE(*outcome, dialled.isEmpty() ? DialOutcome::failed(DialOutcome::Refused)
                                             : DialOutcome::sent());
    }

    void stringsEndingInHashAreServiceCodes_data()
    {
        QTest::addColumn<QString>("dialString");
        QTest::addColumn<bool>("serviceCode");
        QTest::newRow("international template") << "*146*0044123#" << true;
        QTest::newRow("national template") << "146812#" << true;
        QTest::newRow("balance") << "*100#" << true;
        QTest::newRow("plain number") << "+79123456789" << false;
        QTest::newRow("hash inside") << "#31#812" << false;
        QTest::newRow("tones after a pause") << "812,123#" << false;
    }

    void stringsEndingInHashAreServiceCodes()
    {
        QFETCH(QString, dialString);
        QFETCH(bool, serviceCode);
        QCOMPARE(DialString::isServiceCode(dialString), serviceCode);
    }
};

MOLVANE_TEST_MAIN(DialStringTest)
#include "tst_DialString.moc"
