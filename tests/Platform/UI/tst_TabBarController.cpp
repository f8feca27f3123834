#include "Platform/UI/TabBarController.h"
#include "support/TestMain.h"

#include <QTabBar>

namespace {
QStringList calls;

class RecordingViewController : public ViewController
{
public:
    explicit RecordingViewController(QString name) : name(std::move(name)) {}

    void viewDidLoad() override { record("viewDidLoad"); }
    void viewWillAppear(bool) override { record("viewWillAppear"); }
    void viewDidAppear(bool) override { record("viewDidAppear"); }
    void viewWillDisappear(bool) override { record("viewWillDisappear"); }
    void viewDidDisappear(bool) override { record("viewDidDisappear"); }

private:
    void record(const char *call)
    {
        // Appearance calls must come after the view is loaded, and visibility must match.
        QVERIFY(isViewLoaded());
        calls << name + QLatin1Char(' ') + QLatin1String(call);
    }
    QString name;
};
} // namespace

class TabBarControllerTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<QWidget> window;
    TabBarController *tabs = nullptr;

private Q_SLOTS:
    void init()
    {
        calls.clear();
        window = std::make_unique<QWidget>();
        tabs = new TabBarController(window.get());
        for (const char *name : {"A", "B", "C"})
            tabs->addTab(new RecordingViewController(QLatin1String(name)), QLatin1String(name));
    }

    void cleanup() { window.reset(); }

    void nothingLoadsBeforeTheWindowShows()
    {
        QVERIFY(calls.isEmpty());
        QVERIFY(!tabs->viewControllerAt(0)->isViewLoaded());
    }

    void lifeCycleRunsInOrderAsTabsSwitch()
    {
        window->show();
        QCOMPARE(calls,
                 (QStringList{QStringLiteral("A viewDidLoad"), QStringLiteral("A viewWillAppear"),
                              QStringLiteral("A viewDidAppear")}));
        calls.clear();

        tabs->setSelectedIndex(1);
        QCOMPARE(calls, (QStringList{
                            QStringLiteral("A viewWillDisappear"), QStringLiteral("B viewDidLoad"),
                            QStringLiteral("B viewWillAppear"), QStringLiteral("B viewDidAppear"),
                            QStringLiteral("A viewDidDisappear")}));
        QVERIFY(tabs->viewControllerAt(1)->isVisible());
        calls.clear();

        tabs->setSelectedIndex(0);
        tabs->setSelectedIndex(1);
        QCOMPARE(calls.count(QStringLiteral("B viewDidLoad")), 0);
        QCOMPARE(calls.count(QStringLiteral("A viewWillAppear")), 1);
        QCOMPARE(calls.count(QStringLiteral("B viewWillAppear")), 1);
        QVERIFY(!tabs->viewControllerAt(2)->isViewLoaded());
    }

    void tappingATabSwitchesLikeSelecting()
    {
        window->show();
        calls.clear();
        QTabBar *bar = tabs->tabBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->tabRect(2).center());
        QCOMPARE(tabs->selectedIndex(), 2);
        QCOMPARE(calls.first(), QStringLiteral("A viewWillDisappear"));
        QVERIFY(calls.contains(QStringLiteral("C viewDidAppear")));
    }

    void hidingAndShowingTheWindowDisappearsAndAppears()
    {
        window->show();
        calls.clear();
        window->hide();
        QCOMPARE(calls, (QStringList{QStringLiteral("A viewWillDisappear"),
                                     QStringLiteral("A viewDidDisappear")}));
        calls.clear();
        window->show();
        QCOMPARE(calls, (QStringList{QStringLiteral("A viewWillAppear"),
                                     QStringLiteral("A viewDidAppear")}));
    }

    void tagsAreFoundAmongDescendants()
    {
        auto *screen = tabs->viewControllerAt(0);
        auto *inner = new QWidget(new QWidget(screen));
        setViewTag(inner, 1011);
        QCOMPARE(screen->viewWithTag(1011), inner);
        QCOMPARE(screen->viewWithTag(4242), nullptr);
    }
};

MOLVANE_TEST_MAIN(TabBarControllerTest)
#include "tst_TabBarController.moc"
