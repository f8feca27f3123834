#include "Platform/UI/UINavigationBar.h"

#include "Platform/UI/ViewController.h"

#include <QLabel>
#include <QToolButton>

namespace {
constexpr int barHeight = 48;
constexpr int sideMargin = 4;
} // namespace

UINavigationBar::UINavigationBar(QWidget *parent)
    : QWidget(parent), titleLabel(new QLabel(this)), back(new QToolButton(this)),
      right(new QToolButton(this))
{
    setFixedHeight(barHeight);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    QFont titleFont = titleLabel->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    titleLabel->setFont(titleFont);
    titleLabel->setAlignment(Qt::AlignCenter);
    titleLabel->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    back->setAccessibleName(QStringLiteral("Back"));
    back->setAutoRaise(true);
    back->setMinimumSize(barHeight, barHeight);
    back->hide();
    connect(back, &QToolButton::clicked, this, &UINavigationBar::backPressed);
    right->setAutoRaise(true);
    right->setMinimumSize(barHeight, barHeight);
    right->hide();
}

// The title is centred on the bar, not in the room the buttons leave: it keeps as far from
// each edge as the wider button needs.
void UINavigationBar::layOutControls()
{
    const auto widthOf = [](const QToolButton *button) {
        return button->isHidden() ? 0 : qMax(button->sizeHint().width(), barHeight);
    };
    const int backWidth = widthOf(back);
    const int rightWidth = widthOf(right);
    back->setGeometry(sideMargin, 0, backWidth, barHeight);
    right->setGeometry(width() - sideMargin - rightWidth, 0, rightWidth, barHeight);
    const int inset = sideMargin + qMax(backWidth, rightWidth);
    titleLabel->setGeometry(inset, 0, qMax(0, width() - 2 * inset), barHeight);
}

void UINavigationBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    layOutControls();
}

void UINavigationBar::setRightButtonTitle(const QString &title)
{
    right->setText(title);
    right->setAccessibleName(title);
    right->show();
    layOutControls();
}

void UINavigationBar::setTitle(const QString &title)
{
    titleLabel->setText(title);
    titleLabel->setAccessibleName(title);
}

QString UINavigationBar::title() const
{
    return titleLabel->text();
}

void UINavigationBar::setBackButtonTitle(const std::optional<QString> &title)
{
    back->setVisible(title.has_value());
    back->setText(QStringLiteral("‹ ") + title.value_or(QString()));
    layOutControls();
}

void UINavigationBar::followTitleOf(ViewController *screen)
{
    disconnect(titleFollower);
    setTitle(screen->title());
    titleFollower = connect(screen, &QWidget::windowTitleChanged, this, &UINavigationBar::setTitle);
}
