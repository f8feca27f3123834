#pragma once

#include "Localizer.h"
#include "Platform/UI/UIAlertView.h"

#include <QObject>

// Contacts kept in Molvane's own file before the phone's address book was used: the user is
// asked once, the first time the contacts are opened, whether to copy them there. The file is
// kept either way.
class OwnContactsCopyOffer : public QObject, private UIAlertViewDelegate
{
    Q_OBJECT

public:
    // Asks, when there is something to copy and the user was never asked; the offer then
    // lives as a child of the context until it is answered.
    static void askIfDue(const Localizer &text, QObject *context);

private:
    OwnContactsCopyOffer(const Localizer &text, QObject *context);
    void ask(int persons);
    void clickedButtonAtIndex(UIAlertView *alertView, int buttonIndex) override;
    void copy();

    Localizer text;
};
