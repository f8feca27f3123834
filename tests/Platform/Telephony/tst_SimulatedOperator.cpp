#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/SimulatedOperator.h"
#include "support/TestMain.h"

namespace {
int heardByCallback = 0;

void countingCallback(CTTelephonyCenter *, void *, const QString &, const void *,
                      const QVariantMap &)
{
    ++heardByCallback;
}
} // namespace

// What the simulated operator makes of a dial string, and the telephony notification center.
// How it meets each request and call, as every backend must, is the backend contract's.
class SimulatedOperatorTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void init() { heardByCallback = 0; }

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
            CTTelephonyCenterAddObserver(&center, nullptr, countingCallback, std::nullopt, nullptr,
                                         CFNotificationSuspensionBehaviorHold);
        CTTelephonyCenterAddObserver(&center, &observer, countingCallback, std::nullopt, nullptr,
                                     CFNotificationSuspensionBehaviorHold);
        CTTelephonyCenterRemoveObserver(&center, nullptr, std::nullopt, nullptr);
        QCOMPARE(center.registrationCount(), 1);
        CTTelephonyCenterRemoveObserver(&center, nullptr, std::nullopt, nullptr);
        QCOMPARE(center.registrationCount(), 1);

        center.postNotification(QStringLiteral("anything"), nullptr, {});
        QCOMPARE(heardByCallback, 1);
    }

    void namedRegistrationHearsOnlyItsName()
    {
        CTTelephonyCenter center;
        CTTelephonyCenterAddObserver(&center, nullptr, countingCallback, QStringLiteral("wanted"),
                                     nullptr, CFNotificationSuspensionBehaviorHold);
        center.postNotification(QStringLiteral("other"), nullptr, {});
        center.postNotification(QStringLiteral("wanted"), nullptr, {});
        QCOMPARE(heardByCallback, 1);
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
        CTTelephonyCenterAddObserver(&center, nullptr, countingCallback, std::nullopt, nullptr,
                                     CFNotificationSuspensionBehaviorHold);
        center.setSuspended(true);
        center.postNotification(QStringLiteral("call"), nullptr, {});
        CTTelephonyCenterRemoveObserver(&center, nullptr, std::nullopt, nullptr);
        center.setSuspended(false);
        QCOMPARE(heardByCallback, 0);
    }
};

MOLVANE_TEST_MAIN(SimulatedOperatorTest)
#include "tst_SimulatedOperator.moc"
