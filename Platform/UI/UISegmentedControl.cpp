#include "Platform/UI/UISegmentedControl.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QScopedValueRollback>

UISegmentedControl::UISegmentedControl(const QStringList &items, QWidget *parent) : QWidget(parent)
{
    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    for (int index = 0; index < items.size(); ++index) {
        auto *segment = new QPushButton(items.at(index), this);
        segment->setCheckable(true);
        segment->setAccessibleName(items.at(index));
        segment->setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Expanding);
        segments.addButton(segment, index);
        row->addWidget(segment);
    }
    // A tap and a segment's accessible Toggle action both check it: each is the user's choice.
    connect(&segments, &QButtonGroup::idToggled, this, [this](int, bool checked) {
        if (checked && !selecting)
            Q_EMIT valueChanged(this);
    });
}

void UISegmentedControl::setSelectedSegmentIndex(int index)
{
    const QScopedValueRollback programmatic(selecting, true);
    if (QAbstractButton *segment = segments.button(index))
        segment->setChecked(true);
}

void UISegmentedControl::setTitleForSegmentAtIndex(const QString &title, int index)
{
    if (QAbstractButton *segment = segments.button(index)) {
        segment->setText(title);
        segment->setAccessibleName(title);
    }
}

QString UISegmentedControl::titleForSegmentAtIndex(int index) const
{
    QAbstractButton *segment = segments.button(index);
    return segment ? segment->text() : QString();
}
