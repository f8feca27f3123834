#pragma once

#include "ContactPhoneNumbers.h"
#include "Localizer.h"
#include "Platform/AddressBook/ABPeoplePickerNavigationController.h"

#include <QObject>
#include <QTimer>

class ViewController;

// Picking a number from the address book: the person picker, then, for a person with several
// numbers, the list of them, from which Back returns to the picker. A person with one number
// gives it at once; one with none, nothing.
class ContactNumberPicking : public QObject,
                             public ABPeoplePickerNavigationControllerDelegate,
                             public phoneNumberManagerDelegate
{
    Q_OBJECT

public:
    // The list comes a moment after the picker has gone, not in the middle of its leaving.
    static constexpr int phoneNumberOptionsDelayMilliseconds = 100;

    // The screens are shown over the presenter, which owns the flow.
    ContactNumberPicking(ViewController *presenter, Localizer text);

    void start();

    bool shouldContinueAfterSelectingPerson(ABPeoplePickerNavigationController *picker,
                                            const ABRecordRef &person) override;
    bool shouldContinueAfterSelectingPerson(ABPeoplePickerNavigationController *picker,
                                            const ABRecordRef &person, ABPropertyID property,
                                            ABMultiValueIdentifier identifier) override;
    void
    peoplePickerNavigationControllerDidCancel(ABPeoplePickerNavigationController *picker) override;
    // The person's numbers to choose from, each with its stored label (which may be missing).
    void DisplayPhoneNumberOptions(const QStringList &phoneNumbers,
                                   const QStringList &phoneLabels = {},
                                   const QString &personName = {});
    void phoneNumberSelected(const QString &phoneNumber) override;

Q_SIGNALS:
    void numberPicked(const QString &number);

private:
    void showPicker(const QString &search, bool animated);
    void backToPicker();
    ABPeoplePickerNavigationController::Texts pickerTexts() const;
    QString phoneLabelText(const QString &label) const;

    ViewController *presenter;
    Localizer text;
    QTimer numberListDelay{this};
    QStringList listedNumbers;
    QStringList listedLabels;
    QString listedPerson;
    QString pickerSearch;
};
