#pragma once

#include "DialPadScreen.h"
#include "DialerPadViewController.h"
#include "Platform/AddressBook/ABPeoplePickerNavigationController.h"

#include <QListView>
#include <QTest>

// The picker the screen shows, once it has slid into place, or null.
inline ABPeoplePickerNavigationController *pickerShownBy(ViewController *presenter)
{
    auto *picker =
        qobject_cast<ABPeoplePickerNavigationController *>(presenter->modalViewController());
    if (picker && !QTest::qWaitFor([picker] { return picker->pos() == QPoint(0, 0); }))
        qWarning("the picker never came into place");
    return picker;
}

// The address-book button tapped; the picker once it has slid into place, or null.
inline ABPeoplePickerNavigationController *openPicker(DialerPadViewController *dialPad)
{
    QTest::mouseClick(DialPadScreen(dialPad).contacts, Qt::LeftButton);
    return pickerShownBy(dialPad);
}

// Taps the person's row where it stands; false when the person is not listed.
inline bool tapPerson(ABPeoplePickerNavigationController *picker, const QString &name)
{
    const int row = int(picker->listedNames().indexOf(name));
    if (row < 0)
        return false;
    QListView *list = picker->peopleList();
    list->scrollTo(list->model()->index(row, 0));
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                      list->visualRect(list->model()->index(row, 0)).center());
    return true;
}
