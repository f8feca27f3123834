#include "Platform/UI/UITabBar.h"

#include "Platform/UI/AccessibleItems.h"

#include <QPainter>

namespace {
constexpr int barHeight = 56;
constexpr int iconEdge = 24;
constexpr int titleGap = 2;
} // namespace

UITabBar::UITabBar(QWidget *parent) : QTabBar(parent)
{
    UseAccessibleItems();
    setExpanding(true);
    setUsesScrollButtons(false);
    setDrawBase(false);
    QFont small = font();
    small.setPointSizeF(small.pointSizeF() * 0.85);
    setFont(small);
}

QSize UITabBar::tabSizeHint(int index) const
{
    const int tabs = qMax(1, count());
    const int parentWidth = parentWidget() ? parentWidget()->width() : width();
    return {qMax(minimumTabSizeHint(index).width(), parentWidth / tabs), barHeight};
}

QSize UITabBar::minimumTabSizeHint(int) const
{
    return {48, barHeight};
}

void UITabBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, 0, width(), 0);
    for (int index = 0; index < count(); ++index) {
        const QRect tab = tabRect(index);
        const bool selected = index == currentIndex();
        const QColor ink = selected ? palette().color(QPalette::Highlight)
                                    : palette().color(QPalette::PlaceholderText);
        const QRect iconArea(tab.center().x() - iconEdge / 2, tab.top() + 6, iconEdge, iconEdge);
        tabIcon(index).paint(&painter, iconArea, Qt::AlignCenter,
                             selected ? QIcon::Selected : QIcon::Normal);
        const QRect titleArea(tab.left() + 2, iconArea.bottom() + titleGap, tab.width() - 4,
                              tab.bottom() - iconArea.bottom() - titleGap);
        painter.setPen(ink);
        painter.drawText(
            titleArea, Qt::AlignHCenter | Qt::AlignTop,
            fontMetrics().elidedText(tabText(index), Qt::ElideRight, titleArea.width()));
    }
}
