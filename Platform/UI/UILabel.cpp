#include "Platform/UI/UILabel.h"

#include <QPainter>
#include <algorithm>

namespace {
// More characters than a screen ever holds; measuring more would only cost time.
constexpr qsizetype longestShownText = 512;
// Below this the text would be a smudge; what is left over runs past the bottom.
constexpr qreal smallestPointSize = 6;

// Greedy: as many characters on each line as its width takes.
QStringList wrappedAnywhere(const QString &text, const QFontMetrics &metrics, int width)
{
    QStringList lines;
    QString line;
    for (const QChar character : text) {
        if (!line.isEmpty() && metrics.horizontalAdvance(line + character) > width) {
            lines << line;
            line.clear();
        }
        line += character;
    }
    if (!line.isEmpty())
        lines << line;
    return lines;
}

// The same number of lines, but even, so no line is left with a digit or two; unless an even
// split would not fit the width.
QStringList balanced(const QString &text, const QStringList &greedy, const QFontMetrics &metrics,
                     int width)
{
    const qsizetype perLine = (text.size() + greedy.size() - 1) / greedy.size();
    QStringList lines;
    for (qsizetype start = 0; start < text.size(); start += perLine)
        lines << text.mid(start, perLine);
    const bool fits = std::all_of(lines.begin(), lines.end(), [&](const QString &line) {
        return metrics.horizontalAdvance(line) <= width;
    });
    return fits && lines.size() == greedy.size() ? lines : greedy;
}
} // namespace

UILabel::UILabel(QWidget *parent) : QLabel(parent) {}

UILabel::Layout UILabel::layout() const
{
    const QRect area = contentsRect();
    const QString shown = text().left(longestShownText);
    QFont shownFont = font();
    const int fullWidth = QFontMetrics(shownFont).horizontalAdvance(shown);
    if (fullWidth <= area.width() || area.width() <= 0)
        return {shownFont, {shown}};
    // A little under the exact ratio: scaled fonts snap to whole pixels and may grow.
    const qreal scale = 0.95 * area.width() / fullWidth;
    shownFont.setPointSizeF(font().pointSizeF() * qMax(scale, minimumScaleFactor));
    if (scale >= minimumScaleFactor)
        return {shownFont, {shown}};
    QStringList lines = wrappedAnywhere(shown, QFontMetrics(shownFont), area.width());
    while (QFontMetrics(shownFont).lineSpacing() * lines.size() > area.height() &&
           shownFont.pointSizeF() * 0.9 >= smallestPointSize) {
        shownFont.setPointSizeF(shownFont.pointSizeF() * 0.9);
        lines = wrappedAnywhere(shown, QFontMetrics(shownFont), area.width());
    }
    const QFontMetrics metrics(shownFont);
    return {shownFont, balanced(shown, lines, metrics, area.width())};
}

void UILabel::paintEvent(QPaintEvent *)
{
    const Layout shown = layout();
    QPainter painter(this);
    painter.setFont(shown.font);
    painter.setPen(palette().color(foregroundRole()));
    painter.drawText(contentsRect(), int(alignment()), shown.lines.join(QLatin1Char('\n')));
}
