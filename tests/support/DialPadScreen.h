#pragma once

#include "DialerPadViewController.h"
#include "InCallBar.h"
#include "Platform/UI/UIActivityIndicatorView.h"
#include "WaitingCover.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

// The dial pad's controls as a person finds them on the screen, by what they are.
struct DialPadScreen
{
    explicit DialPadScreen(DialerPadViewController *dialPad) : dialPad(dialPad) {}

    DialerPadViewController *dialPad;
    QLabel *number = named<QLabel>("lblNumberField");
    QLabel *status = named<QLabel>("lblStatus");
    QPushButton *call = named<QPushButton>("btnCall");
    QPushButton *erase = named<QPushButton>("btnDelete");
    QPushButton *contacts = named<QPushButton>("btnContacts");
    QPushButton *edit = named<QPushButton>("btnEditNumber");
    UIButtonWithLongTap *zero = named<UIButtonWithLongTap>("btnLongTap");
    QWidget *editCover = named<QWidget>("vwOverlay");
    UIActivityIndicatorView *progress = named<UIActivityIndicatorView>("actViewProgress");
    InCallBar *inCallBar = dialPad->findChild<InCallBar *>();

    // Puts the number on the dial pad as a person corrects one: a key for an empty number,
    // then edit mode, everything selected and typed over, and done.
    void enter(const QString &text) const
    {
        if (number->text().isEmpty())
            QTest::mouseClick(dialPad->viewWithTag(1001), Qt::LeftButton);
        QTest::mouseClick(edit, Qt::LeftButton);
        auto *field = qobject_cast<QLineEdit *>(dialPad->viewWithTag(99));
        QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
        if (text.isEmpty())
            QTest::keyClick(field, Qt::Key_Delete);
        else
            QTest::keyClicks(field, text);
        QTest::mouseClick(edit, Qt::LeftButton);
    }

    // The newest cover still shown while a callback is awaited, if any.
    WaitingCover *waitingCover() const
    {
        const auto covers = dialPad->findChildren<WaitingCover *>();
        for (auto cover = covers.rbegin(); cover != covers.rend(); ++cover) {
            if ((*cover)->isVisible())
                return *cover;
        }
        return nullptr;
    }

private:
    template <typename Control> Control *named(const char *name) const
    {
        return dialPad->findChild<Control *>(QLatin1String(name));
    }
};
