#include "Platform/UI/UISwitch.h"

#include <QPainter>
#include <QScopedValueRollback>

UISwitch::UISwitch(QWidget *parent) : QAbstractButton(parent)
{
    setCheckable(true);
    setCursor(Qt::PointingHandCursor);
    connect(this, &QAbstractButton::toggled, this, [this] {
        if (!settingOn)
            Q_EMIT valueChanged(this);
    });
}

void UISwitch::setOn(bool on)
{
    const QScopedValueRollback programmatic(settingOn, true);
    setChecked(on);
}

void UISwitch::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    // The track keeps the usual proportions whatever frame it was given, centred in it.
    const qreal trackHeight = qMin<qreal>(height() - 2, 30);
    const qreal trackWidth = qMin<qreal>(width() - 2, trackHeight * 1.7);
    const QRectF track((width() - trackWidth) / 2, (height() - trackHeight) / 2, trackWidth,
                       trackHeight);
    painter.setPen(Qt::NoPen);
    painter.setBrush(palette().color(isOn() ? QPalette::Highlight : QPalette::Dark));
    painter.drawRoundedRect(track, trackHeight / 2, trackHeight / 2);
    const qreal knob = trackHeight - 4;
    const qreal knobX = isOn() ? track.right() - knob - 2 : track.left() + 2;
    painter.setBrush(Qt::white);
    painter.drawEllipse(QRectF(knobX, track.top() + 2, knob, knob));
    if (hasFocus()) {
        painter.setBrush(Qt::NoBrush);
        painter.setPen(QPen(palette().color(QPalette::Highlight), 1.5));
        painter.drawRoundedRect(track.adjusted(-1, -1, 1, 1), trackHeight / 2, trackHeight / 2);
    }
}
