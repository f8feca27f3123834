#include "Platform/UI/UITableView.h"
#include "support/TestMain.h"

#include <QLabel>

namespace {
// Rows "s.r", three sections of ten, with cells taken from the reuse queue when there are any.
class NumberedRows : public UITableViewDataSource, public UITableViewDelegate
{
public:
    int numberOfSectionsInTableView(UITableView *) override { return sections; }
    int numberOfRowsInSection(UITableView *, int) override { return rowsPerSection; }
    UITableViewCell *cellForRowAtIndexPath(UITableView *table, const NSIndexPath &path) override
    {
        UITableViewCell *cell = table->dequeueReusableCellWithIdentifier("Cell");
        if (!cell) {
            cell = new UITableViewCell(UITableViewCellStyleSubtitle, "Cell");
            ++cellsMade;
        }
        cell->textLabel()->setText(QString("%1.%2").arg(path.section).arg(path.row));
        return cell;
    }
    void didSelectRowAtIndexPath(UITableView *table, const NSIndexPath &path) override
    {
        selected << path;
        table->deselectRowAtIndexPath(path, false);
    }

    int sections = 3;
    int rowsPerSection = 10;
    int cellsMade = 0;
    QList<NSIndexPath> selected;
};

QStringList titles(const QList<UITableViewCell *> &cells)
{
    QStringList texts;
    for (UITableViewCell *cell : cells)
        texts << cell->textLabel()->text();
    return texts;
}
} // namespace

class UITableViewTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<UITableView> table;
    NumberedRows rows;

private Q_SLOTS:
    void init()
    {
        rows = NumberedRows();
        table = std::make_unique<UITableView>();
        table->setDataSource(&rows);
        table->setDelegate(&rows);
        table->resize(320, 44 * 5);
        table->show();
        table->reloadData();
    }

    void onlyRowsInViewHaveCells()
    {
        QCOMPARE(table->numberOfRows(), 30);
        QCOMPARE(titles(table->visibleCells()), (QStringList{"0.0", "0.1", "0.2", "0.3", "0.4"}));
        table->scrollToRow(29);
        QTRY_VERIFY(table->cellForRowAtIndexPath({2, 9}));
        QVERIFY(!table->cellForRowAtIndexPath({0, 0}));
        QVERIFY2(rows.cellsMade <= 7, "cells that scroll out are reused");
        const QStringList shown = titles(table->visibleCells());
        QCOMPARE(shown.last(), "2.9");
        QVERIFY(std::is_sorted(shown.begin(), shown.end()));
    }

    void reloadAsksAgainAndReuses()
    {
        const int made = rows.cellsMade;
        rows.sections = 1;
        rows.rowsPerSection = 2;
        table->reloadData();
        QCOMPARE(titles(table->visibleCells()), (QStringList{"0.0", "0.1"}));
        QCOMPARE(rows.cellsMade, made);
        rows.rowsPerSection = 0;
        table->reloadData();
        QVERIFY(table->visibleCells().isEmpty());
    }

    void tapSelectsTheRowUnderThePointer()
    {
        UITableViewCell *cell = table->cellForRowAtIndexPath({0, 2});
        QTest::mouseClick(cell, Qt::LeftButton, {}, QPoint(10, 10));
        QCOMPARE(rows.selected, (QList<NSIndexPath>{{0, 2}}));
        QVERIFY(!cell->isSelected());
        QCOMPARE(table->indexPathForCell(cell)->row, 2);
    }

    void framesFollowTheRowWidth()
    {
        UITableViewCell *cell = table->cellForRowAtIndexPath({0, 0});
        auto *right = new QWidget(cell->contentView());
        right->setGeometry(245, 15, 50, 30);
        UITableViewCell::setFlexibleLeftMargin(right);
        auto *wide = new QWidget(cell);
        wide->setGeometry(25, 40, 270, 40);
        UITableViewCell::setFlexibleWidth(wide);
        table->resize(400, table->height());
        QTRY_COMPARE(cell->width(), table->viewport()->width());
        const int growth = cell->width() - UITableViewCell::designWidth;
        QCOMPARE(right->geometry(), QRect(245 + growth, 15, 50, 30));
        QCOMPARE(wide->geometry(), QRect(25, 40, 270 + growth, 40));
    }
};

MOLVANE_TEST_MAIN(UITableViewTest)
#include "tst_UITableView.moc"
