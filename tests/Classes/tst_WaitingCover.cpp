#include "Platform/UI/UIActivityIndicatorView.h"
#include "WaitingCover.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QSignalSpy>

// The cover on a bare screen with a bar of its own standing in for the in-call bar.
class WaitingCoverTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> screen;
    QWidget *bar = nullptr;

    static QTimer *lifetimeOf(WaitingCover *cover)
    {
        return cover->findChild<QTimer *>("WaitingOverlayRemoval");
    }

private Q_SLOTS:
    void init()
    {
        screen = std::make_unique<QWidget>();
        screen->resize(360, 640);
        bar = new QWidget(screen.get());
        bar->setGeometry(0, 560, 360, 64);
        bar->hide();
        screen->show();
        QVERIFY(QTest::qWaitForWindowExposed(screen.get()));
    }

    void cleanup() { screen.reset(); }

    void coversTheScreenBelowTheBar()
    {
        auto *cover = new WaitingCover(screen.get(), bar, "Waiting for Callback...");
        QVERIFY(cover->isVisible());
        QCOMPARE(cover->geometry(), screen->rect());
        QCOMPARE(cover->accessibleName(), "Waiting for Callback...");
        auto *caption = cover->findChild<QLabel *>();
        QCOMPARE(caption->text(), "Waiting for Callback...");
        QCOMPARE(caption->geometry(), QRect(0, 230, 360, 30));
        auto *indicator = cover->findChild<UIActivityIndicatorView *>();
        QVERIFY(indicator->isAnimating());
        QCOMPARE(indicator->x() + indicator->width() / 2, 180);
        // The bar, shown later, lies above the cover.
        bar->show();
        QCOMPARE(screen->children().last(), bar);
    }

    // Sideways the bar would hide the caption: both move up clear of it, and back once the
    // bar has gone.
    void keepsItsCaptionClearOfTheBar()
    {
        auto *cover = new WaitingCover(screen.get(), bar, "Waiting");
        auto *caption = cover->findChild<QLabel *>();
        screen->resize(640, 360);
        bar->setGeometry(0, 250, 640, 64);
        bar->show();
        QCOMPARE(cover->geometry(), screen->rect());
        QCOMPARE(caption->geometry().bottom() + 1, bar->geometry().top());
        auto *indicator = cover->findChild<UIActivityIndicatorView *>();
        QCOMPARE(indicator->y() + indicator->height() / 2, 210 - (260 - 250));
        bar->hide();
        QCOMPARE(caption->geometry(), QRect(0, 230, 640, 30));
    }

    void goesByItselfWhenItsTimeIsUp()
    {
        QPointer<WaitingCover> cover = new WaitingCover(screen.get(), bar, "Waiting");
        QSignalSpy timeUp(cover.data(), &WaitingCover::timeUp);
        QTimer *lifetime = lifetimeOf(cover);
        QVERIFY(lifetime->isActive());
        QCOMPARE(lifetime->interval(), WaitingCover::lifetimeMilliseconds);
        lifetime->start(0);
        QTRY_VERIFY(!cover);
        QCOMPARE(timeUp.size(), 1);
    }

    // Taken down early it is hidden at once, but it still says when its time is up.
    void takenDownEarlyItStillTellsItsTime()
    {
        QPointer<WaitingCover> cover = new WaitingCover(screen.get(), bar, "Waiting");
        QSignalSpy timeUp(cover.data(), &WaitingCover::timeUp);
        cover->takeDown();
        QVERIFY(!cover->isVisible());
        QVERIFY(lifetimeOf(cover)->isActive());
        lifetimeOf(cover)->start(0);
        QTRY_VERIFY(!cover);
        QCOMPARE(timeUp.size(), 1);
    }
};

MOLVANE_TEST_MAIN(WaitingCoverTest)
#include "tst_WaitingCover.moc"
