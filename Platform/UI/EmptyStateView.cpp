#include "Platform/UI/EmptyStateView.h"

#include <QLabel>
#include <QPainter>
#include <QVBoxLayout>

namespace {
constexpr int pictureSize = 64;
constexpr qreal strokeWidth = 3.5;
} // namespace

class EmptyStateView::PictureView : public QWidget
{
public:
    explicit PictureView(QWidget *parent) : QWidget(parent)
    {
        setFixedSize(pictureSize, pictureSize);
    }

    void setPicture(Picture shown)
    {
        picture = shown;
        update();
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::PlaceholderText), strokeWidth, Qt::SolidLine,
                            Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        const QRectF area = QRectF(rect()).adjusted(6, 6, -6, -6);
        if (picture == Picture::Clock)
            drawClock(painter, area);
        else
            drawPerson(painter, area);
    }

private:
    static void drawClock(QPainter &painter, const QRectF &area)
    {
        const QPointF centre = area.center();
        painter.drawEllipse(area);
        painter.drawLine(centre, centre - QPointF(0, area.height() * 0.3));
        painter.drawLine(centre, centre + QPointF(area.width() * 0.22, area.height() * 0.12));
    }

    static void drawPerson(QPainter &painter, const QRectF &area)
    {
        const qreal head = area.width() * 0.4;
        painter.drawEllipse(QRectF(area.center().x() - head / 2, area.top(), head, head));
        // The shoulders: the upper half of a wide oval standing on the bottom edge.
        const QRectF shoulders(area.left() + area.width() * 0.08, area.top() + head * 1.25,
                               area.width() * 0.84, (area.bottom() - area.top() - head * 1.25) * 2);
        painter.drawArc(shoulders, 0, 180 * 16);
        painter.drawLine(QPointF(shoulders.left(), shoulders.center().y()),
                         QPointF(shoulders.right(), shoulders.center().y()));
    }

    Picture picture = Picture::Clock;
};

EmptyStateView::EmptyStateView(QWidget *parent)
    : QWidget(parent), picture(new PictureView(this)), label(new QLabel(this))
{
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
    label->setAlignment(Qt::AlignCenter);
    label->setWordWrap(true);
    // Shown as written, never as markup.
    label->setTextFormat(Qt::PlainText);
    // Long lines keep clear of the screen's edges.
    label->setContentsMargins(24, 0, 24, 0);
    auto *column = new QVBoxLayout(this);
    column->setSpacing(12);
    column->addStretch(1);
    column->addWidget(picture, 0, Qt::AlignHCenter);
    column->addWidget(label);
    column->addStretch(1);
}

void EmptyStateView::setPicture(Picture shown)
{
    picture->setPicture(shown);
}

void EmptyStateView::setText(const QString &text)
{
    label->setText(text);
}

QString EmptyStateView::text() const
{
    return label->text();
}
