#include "CallLogStore.h"
#include "CallbackRequest.h"
#include "support/CallLogFiles.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

// The request flow on its own: no screen, no widget.
class CallbackRequestTest : public QObject
{
    Q_OBJECT

    RecordingBackend *modem = nullptr;

    static QStringList numbersLogged()
    {
        QStringList numbers;
        for (const QVariant &entry : CallLogStore::shared().load().value_or(CallLog()))
            numbers << CallLogEntry(entry).phoneNumber().value_or(QString());
        return numbers;
    }

private Q_SLOTS:
    void init()
    {
        QFile::remove(callLogPath());
        modem = RecordingBackend::install(callLogPath());
    }

    void requestIsLoggedThenDialledAndItsOutcomeFollows_data()
    {
        QTest::addColumn<QString>("number");
        QTest::addColumn<QString>("code");
        QTest::addColumn<int>("failure");
        QTest::newRow("plus") << "+79161234567"
                              << "*146*0079161234567#" << -1;
        QTest::newRow("double zero") << "0079161234567"
                                     << "*146*0079161234567#" << -1;
        QTest::newRow("national") << "89161234567"
                                  << "14689161234567#" << -1;
        QTest::newRow("refused") << "812"
                                 << "146812#" << int(DialOutcome::NetworkRefused);
    }
    void requestIsLoggedThenDialledAndItsOutcomeFollows()
    {
        QFETCH(QString, number);
        QFETCH(QString, code);
        QFETCH(int, failure);
        if (failure >= 0)
            modem->outcome = DialOutcome::failed(DialOutcome::Failure(failure));
        QObject context;
        std::optional<DialOutcome> outcome;
        const CallbackRequest::Sent sent = CallbackRequest::send(
            number, &context, [&outcome](const DialOutcome &told) { outcome = told; });

        QCOMPARE(sent.code, code);
        QCOMPARE(modem->dialled, QStringList{code});
        QVERIFY(modem->fileAtDial.value(0).contains(number.toUtf8()));
        QVERIFY(!outcome); // told later, from the event loop
        QTRY_VERIFY(outcome);
        QCOMPARE(outcome->wasSent(), failure < 0);
        QCOMPARE(numbersLogged(), QStringList{number});
        QCOMPARE(sent.log.value_or(CallLog()).size(), 1);
        QVERIFY(QApplication::allWidgets().isEmpty());
    }

    // A number asked for again moves to the end of the log instead of appearing twice.
    void repeatedNumberMovesToTheEnd()
    {
        QObject context;
        for (const char *number : {"812", "555", "812"})
            CallbackRequest::send(number, &context, [](const DialOutcome &) {});
        QCOMPARE(numbersLogged(), (QStringList{"555", "812"}));
    }

    // The outcome is not told to a requester that is gone. Outcomes are told from the event
    // loop in the order of their dials: once a later request has its own, this one's is past.
    void outcomeGoesNowhereOnceTheRequesterIsGone()
    {
        bool told = false;
        {
            QObject context;
            CallbackRequest::send("812", &context, [&told](const DialOutcome &) { told = true; });
        }
        QObject laterContext;
        bool laterTold = false;
        CallbackRequest::send("555", &laterContext,
                              [&laterTold](const DialOutcome &) { laterTold = true; });
        QTRY_VERIFY(laterTold);
        QVERIFY(!told);
    }
};

MOLVANE_TEST_MAIN(CallbackRequestTest)
#include "tst_CallbackRequest.moc"
