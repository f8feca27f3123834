#include "Platform/UI/UITableViewCell.h"

#include "Platform/UI/AccessibleItems.h"

#include <QLabel>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>
#include <QVariantAnimation>

namespace {
const char *const flexibleLeftMargin = "flexibleLeftMargin";
const char *const flexibleWidth = "flexibleWidth";
constexpr int accessoryWidth = 24;
constexpr int textInset = 15;
} // namespace

UITableViewCell::UITableViewCell(UITableViewCellStyle style, const QString &reuseIdentifier,
                                 QWidget *parent)
    : QFrame(parent), identifier(reuseIdentifier), content(new QWidget(this)),
      title(new QLabel(content))
{
    UseAccessibleItems();
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Base);
    // Rows show numbers and names from files and the address book: never as markup.
    title->setTextFormat(Qt::PlainText);
    auto *lines = new QVBoxLayout(content);
    lines->setContentsMargins(textInset, 4, 0, 4);
    lines->setSpacing(0);
    lines->addStretch();
    lines->addWidget(title);
    QFont titleFont = title->font();
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.15);
    title->setFont(titleFont);
    if (style == UITableViewCellStyleSubtitle) {
        detail = new QLabel(content);
        detail->setTextFormat(Qt::PlainText);
        detail->setForegroundRole(QPalette::PlaceholderText);
        lines->addWidget(detail);
    }
    lines->addStretch();
    content->resize(designWidth, 44);
}

void UITableViewCell::setAccessoryType(UITableViewCellAccessoryType type)
{
    accessory = type;
    update();
}

void UITableViewCell::setSelected(bool isSelected)
{
    selected = isSelected;
    selectionShade = isSelected ? 1 : 0;
    update();
}

void UITableViewCell::fadeOutSelection()
{
    selected = false;
    auto *fade = new QVariantAnimation(this);
    fade->setStartValue(selectionShade);
    fade->setEndValue(0.0);
    fade->setDuration(250);
    connect(fade, &QVariantAnimation::valueChanged, this, [this](const QVariant &shade) {
        selectionShade = shade.toReal();
        update();
    });
    fade->start(QAbstractAnimation::DeleteWhenStopped);
}

void UITableViewCell::setFlexibleLeftMargin(QWidget *view)
{
    view->setProperty(flexibleLeftMargin, view->geometry());
    relayoutCellOf(view);
}

void UITableViewCell::setFlexibleWidth(QWidget *view)
{
    view->setProperty(flexibleWidth, view->geometry());
    relayoutCellOf(view);
}

void UITableViewCell::relayoutCellOf(QWidget *view)
{
    for (QWidget *ancestor = view->parentWidget(); ancestor; ancestor = ancestor->parentWidget()) {
        if (auto *cell = qobject_cast<UITableViewCell *>(ancestor)) {
            cell->layoutFlexibleViews();
            return;
        }
    }
}

void UITableViewCell::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    const int contentWidth =
        width() - (accessory == UITableViewCellAccessoryNone ? 0 : accessoryWidth);
    content->setGeometry(0, 0, contentWidth, height());
    layoutFlexibleViews();
}

// Frames drawn for a row of the design width follow the row's actual width.
void UITableViewCell::layoutFlexibleViews()
{
    for (QWidget *container : {static_cast<QWidget *>(this), content}) {
        const int widthChange = container->width() - designWidth;
        const auto children = container->findChildren<QWidget *>(Qt::FindDirectChildrenOnly);
        for (QWidget *child : children) {
            if (const QVariant frame = child->property(flexibleLeftMargin); frame.isValid())
                child->setGeometry(frame.toRect().translated(widthChange, 0));
            else if (const QVariant frame = child->property(flexibleWidth); frame.isValid())
                child->setGeometry(frame.toRect().adjusted(0, 0, widthChange, 0));
        }
    }
}

void UITableViewCell::mouseReleaseEvent(QMouseEvent *event)
{
    QFrame::mouseReleaseEvent(event);
    if (event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        tap();
}

void UITableViewCell::tap()
{
    setSelected(true);
    Q_EMIT tapped();
}

void UITableViewCell::paintEvent(QPaintEvent *event)
{
    QFrame::paintEvent(event);
    QPainter painter(this);
    if (selectionShade > 0) {
        QColor shade = palette().color(QPalette::Highlight);
        shade.setAlphaF(0.35 * selectionShade);
        painter.fillRect(rect(), shade);
    }
    painter.setPen(palette().color(QPalette::Mid));
    painter.drawLine(textInset, height() - 1, width(), height() - 1);
    if (accessory == UITableViewCellAccessoryDisclosureIndicator) {
        painter.setRenderHint(QPainter::Antialiasing);
        painter.setPen(QPen(palette().color(QPalette::PlaceholderText), 2));
        const QPointF tip(width() - 12, height() / 2.0);
        painter.drawPolyline(QPolygonF{tip + QPointF(-5, -6), tip, tip + QPointF(-5, 6)});
    }
}
