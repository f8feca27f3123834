#include "NumberEntry.h"

#include "Platform/UI/UITheme.h"
#include "Platform/UI/ViewController.h"

#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTextBoundaryFinder>

namespace {
constexpr int lastDigitKeyTag = 1009;
constexpr int editCoverTop = 70;
} // namespace

const QList<int> NumberEntry::keyTags{1000, 1001, 1002, 1003, 1004, 1005,
                                      1006, 1007, 1008, 1009, 1011, 1012};

NumberEntry::NumberEntry(const Controls &controls, Localizer text, QObject *parent)
    : QObject(parent), controls(controls), text(std::move(text))
{
    // The edit field takes the label's place; the rows around it must not move meanwhile.
    QSizePolicy keepPlace = controls.label->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    controls.label->setSizePolicy(keepPlace);
    controls.editCover->setAttribute(Qt::WA_StyledBackground);
    setEditButtonImage(QStringLiteral("edit-num.png"));
}

QString NumberEntry::number() const
{
    return controls.label->text();
}

void NumberEntry::setNumber(const QString &number)
{
    controls.label->setText(number);
}

QString NumberEntry::characterForKey(int tag)
{
    if (tag > lastDigitKeyTag) {
        if (tag == starKeyTag)
            return QStringLiteral("*");
        if (tag == hashKeyTag)
            return QStringLiteral("#");
        return QString();
    }
    if (tag == zeroKeyTag && longTapMade) {
        longTapMade = false;
        return QStringLiteral("+");
    }
    return QString::number(tag - zeroKeyTag);
}

void NumberEntry::add(const QString &character)
{
    setNumber(number() + character);
}

void NumberEntry::deleteLastCharacter()
{
    const QString entered = number();
    // The last character as a reader sees it, so no half of a surrogate pair is left behind.
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, entered);
    characters.toEnd();
    const qsizetype lastStart = characters.toPreviousBoundary();
    setNumber(lastStart > 0 ? entered.left(lastStart) : QString());
}

std::optional<int> NumberEntry::keyTagFor(const QString &character)
{
    const qsizetype key = QStringView(u"0123456789*#").indexOf(character);
    return character.size() == 1 && key >= 0 ? std::optional(keyTags.at(key)) : std::nullopt;
}

void NumberEntry::toggleEditing()
{
    if (number().isEmpty())
        return;
    if (viewTag(controls.editButton) == 0)
        startEditing();
    else
        finishEditing();
}

void NumberEntry::startEditing()
{
    setViewTag(controls.editButton, 1);
    setEditButtonImage(QStringLiteral("done-num.png"));
    auto *field = new QLineEdit(screen());
    field->setGeometry(controls.label->geometry());
    field->setObjectName(QStringLiteral("numberField"));
    field->setInputMethodHints(Qt::ImhDialableCharactersOnly | Qt::ImhNoPredictiveText);
    field->setAlignment(Qt::AlignCenter);
    field->setText(number());
    field->setFont(controls.label->font());
    field->setAccessibleName(controls.label->accessibleDescription());
    setViewTag(field, editableTextFieldTag);
    field->show();
    controls.label->hide();
    field->setFocus();

    controls.editHint->setText(
        text(u"Correct the number, then tap ✓.", u"Исправьте номер и нажмите ✓."));
    fitToScreen();
    controls.editCover->move(0, editCoverTop);
    controls.editCover->show();
    controls.editCover->raise();
    Q_EMIT editCoverRaised();
}

void NumberEntry::finishEditing()
{
    setViewTag(controls.editButton, 0);
    setEditButtonImage(QStringLiteral("edit-num.png"));
    hideEditCover();
    if (QLineEdit *field = editField()) {
        setNumber(field->text());
        delete field;
    }
    controls.label->show();
}

void NumberEntry::hideEditCover()
{
    controls.editCover->hide();
}

void NumberEntry::fitToScreen()
{
    controls.editCover->resize(screen()->width(), qMax(0, screen()->height() - editCoverTop));
    if (QLineEdit *field = editField())
        field->setGeometry(controls.label->geometry());
}

QLineEdit *NumberEntry::editField() const
{
    return qobject_cast<QLineEdit *>(viewWithTag(screen(), editableTextFieldTag));
}

void NumberEntry::setEditButtonImage(const QString &imageName)
{
    controls.editButton->setIcon(UITheme::icon(QStringLiteral(":/") + imageName));
    controls.editButton->setProperty("imageName", imageName);
}

QWidget *NumberEntry::screen() const
{
    return controls.label->parentWidget();
}
