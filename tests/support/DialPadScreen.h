#pragma once

#include "DialerPadViewController.h"
#include "InCallBar.h"
#include "Platform/UI/UIActivityIndicatorView.h"
#include "WaitingCover.h"

#include <QLabel>
#include <QPushButton>

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
