#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/SimulatedOperator.h"
#include "Platform/Telephony/TelephonyService.h"
#include "support/TestMain.h"

#include <QSignalSpy>

using namespace std::chrono_literals;

namespace {
struct Event
{
    CTCallState state;
    QString number;
    bool operator==(const Event &) const = default;
};

QList<Event> observedByCallback;
bool answerFromCallback = false;

// Registered the way auto-answer registers: no observer, every notification.
void recordingCallback(CTTelephonyCenter *, void *, const QString &, const void *,
                       const QVariantMap &userInfo)
{
    const auto call = userInfo.value(kCTCall).value<CTCall>();
    observedByCallback.append({call.callState(), call.number()});
    if (answerFromCallback)
        CTCallAnswer(call);
}

// Lets QCOMPARE print the events that differ.
char *toString(const Event &event)
{
    return qstrdup(QStringLiteral("%1 %2")
                       .arg(QLatin1String(CTCallStateName(event.state)), event.number)
                       .toUtf8()
                       .constData());
}
} // namespace

class SimulatedOperatorTest : public QObject
{
    Q_OBJECT

    SimulatedOperator *simulated = nullptr;
    QList<Event> observedByHandler;
    std::unique_ptr<CTCallCenter> callCenter;

    void waitForEvents(int count)
    {
        QTRY_COMPARE_WITH_TIMEOUT(observedByHandler.size(), count, 2000);
    }

private Q_SLOTS:
    void init()
    {
        auto backend = std::make_unique<SimulatedOperator>(SimulatedOperator::Delays{
            .ringBack = 30ms, .callDuration = 40ms, .ringTimeout = 60ms, .serviceCall = 10ms});
        simulated = backend.get();
        TelephonyService::shared().setBackend(std::move(backend));
        observedByHandler.clear();
        observedByCallback.clear();
        answerFromCallback = false;
        callCenter = std::make_unique<CTCallCenter>();
        callCenter->setCallEventHandler([this](const CTCall &call) {
            observedByHandler.append({call.callState(), call.number()});
        });
        CTTelephonyCenterAddObserver(CTTelephonyCenterGetDefault(), nullptr, recordingCallback,
                                     std::nullopt, nullptr, CFNotificationSuspensionBehaviorHold);
    }

    void cleanup()
    {
        CTTelephonyCenterRemoveObserver(CTTelephonyCenterGetDefault(), nullptr, std::nullopt,
                                        nullptr);
        callCenter.reset();
    }

    // A modem that appears takes over; the simulated calls end with the simulation.
    void replacedOperatorEndsItsCalls()
    {
        CTCallDialWithID("146812#", -1);
        QTRY_VERIFY(observedByHandler.contains(Event{CTCallStateIncoming, "812"}));
        TelephonyService::shared().setBackend(std::make_unique<SimulatedOperator>());
        QCOMPARE(observedByHandler.last(), (Event{CTCallStateDisconnected, "812"}));
    }

    void answeredCallbackIsConnectedThenEnds()
    {
        answerFromCallback = true;
        CTCallDialWithID(QStringLiteral("*146*00123#"), -1);
        QCOMPARE(simulated->dialledCodes(), QStringList{QStringLiteral("*146*00123#")});
        QVERIFY2(observedByHandler.isEmpty(), "events come from the event loop, not the dial");

        waitForEvents(5);
        const QString code = QStringLiteral("*146*00123#");
        const QString caller = QStringLiteral("+123");
        const QList<Event> expected{{CTCallStateDialing, code},
                                    {CTCallStateDisconnected, code},
                                    {CTCallStateIncoming, caller},
                                    {CTCallStateConnected, caller},
                                    {CTCallStateDisconnected, caller}};
        QCOMPARE(observedByHandler, expected);
        QCOMPARE(observedByCallback, expected);
    }

    void unansweredCallbackStopsRinging()
    {
        CTCallDialWithID(QStringLiteral("146812#"), -1);
        waitForEvents(4);
        QCOMPARE(observedByHandler.mid(2),
                 (QList<Event>{{CTCallStateIncoming, QStringLiteral("812")},
                               {CTCallStateDisconnected, QStringLiteral("812")}}));
    }

    void otherCodesAreNotRungBack()
    {
        CTCallDialWithID(QStringLiteral("*100#"), -1);
        waitForEvents(2);
        QTest::qWait(80);
        QCOMPARE(observedByHandler.size(), 2);
    }

