#include "Platform/UI/UILabel.h"

#include <QPainter>

namespace {
// More characters than ever fit on a line; measuring a longer tail would only cost time.
constexpr qsizetype longestVisibleTail = 512;
} // namespace

UILabel::UILabel(QWidget *parent) : QLabel(parent) {}

void UILabel::paintEvent(QPaintEvent *)
{
    const QRect area = contentsRect();
    const QString tail = text().right(longestVisibleTail);
    QFont shownFont = font();
    const int fullWidth = QFontMetrics(shownFont).horizontalAdvance(tail);
    if (fullWidth > area.width() && fullWidth > 0) {
        // A little under the exact ratio: scaled fonts snap to whole pixels and may grow.
        const qreal scale = qMax(minimumScaleFactor, 0.95 * area.width() / fullWidth);
        shownFont.setPointSizeF(shownFont.pointSizeF() * scale);
    }
    QPainter painter(this);
    painter.setFont(shownFont);
    painter.setPen(palette().color(foregroundRole()));
    const QString shown = QFontMetrics(shownFont).elidedText(tail, Qt::ElideLeft, area.width());
    painter.drawText(area, int(alignment()), shown);
}
