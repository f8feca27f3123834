#include "Platform/UI/ViewController.h"
#include "UIButtonWithLongTap.h"
#include "support/TestMain.h"

#include <QPointingDevice>
#include <QSignalSpy>

namespace {
class RecordingDelegate : public UIButtonWithLongTapDelegate
{
public:
    void buttonDidLongTap(int tag) override { tags << tag; }
    QList<int> tags;
};

constexpr int pastTheDelay = UIButtonWithLongTap::longTapMilliseconds + 150;
} // namespace

class UIButtonWithLongTapTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    UIButtonWithLongTap *button = nullptr;
    RecordingDelegate delegate;
    std::unique_ptr<QSignalSpy> taps;

    void press() { QTest::mousePress(button, Qt::LeftButton); }
    void release(QPoint at = {}) { QTest::mouseRelease(button, Qt::LeftButton, {}, at); }

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

    void shortPressTapsOnce()
    {
        press();
        QTest::qWait(UIButtonWithLongTap::longTapMilliseconds / 2);
        release();
        QCOMPARE(taps->count(), 1);
        QTest::qWait(UIButtonWithLongTap::longTapMilliseconds);
        QVERIFY(delegate.tags.isEmpty());
    }

    void holdReportsOnceAndSwallowsTheRelease()
    {
        press();
        QTest::qWait(pastTheDelay);
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
        release(QPoint(-50, -50));
        QTest::qWait(pastTheDelay);
        QCOMPARE(taps->count(), 0);
        QVERIFY(delegate.tags.isEmpty());
    }

    void withoutDelegateAHoldGivesNothing()
    {
        button->setDelegate(nullptr);
        press();
        QTest::qWait(pastTheDelay);
        release();
        QCOMPARE(taps->count(), 0);
        QVERIFY(button->consumedTap());
    }

    void touchHoldReportsAndCancelWithdraws()
    {
        const std::unique_ptr<QPointingDevice> device(QTest::createTouchDevice());
        QPointingDevice *screen = device.get();
        QTest::touchEvent(window.get(), screen).press(0, QPoint(40, 30), button);
        QTest::qWait(pastTheDelay);
        QTest::touchEvent(window.get(), screen).release(0, QPoint(40, 30), button);
        QCOMPARE(delegate.tags, QList<int>{1000});
        QCOMPARE(taps->count(), 0);

        QTest::touchEvent(window.get(), screen).press(0, QPoint(40, 30), button);
        QTest::touchEvent(window.get(), screen).release(0, QPoint(40, 30), button);
        QCOMPARE(taps->count(), 1);

        QTest::touchEvent(window.get(), screen).press(0, QPoint(40, 30), button);
        QTouchEvent cancel(QEvent::TouchCancel, screen);
        QApplication::sendEvent(button, &cancel);
        QTest::qWait(pastTheDelay);
        QCOMPARE(delegate.tags.size(), 1);
        QCOMPARE(taps->count(), 1);
        QVERIFY(!button->isDown());
    }
};

MOLVANE_TEST_MAIN(UIButtonWithLongTapTest)
#include "tst_UIButtonWithLongTap.moc"