    void onlyARingingCallCanBeAnswered()
    {
        CTCallDialWithID(QStringLiteral("146812#"), -1);
        waitForEvents(1);
        const CTCall outgoing(QStringLiteral("simulated/1"), CTCallStateDialing,
                              QStringLiteral("146812#"));
        CTCallAnswer(outgoing);
        CTCallAnswer(CTCall(QStringLiteral("no such call"), CTCallStateIncoming, QString()));
        waitForEvents(4);
        QVERIFY(
            std::none_of(observedByHandler.begin(), observedByHandler.end(),
                         [](const Event &event) { return event.state == CTCallStateConnected; }));
    }

    void recognisesBothCallbackTemplates()
    {
        QCOMPARE(SimulatedOperator::callbackNumber(QStringLiteral("*146*00123#")),
                 QStringLiteral("+123"));
        QCOMPARE(SimulatedOperator::callbackNumber(QStringLiteral("146812#")),
                 QStringLiteral("812"));
        QCOMPARE(SimulatedOperator::callbackNumber(QStringLiteral("*146*00#")),
                 QStringLiteral("+"));
        QCOMPARE(SimulatedOperator::callbackNumber(QStringLiteral("*100#")), std::nullopt);
        QCOMPARE(SimulatedOperator::callbackNumber(QStringLiteral("146812")), std::nullopt);
    }

    void oneRemovalUndoesEveryRegistrationWithoutObserver()
    {
        CTTelephonyCenter center;
        int observer = 0;
        for (int i = 0; i < 3; ++i)
            CTTelephonyCenterAddObserver(&center, nullptr, recordingCallback, std::nullopt, nullptr,
                                         CFNotificationSuspensionBehaviorHold);
        CTTelephonyCenterAddObserver(&center, &observer, recordingCallback, std::nullopt, nullptr,
                                     CFNotificationSuspensionBehaviorHold);
        CTTelephonyCenterRemoveObserver(&center, nullptr, std::nullopt, nullptr);
        QCOMPARE(center.registrationCount(), 1);
        CTTelephonyCenterRemoveObserver(&center, nullptr, std::nullopt, nullptr);
        QCOMPARE(center.registrationCount(), 1);

        center.postNotification(QStringLiteral("anything"), nullptr, {});
        QCOMPARE(observedByCallback.size(), 1);
    }

    void namedRegistrationHearsOnlyItsName()
    {
        CTTelephonyCenter center;
        CTTelephonyCenterAddObserver(&center, nullptr, recordingCallback, QStringLiteral("wanted"),
                                     nullptr, CFNotificationSuspensionBehaviorHold);
        center.postNotification(QStringLiteral("other"), nullptr, {});
        center.postNotification(QStringLiteral("wanted"), nullptr, {});
        QCOMPARE(observedByCallback.size(), 1);
    }

    void suspensionHoldsCoalescesOrDrops()
    {
        CTTelephonyCenter center;
        int hold = 0, coalesce = 0, drop = 0, immediate = 0;
        static QMap<const void *, int> heard;
        heard.clear();
        const CTTelephonyCallback counting = [](CTTelephonyCenter *, void *observer,
                                                const QString &, const void *,
                                                const QVariantMap &) { ++heard[observer]; };
        CTTelephonyCenterAddObserver(&center, &hold, counting, std::nullopt, nullptr,
                                     CFNotificationSuspensionBehaviorHold);
        CTTelephonyCenterAddObserver(&center, &coalesce, counting, std::nullopt, nullptr,
                                     CFNotificationSuspensionBehaviorCoalesce);
        CTTelephonyCenterAddObserver(&center, &drop, counting, std::nullopt, nullptr,
                                     CFNotificationSuspensionBehaviorDrop);
        CTTelephonyCenterAddObserver(&center, &immediate, counting, std::nullopt, nullptr,
                                     CFNotificationSuspensionBehaviorDeliverImmediately);

        center.setSuspended(true);
        for (int i = 0; i < 3; ++i)
            center.postNotification(QStringLiteral("call"), nullptr, {});
        QCOMPARE(heard.value(&hold), 0);
        QCOMPARE(heard.value(&immediate), 3);

        center.setSuspended(false);
        QCOMPARE(heard.value(&hold), 3);
        QCOMPARE(heard.value(&coalesce), 1);
        QCOMPARE(heard.value(&drop), 0);
    }

    void heldNotificationIsDroppedWithItsRegistration()
    {
        CTTelephonyCenter center;
        CTTelephonyCenterAddObserver(&center, nullptr, recordingCallback, std::nullopt, nullptr,
                                     CFNotificationSuspensionBehaviorHold);
        center.setSuspended(true);
        center.postNotification(QStringLiteral("call"), nullptr, {});
        CTTelephonyCenterRemoveObserver(&center, nullptr, std::nullopt, nullptr);
        center.setSuspended(false);
        QVERIFY(observedByCallback.isEmpty());
    }
};

MOLVANE_TEST_MAIN(SimulatedOperatorTest)
#include "tst_SimulatedOperator.moc"
