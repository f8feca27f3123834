#include "Platform/UI/UITabBar.h"

#include "Platform/UI/AccessibleItems.h"
#include "Platform/UI/UITheme.h"

#include <QPainter>

namespace {
constexpr int barHeight = 56;
constexpr int iconEdge = 24;
constexpr int titleGap = 2;
constexpr int pillPadding = 16;
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
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), palette().color(QPalette::Window));
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(0, 0, width(), 0);
    for (int index = 0; index < count(); ++index)
        paintTab(painter, index);
}

// The current tab is told by a pill behind its icon, its colour and a bold title, not by
// colour alone.
void UITabBar::paintTab(QPainter &painter, int index) const
{
    const QRect tab = tabRect(index);
    const bool selected = index == currentIndex();
    const QColor ink = palette().color(selected ? QPalette::Highlight : QPalette::PlaceholderText);
    const QRect iconArea(tab.center().x() - iconEdge / 2, tab.top() + 6, iconEdge, iconEdge);
    if (selected) {
        QColor pill = ink;
        pill.setAlphaF(0.18f);
        painter.setPen(Qt::NoPen);
        painter.setBrush(pill);
        const QRectF pillArea = QRectF(iconArea).adjusted(-pillPadding, -2, pillPadding, 2);
        painter.drawRoundedRect(pillArea, pillArea.height() / 2, pillArea.height() / 2);
    }
    painter.drawPixmap(
        iconArea,
        UITheme::tinted(tabIcon(index).pixmap(iconArea.size(), devicePixelRatioF()), ink));
    QFont titleFont = font();
    titleFont.setBold(selected);
    painter.setFont(titleFont);
    const QRect titleArea(tab.left() + 2, iconArea.bottom() + titleGap + 2, tab.width() - 4,
                          tab.bottom() - iconArea.bottom() - titleGap - 2);
    painter.setPen(ink);
    painter.drawText(
        titleArea, Qt::AlignHCenter | Qt::AlignTop,
        QFontMetrics(titleFont).elidedText(tabText(index), Qt::ElideRight, titleArea.width()));
}
