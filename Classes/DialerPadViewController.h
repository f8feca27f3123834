#pragma once

#include "CallLogEntry.h"
#include "ContactPhoneNumbers.h"
#include "KeyTones.h"
#include "Platform/AddressBook/ABPeoplePickerNavigationController.h"
#include "Platform/Telephony/DialOutcome.h"
#include "Platform/UI/ViewController.h"
#include "UIButtonWithLongTap.h"

#include <QPointer>
#include <memory>

class CTCall;
class ContactNumberPicking;
class CTTelephonyCenter;
class InCallBar;
class MolvaneAppDelegate;
class NumberEntry;
class OngoingCall;
class WaitingCover;
namespace Ui {
class DialerPadViewController;
}

// How a number begins decides the service code it is set into.
enum NumberStartsWith
{
    NumberStartsWithPlus = 0,
    NumberStartsWithDoubleZero = 1,
    NumberStartsWithOther = 2,
};

// Answers the call a telephony notification carries under "kCTCall"; registered while
// auto-answer is on.
void callback(CTTelephonyCenter *center, void *observer, const QString &name, const void *object,
              const QVariantMap &userInfo);

// The dial pad: the callback request made from the number entered, the wait for the callback
// and its automatic answer. It wires together the number entry, the key tones, the picking of
// a number from the address book, the waiting cover and the in-call bar.
class DialerPadViewController : public ViewController,
                                public UIButtonWithLongTapDelegate,
                                public ABPeoplePickerNavigationControllerDelegate,
                                public phoneNumberManagerDelegate
{
    Q_OBJECT

public:
    explicit DialerPadViewController(QWidget *parent = nullptr);
    ~DialerPadViewController() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

    void AddAnObserverWhenCallIsInProgress();
    void RemoveAnObserverWhenCallIsInProgress();
    // Removes the edit-mode cover and clears the number.
    void RemoveOverlayView(QObject *sender = nullptr);
    void UserBusyMessage(const QString &user);

    // Number entry.
    void button_tappedWithTag(QWidget *sender);
    QString GetTheNumberFromTag(int tag);
    void buttonDidLongTap(int tag) override;
    void RemoveLastNumberFromTappedField(QObject *sender = nullptr);
    void EditButtonTapped(QObject *sender = nullptr);
    void AddEditableTextField();
    void RemoveEditableTextField();
    void PlaySoundEffect(const QString &character);

    // A number from the call log, requested as soon as the dial pad appears.
    void takeNumberFromCallLog(const QString &number);
    // A tel: link's number, put on the dial pad to be called with a tap; a link without one
    // is said so on the status line and leaves the number as it was.
    bool takeNumberFromLink(const QString &link);
    // An incoming call that nothing answers by itself, offered on the in-call bar.
    void offerCall(const CTCall &call);

    // Filling the number from the address book.
    void PickThePhoneNumberFromAddressbook(QObject *sender = nullptr);
    bool shouldContinueAfterSelectingPerson(ABPeoplePickerNavigationController *picker,
                                            const ABRecordRef &person) override;
    bool shouldContinueAfterSelectingPerson(ABPeoplePickerNavigationController *picker,
                                            const ABRecordRef &person, ABPropertyID property,
                                            ABMultiValueIdentifier identifier) override;
    void
    peoplePickerNavigationControllerDidCancel(ABPeoplePickerNavigationController *picker) override;
    void DisplayPhoneNumberOptions(const QStringList &phoneNumbers,
                                   const QStringList &phoneLabels = {},
                                   const QString &personName = {});
    void phoneNumberSelected(const QString &phoneNumber) override;

    // Runs one callback request for the number entered.
    void MakeCallToServer(QObject *sender = nullptr);

    static NumberStartsWith CheckTheConditionForNumberInitial(const QString &number);
    static QString RemoveThePlusSignFromDialledNumber(const QString &number);
    static QString RemoveTheDoubleZeroFromDialledNumber(const QString &number);
    // The service code that asks the operator to call back for the number as typed.
    static QString CallbackRequestCode(const QString &number);

    static void RemoveOldEntryFromCallLogIfExistFromArray(CallLog &callLogs, const QString &number);

    // A request that was not sent ends at once, as after a busy message, and says why; one
    // whose outcome is unknown only says so, since its callback may still come.
    void ShowRequestOutcome(const DialOutcome &outcome, WaitingCover *overlay);
    QString RequestNotSentMessage(DialOutcome::Failure failure) const;

    void AddWaitCallBackOverLayScreen();
    // Clears the number and takes down the given waiting cover, if it is still shown. Each
    // cover goes at its own time, so a second request's cover outlives the first one's.
    void RemoveWaitCallBackOverLayScreen(WaitingCover *overlay);

    static constexpr int busyMessageMilliseconds = 2000;

protected:
    void loadView() override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;

private:
    void showInvalidNumberAlert();
    void connectKeys();
    void addInCallBar();
    void handleCallEvent(const CTCall &call);
    void arrangeKeypad();
    void nameControlsInTheScreensLanguage();

    std::unique_ptr<Ui::DialerPadViewController> ui;
    NumberEntry *numberEntry = nullptr;
    KeyTones keyTones;
    ContactNumberPicking *picking = nullptr;
    InCallBar *inCallBar = nullptr;
    OngoingCall *ongoingCall = nullptr;
    MolvaneAppDelegate *appDelegate = nullptr;
    QPointer<WaitingCover> vwOverLay;
    CallLog arrCallLogs;
    bool bIsCallInProgress = false;
    int numberStartsWith = NumberStartsWithOther;
};
