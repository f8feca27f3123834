#include "Platform/UI/UIActivityIndicatorView.h"

#include <QPainter>

namespace {
constexpr int spokes = 12;
}

UIActivityIndicatorView::UIActivityIndicatorView(QWidget *parent) : QWidget(parent)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAccessibleName(QStringLiteral("Busy"));
    spinTimer.setInterval(80);
    connect(&spinTimer, &QTimer::timeout, this, [this] {
        step = (step + 1) % spokes;
        update();
    });
    hide();
}

void UIActivityIndicatorView::setActivityIndicatorViewStyle(Style newStyle)
{
    style = newStyle;
    update();
}

void UIActivityIndicatorView::setCenter(const QPoint &center)
{
    move(center - QPoint(width() / 2, height() / 2));
}

void UIActivityIndicatorView::startAnimating()
{
    spinTimer.start();
    show();
}

void UIActivityIndicatorView::stopAnimating()
{
    spinTimer.stop();
    hide();
}

void UIActivityIndicatorView::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    const QColor base = style == Gray ? QColor(Qt::darkGray) : QColor(Qt::white);
    const qreal radius = qMin(width(), height()) / 2.0;
    QPen pen(base, qMax(2.0, radius / 5), Qt::SolidLine, Qt::RoundCap);
    painter.translate(width() / 2.0, height() / 2.0);
    for (int spoke = 0; spoke < spokes; ++spoke) {
        QColor shade = base;
        // The spoke at the current step is brightest; the ones behind it fade out.
        shade.setAlphaF(0.2 + 0.8 * ((spoke - step + spokes) % spokes) / (spokes - 1.0));
        pen.setColor(shade);
        painter.setPen(pen);
        painter.drawLine(QPointF(0, -radius * 0.45), QPointF(0, -radius * 0.9));
        painter.rotate(360.0 / spokes);
    }
}
