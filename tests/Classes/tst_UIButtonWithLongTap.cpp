#include "Platform/UI/ViewController.h"
#include "UIButtonWithLongTap.h"
#include "support/TestMain.h"

#include <QPointingDevice>
#include <QSignalSpy>
#include <QTimer>

namespace {
class RecordingDelegate : public UIButtonWithLongTapDelegate
{
public:
    void buttonDidLongTap(int tag) override { tags << tag; }
    QList<int> tags;
};

const QPoint onTheButton(40, 30);
} // namespace

// The long-tap delay is never waited for: the test fires the button's timer itself, and events
// are delivered without turning the event loop, so the timer cannot fire on its own meanwhile.
class UIButtonWithLongTapTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    UIButtonWithLongTap *button = nullptr;
    RecordingDelegate delegate;
    std::unique_ptr<QSignalSpy> taps;
    std::unique_ptr<QPointingDevice> screen{QTest::createTouchDevice()};

    void press() { QTest::mousePress(button, Qt::LeftButton); }
    void release(QPoint at = {}) { QTest::mouseRelease(button, Qt::LeftButton, {}, at); }
    QTest::QTouchEventWidgetSequence touch()
    {
        return QTest::touchEvent(window.get(), screen.get(), false);
    }
    void touchPress() { touch().press(0, onTheButton, button).commit(false); }
    void touchRelease() { touch().release(0, onTheButton, button).commit(false); }

    QTimer *longTapTimer() const { return button->findChild<QTimer *>(QStringLiteral("LongTap")); }
    bool longTapPending() const { return longTapTimer()->isActive(); }

    // The press has been held for the long-tap delay: its timer, still pending, expires now.
    void holdPastTheDelay()
    {
        QTimer *timer = longTapTimer();
        QVERIFY(timer->isActive());
        QCOMPARE(timer->interval(), UIButtonWithLongTap::longTapMilliseconds);
        QTimerEvent expiry(timer->timerId());
        QCoreApplication::sendEvent(timer, &expiry);
    }

private Q_SLOTS:
    void init()
    {
        window = std::make_unique<QWidget>();
        button = new UIButtonWithLongTap(window.get());
        button->setGeometry(10, 10, 80, 60);
        setViewTag(button, 1000);
        button->setDelegate(&delegate);
        delegate.tags.clear();
        taps = std::make_unique<QSignalSpy>(button, &QPushButton::clicked);
        window->show();
    }

    void cleanup() { window.reset(); }

    // Released before the delay: the long tap is still pending at the release, which withdraws it.
    void shortPressTapsOnce()
    {
        press();
        QVERIFY(longTapPending());
        release();
        QCOMPARE(taps->count(), 1);
        QVERIFY(!longTapPending());
        QVERIFY(delegate.tags.isEmpty());
    }

    void holdReportsOnceAndSwallowsTheRelease()
    {
        press();
        holdPastTheDelay();
        QCOMPARE(delegate.tags, QList<int>{1000});
        release();
        QCOMPARE(taps->count(), 0);
        QVERIFY(!button->isDown());

        // The next short press is an ordinary tap again.
        press();
        release();
        QCOMPARE(taps->count(), 1);
        QCOMPARE(delegate.tags.size(), 1);
    }

    void releaseOutsideWithdrawsTheLongTap()
    {
        press();
        QTest::mouseMove(button, QPoint(-50, -50));
        QVERIFY(longTapPending());
        release(QPoint(-50, -50));
        QVERIFY(!longTapPending());
        QCOMPARE(taps->count(), 0);
        QVERIFY(delegate.tags.isEmpty());
    }

    void withoutDelegateAHoldGivesNothing()
    {
        button->setDelegate(nullptr);
        press();
        holdPastTheDelay();
        release();
        QCOMPARE(taps->count(), 0);
        QVERIFY(button->consumedTap());
    }

    void touchHoldReportsAndCancelWithdraws()
    {
        touchPress();
        holdPastTheDelay();
        touchRelease();
        QCOMPARE(delegate.tags, QList<int>{1000});
        QCOMPARE(taps->count(), 0);

        touchPress();
        QVERIFY(longTapPending());
        touchRelease();
        QCOMPARE(taps->count(), 1);
        QVERIFY(!longTapPending());

        touchPress();
        QVERIFY(longTapPending());
        QTouchEvent cancel(QEvent::TouchCancel, screen.get());
        QApplication::sendEvent(button, &cancel);
        QVERIFY(!longTapPending());
        QCOMPARE(delegate.tags.size(), 1);
        QCOMPARE(taps->count(), 1);
        QVERIFY(!button->isDown());
    }
};

MOLVANE_TEST_MAIN(UIButtonWithLongTapTest)
#include "tst_UIButtonWithLongTap.moc"
