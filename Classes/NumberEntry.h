#pragma once

#include "Localizer.h"

#include <QObject>
#include <optional>

class QLabel;
class QLineEdit;
class QPushButton;
class QWidget;

// The number being entered on the dial pad. The keys add their characters, and a long tap on 0
// gives "+". Delete takes off the last character. Edit mode lays a text field over the label,
// and a cover over the keys, so that the number can be corrected anywhere in it.
class NumberEntry : public QObject
{
    Q_OBJECT

public:
    struct Controls
    {
        QLabel *label;
        QPushButton *editButton;
        // Lies over the keys while the number is edited; its hint says how to finish.
        QWidget *editCover;
        QLabel *editHint;
    };

    static constexpr int zeroKeyTag = 1000;
    static constexpr int starKeyTag = 1011;
    static constexpr int hashKeyTag = 1012;
    static constexpr int editableTextFieldTag = 99;
    // Every key's tag, in the order of the characters "0123456789*#".
    static const QList<int> keyTags;

    NumberEntry(const Controls &controls, Localizer text, QObject *parent);

    QString number() const;
    void setNumber(const QString &number);

    // The character a key adds. The 0 key gives "+" once after a long tap on it.
    QString characterForKey(int tag);
    void markLongTap() { longTapMade = true; }
    void add(const QString &character);
    void deleteLastCharacter();
    // The key a typed character stands for, if any.
    static std::optional<int> keyTagFor(const QString &character);

    // Nothing to edit in an empty number.
    void toggleEditing();
    void startEditing();
    void finishEditing();
    void hideEditCover();
    // The cover spans the screen below the number at whatever size the screen has.
    void fitToScreen();

Q_SIGNALS:
    // The cover is up: whatever must stay reachable over it is raised now.
    void editCoverRaised();

private:
    QLineEdit *editField() const;
    void setEditButtonImage(const QString &imageName);
    QWidget *screen() const;

    Controls controls;
    Localizer text;
    bool longTapMade = false;
};
