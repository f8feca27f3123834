#include "Platform/Shell/ColorSchemePreference.h"
#include "Platform/UI/TabBarController.h"
#include "Platform/UI/UITheme.h"
#include "support/CallLogFiles.h"
#include "support/DBusMock.h"
#include "support/LaunchedApplication.h"
#include "support/PrivateBus.h"
#include "support/Tap.h"
#include "support/TestMain.h"

#include <QLabel>
#include <QPushButton>
#include <QTabBar>
#include <map>

namespace {
const QString portalPath = QStringLiteral("/org/freedesktop/portal/desktop");
constexpr uint preferDark = 1;
constexpr uint preferLight = 2;

double luminance(QRgb pixel)
{
    const auto linear = [](int channel) {
        const double value = channel / 255.0;
        return value <= 0.03928 ? value / 12.92 : std::pow((value + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(qRed(pixel)) + 0.7152 * linear(qGreen(pixel)) +
           0.0722 * linear(qBlue(pixel));
}

double contrast(QRgb one, QRgb other)
{
    const double first = luminance(one);
    const double second = luminance(other);
    return (std::max(first, second) + 0.05) / (std::min(first, second) + 0.05);
}

// The colour most of the area shows: what text in it sits on.
QRgb ground(const QImage &image, const QRect &area)
{
    std::map<QRgb, int> counts;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            ++counts[image.pixel(x, y)];
    return std::max_element(
               counts.begin(), counts.end(),
               [](const auto &one, const auto &other) { return one.second < other.second; })
        ->first;
}

// The text's contrast as drawn: its ink is the pixel that differs most from the ground.
double textContrast(const QImage &image, const QRect &area)
{
    const QRgb paper = ground(image, area);
    double best = 1;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            best = std::max(best, contrast(paper, image.pixel(x, y)));
    return best;
}
} // namespace

// The app's look follows the light or dark style the phone's settings portal tells, live, and
// its text stands out in either.
class UIThemeTest : public QObject
{
    Q_OBJECT

    PrivateBus sessionBus{PrivateBus::Session};
    DBusMock portal{QStringLiteral("org.freedesktop.portal.Desktop"),
                    qEnvironmentVariable("MOLVANE_SOURCE_DIR") +
                        "/tests/support/settings_portal_template.py",
                    {{QStringLiteral("color-scheme"), preferDark}},
                    QDBusConnection::SessionBus};
    std::optional<ColorSchemePreference> preference;
    std::optional<LaunchedApplication> app;

    TabBarController *tabs() const { return app->delegate()->mainTab; }
    QWidget *window() const { return app->delegate()->window.get(); }

    void showTab(int index)
    {
        QTabBar *bar = tabs()->tabBar();
        QTest::mouseClick(window()->windowHandle(), Qt::LeftButton, {},
                          bar->mapTo(window(), bar->tabRect(index).center()));
        QTRY_COMPARE(tabs()->currentIndex(), index);
    }

    void typeOnKeypad(const QString &digits)
    {
        const auto keys = window()->findChild<QWidget *>("keypad")->findChildren<QPushButton *>();
        for (const QChar digit : digits)
            for (const QPushButton *key : keys)
                if (key->text() == digit)
                    tap(key);
    }

    void prefer(uint scheme)
    {
        portal.control(portalPath, QStringLiteral("SetColorScheme"), {scheme});
        const auto wanted = scheme == preferDark ? UITheme::Scheme::Dark : UITheme::Scheme::Light;
        QTRY_VERIFY(UITheme::current() == wanted);
    }

    // Each tab's commonest colour, as dark (luminance under 0.1) or light (over 0.6).
    QStringList screenGrounds()
    {
        QStringList grounds;
        for (int index = 0; index < tabs()->count(); ++index) {
            showTab(index);
            const QImage shot = window()->grab().toImage();
            const double light = luminance(ground(shot, shot.rect()));
            grounds << (light < 0.1 ? "dark" : light > 0.6 ? "light" : "grey");
        }
        return grounds;
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(portal.start());
        WritePropertyListAtomically(callLogPath(), callLogOf({"+79161234567", "812", "00123"}));
        preference.emplace();
        UITheme::apply(preference->read());
        connect(&*preference, &ColorSchemePreference::changed, &UITheme::apply);
        app.emplace();
    }
    void cleanupTestCase() { app.reset(); }

    void everyScreenFollowsThePhone()
    {
        QCOMPARE(UITheme::current(), UITheme::Scheme::Dark);
        QCOMPARE(screenGrounds(), QStringList(4, "dark"));
        prefer(preferLight);
        QCOMPARE(screenGrounds(), QStringList(4, "light"));
    }

    void textStandsOut_data()
    {
        QTest::addColumn<uint>("scheme");
        QTest::newRow("dark") << preferDark;
        QTest::newRow("light") << preferLight;
    }
    // Every label on every tab, and the tab titles, reach 4.5:1 against what they sit on.
    void textStandsOut()
    {
        QFETCH(uint, scheme);
        prefer(scheme);
        showTab(0);
        typeOnKeypad(QStringLiteral("79161234567"));
        QStringList faint;
        for (int index = 0; index < tabs()->count(); ++index) {
            showTab(index);
            faint << faintTexts(tabs()->widget(index));
        }
        QCOMPARE(faint, QStringList());
    }

private:
    QStringList faintTexts(const QWidget *screen) const
    {
        const QImage shot = window()->grab().toImage();
        QStringList faint;
        const auto check = [&](const QString &text, const QWidget *on, const QRect &area) {
            if (textContrast(shot, QRect(on->mapTo(window(), area.topLeft()), area.size())) < 4.5)
                faint << text;
        };
        for (const QLabel *label : screen->findChildren<QLabel *>())
            if (label->isVisible() && !label->text().isEmpty())
                check(label->text(), label, label->rect());
        const QTabBar *bar = tabs()->tabBar();
        for (int index = 0; index < bar->count(); ++index) {
            const QRect tab = bar->tabRect(index);
            check(bar->tabText(index), bar, tab.adjusted(0, tab.height() / 2, 0, 0));
        }
        return faint;
    }
};

MOLVANE_TEST_MAIN(UIThemeTest)
#include "tst_UITheme.moc"
