#include "DialerPadViewController.h"
#include "Platform/UI/TabBarController.h"
#include "SettingViewController.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/Tap.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QPushButton>
#include <QScrollArea>

// The window held upright and sideways, at whatever scale the test runs (CTest runs it at 1, 2
// and 3): every control keeps a usable size, in view and apart from the others.
class OrientationTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchedApplication> app;

    QWidget *window() const { return app->delegate()->window.get(); }

    void launchAt(const QSize &size)
    {
        app = std::make_unique<LaunchedApplication>();
        window()->resize(size);
        QTRY_COMPARE(window()->size(), size);
    }

private Q_SLOTS:
    void cleanup() { app.reset(); }

    void sizes_data()
    {
        QTest::addColumn<QSize>("size");
        QTest::newRow("portrait") << QSize(360, 720);
        QTest::newRow("landscape") << QSize(720, 360);
    }

    void keysStayApartAndEveryControlInView_data() { sizes_data(); }
    void keysStayApartAndEveryControlInView()
    {
        QFETCH(QSize, size);
        launchAt(size);
        DialerPadViewController *dialPad = app->delegate()->dialerPadViewController;
        const DialPadScreen screen(dialPad);
        QList<QWidget *> controls{screen.number, screen.call, screen.erase, screen.contacts,
                                  screen.edit};
        for (int tag = 1000; tag <= 1012; ++tag) {
            if (QWidget *key = dialPad->viewWithTag(tag)) {
                QVERIFY2(key->width() >= 40 && key->height() >= 30, qPrintable(key->objectName()));
                controls << key;
            }
        }
        QCOMPARE(controls.size(), 17);
        for (QWidget *control : controls) {
            QVERIFY2(control->isVisible(), qPrintable(control->objectName()));
            QVERIFY2(window()->rect().contains(rectInWindow(control)),
                     qPrintable(control->objectName()));
            for (QWidget *other : controls) {
                if (other != control)
                    QVERIFY2(
                        !rectInWindow(control).intersects(rectInWindow(other)),
                        qPrintable(control->objectName() + " overlaps " + other->objectName()));
            }
        }

        // A tap in the middle of each key types its character.
        for (int tag : {1001, 1005, 1009, 1011, 1000, 1012})
            tap(dialPad->viewWithTag(tag));
        QCOMPARE(DialPadScreen(dialPad).number->text(), "159*0#");
    }

    void settingsScrollInsteadOfClipping_data() { sizes_data(); }
    void settingsScrollInsteadOfClipping()
    {
        QFETCH(QSize, size);
        launchAt(size);
        app->delegate()->mainTab->setSelectedIndex(2);
        auto *settings =
            qobject_cast<SettingViewController *>(app->delegate()->mainTab->currentWidget());
        auto *scroller = settings->findChild<QScrollArea *>();
        QWidget *last = settings->lblEnableDisableTone;
        scroller->ensureWidgetVisible(last, 0, 0);
        QTRY_VERIFY(
            QRect(QPoint(0, 0), scroller->viewport()->size())
                .contains(QRect(last->mapTo(scroller->viewport(), QPoint(0, 0)), last->size())));
        QVERIFY(!rectInWindow(settings->lblWaitForCallBackDelay)
                     .intersects(rectInWindow(settings->tblSettings)));
    }
};

MOLVANE_TEST_MAIN(OrientationTest)
#include "tst_Orientation.moc"
