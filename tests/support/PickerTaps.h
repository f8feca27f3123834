#pragma once

#include "DialerPadViewController.h"
#include "Platform/AddressBook/ABPeoplePickerNavigationController.h"

#include <QListView>
#include <QTest>

// The address-book button tapped; the picker once it has slid into place, or null.
inline ABPeoplePickerNavigationController *openPicker(DialerPadViewController *dialPad)
{
    QTest::mouseClick(dialPad->btnContacts, Qt::LeftButton);
    auto *picker =
        qobject_cast<ABPeoplePickerNavigationController *>(dialPad->modalViewController());
    if (picker && !QTest::qWaitFor([picker] { return picker->pos() == QPoint(0, 0); }))
        qWarning("the picker never came into place");
    return picker;
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
