#include "Platform/UI/UILabel.h"
#include "support/TestMain.h"

// A number of any length shows whole, start first: shrunk, then wrapped, never cut.
class UILabelTest : public QObject
{
    Q_OBJECT

private Q_SLOTS:
    void wholeTextStaysInView_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("lines");
        QTest::addColumn<bool>("shrunk");
        QTest::newRow("fits") << "+7916" << 1 << false;
        QTest::newRow("shrinks onto one line") << "+79161234567890" << 1 << true;
        QTest::newRow("wraps") << "+7916123456789012345678901234567" << 2 << true;
        QTest::newRow("wraps and shrinks to fit the height") << QString(120, u'9') << 5 << true;
    }
    void wholeTextStaysInView()
    {
        QFETCH(QString, text);
        QFETCH(int, lines);
        QFETCH(bool, shrunk);
        UILabel label;
        QFont font = label.font();
        font.setPointSize(24);
        label.setFont(font);
        label.resize(300, 60);
        label.setText(text);
        const UILabel::Layout shown = label.layout();
        QCOMPARE(shown.lines.join(QString()), text);
        QCOMPARE(shown.lines.size() > 1, lines > 1);
        QVERIFY(shown.lines.size() <= lines);
        QCOMPARE(shown.font.pointSizeF() < 24, shrunk);
        const QFontMetrics metrics(shown.font);
        QVERIFY(metrics.lineSpacing() * shown.lines.size() <= label.height());
        // Even lines: never a digit or two left alone on the last.
        QVERIFY(shown.lines.last().size() * 2 >= shown.lines.first().size());
        for (const QString &line : shown.lines)
            QVERIFY(metrics.horizontalAdvance(line) <= label.width());
    }
};

MOLVANE_TEST_MAIN(UILabelTest)
#include "tst_UILabel.moc"
