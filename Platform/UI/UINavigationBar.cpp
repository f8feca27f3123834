#include "Platform/UI/UINavigationBar.h"

#include "Platform/UI/ViewController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QShortcut>
#include <QToolButton>
#include <algorithm>

namespace {
constexpr int barHeight = 48;
constexpr int sideMargin = 4;

// The room a button takes on its side of the bar.
int widthOf(const QToolButton *button)
{
    return button->isHidden() ? 0 : std::max(button->sizeHint().width(), button->minimumWidth());
}
} // namespace

UINavigationBar::UINavigationBar(QWidget *parent)
    : QWidget(parent), titleLabel(new QLabel(this)), back(new QToolButton(this)),
      right(new QToolButton(this)), escape(new QShortcut(QKeySequence(Qt::Key_Escape), this))
{
    setFixedHeight(barHeight);
    setAutoFillBackground(true);
    setBackgroundRole(QPalette::Button);
    QFont titleFont = titleLabel->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.2);
    titleLabel->setFont(titleFont);
    titleLabel->setAlignment(Qt::AlignCenter);
    // Titles can be names from the address book: shown as typed, never as markup.
    titleLabel->setTextFormat(Qt::PlainText);
    back->setAccessibleName(QStringLiteral("Back"));
    back->setAutoRaise(true);
    // The whole height of the bar, for a thumb.
    back->setMinimumSize(barHeight, barHeight);
    back->hide();
    connect(back, &QToolButton::clicked, this, &UINavigationBar::backPressed);
    right->setAutoRaise(true);
    right->setMinimumSize(barHeight, barHeight);
    right->hide();
    escape->setContext(Qt::WindowShortcut);
    escape->setEnabled(false);
    connect(escape, &QShortcut::activated, back, &QToolButton::click);

    // The title is placed by hand, over the middle, so that it stays centred on the bar.
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(sideMargin, 0, sideMargin, 0);
    row->addWidget(back);
    row->addStretch(1);
    row->addWidget(right);
}

void UINavigationBar::setRightButtonTitle(const QString &title)
{
    right->setText(title);
    right->setAccessibleName(title);
    right->show();
    placeTitle();
}

void UINavigationBar::setTitle(const QString &title)
{
    fullTitle = title;
    titleLabel->setAccessibleName(title);
    placeTitle();
}

QString UINavigationBar::title() const
{
    return fullTitle;
}

void UINavigationBar::setBackButtonTitle(const std::optional<QString> &title)
{
    back->setVisible(title.has_value());
    back->setText(QStringLiteral("‹ ") + title.value_or(QString()));
    escape->setEnabled(title.has_value());
    placeTitle();
}

void UINavigationBar::followTitleOf(ViewController *screen)
{
    disconnect(titleFollower);
    setTitle(screen->title());
    titleFollower = connect(screen, &QWidget::windowTitleChanged, this, &UINavigationBar::setTitle);
}

void UINavigationBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    placeTitle();
}

// The title keeps as far from both edges as the wider button needs, and a title too long for
// the room between ends in "…".
void UINavigationBar::placeTitle()
{
    const int side = sideMargin + std::max(widthOf(back), widthOf(right));
    titleLabel->setGeometry(side, 0, std::max(0, width() - 2 * side), height());
    titleLabel->setText(
        titleLabel->fontMetrics().elidedText(fullTitle, Qt::ElideRight, titleLabel->width()));
}
