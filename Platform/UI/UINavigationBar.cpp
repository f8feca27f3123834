#include "Platform/UI/UINavigationBar.h"

#include "Platform/UI/ViewController.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QToolButton>

namespace {
constexpr int barHeight = 48;
}

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
    back->setMinimumSize(barHeight, barHeight - 8);
    back->hide();
    connect(back, &QToolButton::clicked, this, &UINavigationBar::backPressed);
    right->setAutoRaise(true);
    right->setMinimumSize(barHeight, barHeight - 8);
    right->hide();

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(4, 0, 4, 0);
    row->addWidget(back);
    row->addWidget(titleLabel, 1);
    row->addWidget(right);
}

void UINavigationBar::setRightButtonTitle(const QString &title)
{
    right->setText(title);
    right->setAccessibleName(title);
    right->show();
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
}

void UINavigationBar::followTitleOf(ViewController *screen)
{
    disconnect(titleFollower);
    setTitle(screen->title());
    titleFollower = connect(screen, &QWidget::windowTitleChanged, this, &UINavigationBar::setTitle);
}
