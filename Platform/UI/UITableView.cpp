#include "Platform/UI/UITableView.h"

#include <QScrollBar>
#include <QScroller>
#include <algorithm>

namespace {
// Space above each section after the first, so groups of rows read as groups.
constexpr int sectionGap = 16;
} // namespace

UITableView::UITableView(QWidget *parent) : QScrollArea(parent), canvas(new QWidget)
{
    setWidget(canvas);
    setWidgetResizable(false);
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    QScroller::grabGesture(viewport(), QScroller::TouchGesture);
    connect(verticalScrollBar(), &QScrollBar::valueChanged, this, &UITableView::layoutRows);
}

void UITableView::reloadData()
{
    for (const auto &[rowIndex, cell] : cellsInView)
        enqueue(cell);
    cellsInView.clear();
    rows.clear();
    int top = 0;
    const int sections = dataSource ? dataSource->numberOfSectionsInTableView(this) : 0;
    for (int section = 0; section < sections; ++section) {
        const int count = dataSource->numberOfRowsInSection(this, section);
        if (section > 0 && count > 0)
            top += sectionGap;
        for (int row = 0; row < count; ++row) {
            const NSIndexPath indexPath{section, row};
            const qreal height =
                tableDelegate ? tableDelegate->heightForRowAtIndexPath(this, indexPath) : 44.0;
            rows.push_back({indexPath, top, qRound(height)});
            top += qRound(height);
        }
    }
    canvas->resize(viewport()->width(), top);
    layoutRows();
}

UITableViewCell *UITableView::dequeueReusableCellWithIdentifier(const QString &identifier)
{
    const auto found = reuseQueue.find(identifier);
    if (found == reuseQueue.end())
        return nullptr;
    UITableViewCell *cell = found.value();
    reuseQueue.erase(found);
    return cell;
}

QList<UITableViewCell *> UITableView::visibleCells() const
{
    QList<UITableViewCell *> cells;
    for (const auto &[rowIndex, cell] : cellsInView)
        cells << cell;
    return cells;
}

UITableViewCell *UITableView::cellForRowAtIndexPath(const NSIndexPath &indexPath) const
{
    for (const auto &[rowIndex, cell] : cellsInView) {
        if (rows[rowIndex].indexPath == indexPath)
            return cell;
    }
    return nullptr;
}

std::optional<NSIndexPath> UITableView::indexPathForCell(const UITableViewCell *cell) const
{
    for (const auto &[rowIndex, shown] : cellsInView) {
        if (shown == cell)
            return rows[rowIndex].indexPath;
    }
    return std::nullopt;
}

void UITableView::deselectRowAtIndexPath(const NSIndexPath &indexPath, bool animated)
{
    UITableViewCell *cell = cellForRowAtIndexPath(indexPath);
    if (!cell)
        return;
    if (animated)
        cell->fadeOutSelection();
    else
        cell->setSelected(false);
}

void UITableView::scrollToRow(int rowIndex)
{
    if (rowIndex >= 0 && rowIndex < numberOfRows())
        ensureVisible(0, rows[rowIndex].top + rows[rowIndex].height / 2, 0,
                      rows[rowIndex].height / 2 + 1);
}

void UITableView::resizeEvent(QResizeEvent *event)
{
    QScrollArea::resizeEvent(event);
    canvas->resize(viewport()->width(), canvas->height());
    for (const auto &[rowIndex, cell] : cellsInView)
        cell->resize(viewport()->width(), cell->height());
    layoutRows();
}

// Gives the rows in view their cells and sends the others' cells back for reuse.
void UITableView::layoutRows()
{
    const int viewTop = verticalScrollBar()->value();
    const int viewBottom = viewTop + viewport()->height();
    const auto first =
        std::upper_bound(rows.begin(), rows.end(), viewTop,
                         [](int top, const Row &row) { return top < row.top + row.height; });
    const auto last = std::lower_bound(rows.begin(), rows.end(), viewBottom,
                                       [](const Row &row, int bottom) { return row.top < bottom; });
    const int firstIndex = int(first - rows.begin());
    const int endIndex = int(last - rows.begin());
    for (auto shown = cellsInView.begin(); shown != cellsInView.end();) {
        if (shown->first < firstIndex || shown->first >= endIndex) {
            enqueue(shown->second);
            shown = cellsInView.erase(shown);
        } else {
            ++shown;
        }
    }
    for (int rowIndex = firstIndex; rowIndex < endIndex; ++rowIndex) {
        if (!cellsInView.contains(rowIndex))
            placeCell(rowIndex);
    }
}

void UITableView::placeCell(int rowIndex)
{
    UITableViewCell *cell = dataSource->cellForRowAtIndexPath(this, rows[rowIndex].indexPath);
    if (!cell)
        return;
    if (cell->parentWidget() != canvas) {
        cell->setParent(canvas);
        connect(cell, &UITableViewCell::tapped, this, [this, cell] { cellTapped(cell); });
    }
    cell->setSelected(false);
    cell->setGeometry(0, rows[rowIndex].top, viewport()->width(), rows[rowIndex].height);
    cell->show();
    cellsInView[rowIndex] = cell;
}

void UITableView::enqueue(UITableViewCell *cell)
{
    cell->hide();
    reuseQueue.insert(cell->reuseIdentifier(), cell);
}

void UITableView::cellTapped(UITableViewCell *cell)
{
    if (const auto indexPath = indexPathForCell(cell); indexPath && tableDelegate)
        tableDelegate->didSelectRowAtIndexPath(this, *indexPath);
}
