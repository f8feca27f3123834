#include "Platform/Telephony/Ringer.h"
#include "support/DBusMock.h"
#include "support/PrivateBus.h"
#include "support/TestMain.h"

// The ring of an incoming call as feedbackd is asked for it.
class RingerTest : public QObject
{
    Q_OBJECT

    PrivateBus sessionBus{PrivateBus::Session};
    std::optional<DBusMock> feedbackd;

private Q_SLOTS:
    void init()
    {
        feedbackd.emplace("org.sigxcpu.Feedback",
                          qEnvironmentVariable("MOLVANE_SOURCE_DIR") +
                              "/tests/support/feedbackd_template.py",
                          QVariantMap(), QDBusConnection::SessionBus);
        QVERIFY(feedbackd->start());
    }

    // Steps: start, stop, "answered" (feedbackd's answers so far are in), "gone" (the ringer is).
    void ringsOnceUntilStopped_data()
    {
        QTest::addColumn<QStringList>("steps");
        QTest::newRow("stopped while ringing") << QStringList{"start", "answered", "stop"};
        QTest::newRow("stopped before the ring began") << QStringList{"start", "stop"};
        QTest::newRow("started twice") << QStringList{"start", "answered", "start", "stop"};
        QTest::newRow("started again before the ring began")
            << QStringList{"start", "stop", "start", "answered", "stop"};
        QTest::newRow("gone while ringing") << QStringList{"start", "answered", "gone"};
    }
    void ringsOnceUntilStopped()
    {
        QFETCH(QStringList, steps);
        auto ringer = std::make_unique<Ringer>();
        for (const QString &step : steps) {
            if (step == "start")
                ringer->start();
            else if (step == "stop")
                ringer->stop();
            else if (step == "answered")
                feedbackd->catchUp();
            else
                ringer.reset();
        }
        // feedbackd's answers are in, and what they led to has reached it.
        feedbackd->catchUp();
        feedbackd->catchUp();
        QCOMPARE(feedbackd->methodsCalled(), QStringList({"TriggerFeedback", "EndFeedback"}));
        const QVariantList trigger = feedbackd->callsOf("TriggerFeedback").first();
        QCOMPARE(trigger.mid(0, 2), QVariantList({"org.molvane.Molvane", "phone-incoming-call"}));
        QCOMPARE(trigger.value(3), 0);
        QCOMPARE(feedbackd->callsOf("EndFeedback"), QList<QVariantList>{{1u}});
        QVERIFY(!ringer || !ringer->isRinging());
    }

    void withoutFeedbackdWarnsOnceAndRingsNothing()
    {
        feedbackd->stop();
        const QRegularExpression warning("^Ringer: org.sigxcpu.Feedback cannot be reached, so "
                                         "incoming calls neither ring nor vibrate: ");
        QTest::ignoreMessage(QtWarningMsg, warning);
        QTest::failOnWarning(warning);
        Ringer ringer;
        ringer.start();
        feedbackd->catchUp();
        QVERIFY(!ringer.isRinging());
        ringer.start();
        ringer.stop();
        feedbackd->catchUp();
    }
};

MOLVANE_TEST_MAIN(RingerTest)
#include "tst_Ringer.moc"
