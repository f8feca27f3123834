#pragma once

#include "CallLogEntry.h"
#include "ContactPhoneNumbers.h"
#include "Platform/AddressBook/ABPeoplePickerNavigationController.h"
#include "Platform/Sound/AudioServices.h"
#include "Platform/Telephony/DialOutcome.h"
#include "Platform/UI/ViewController.h"
#include "UIButtonWithLongTap.h"

#include <QHash>
#include <QPointer>
#include <memory>

class CTCall;
class InCallBar;
class OngoingCall;
class CTCallCenter;
class CTTelephonyCenter;
class MolvaneAppDelegate;
class QLabel;
class QPushButton;
class UIActivityIndicatorView;
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
// Completion routine of the key tones; nothing is left to do when a tone ends.
void SoundEffectCallback(SystemSoundID soundID, void *clientData);

// The dial pad: the number being entered, the callback request made from it, and the
// automatic answer of the operator's callback.
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
    // Makes every key's tone, so that none waits for its sound file at its first tap.
    void PrepareKeyTones();
    SystemSoundID KeyToneFor(const QString &character);

    // A number from the call log, requested as soon as the dial pad appears.
    void takeNumberFromCallLog(const QString &number);

    // Filling the number from the address book.
    void PickThePhoneNumberFromAddressbook(QObject *sender = nullptr);
    bool shouldContinueAfterSelectingPerson(ABPeoplePickerNavigationController *picker,
                                            const ABRecordRef &person) override;
    bool shouldContinueAfterSelectingPerson(ABPeoplePickerNavigationController *picker,
                                            const ABRecordRef &person, ABPropertyID property,
                                            ABMultiValueIdentifier identifier) override;
    void
    peoplePickerNavigationControllerDidCancel(ABPeoplePickerNavigationController *picker) override;
    // The numbers to choose from, each with its stored label (which may be missing).
    void DisplayPhoneNumberOptions(const QStringList &phoneNumbers,
                                   const QStringList &phoneLabels = {});
    void phoneNumberSelected(const QString &phoneNumber) override;

    static constexpr int phoneNumberOptionsDelayMilliseconds = 100;

    // Runs one callback request for the number in the label.
    void MakeCallToServer(QObject *sender = nullptr);

    static NumberStartsWith CheckTheConditionForNumberInitial(const QString &number);
    static QString RemoveThePlusSignFromDialledNumber(const QString &number);
    static QString RemoveTheDoubleZeroFromDialledNumber(const QString &number);
    // The service code that asks the operator to call back for the number as typed.
    static QString CallbackRequestCode(const QString &number);

    static void RemoveOldEntryFromCallLogIfExistFromArray(CallLog &callLogs, const QString &number);

    // A request that was not sent ends at once, as after a busy message, and says why; one
    // whose outcome is unknown only says so, since its callback may still come.
    void ShowRequestOutcome(const DialOutcome &outcome, QWidget *overlay);
    QString RequestNotSentMessage(DialOutcome::Failure failure) const;

    void AddWaitCallBackOverLayScreen();
    // Clears the number and removes the given waiting overlay, if it is still shown. Each
    // overlay is removed by the removal scheduled with it, so a second request's overlay
    // outlives the first one's removal.
    void RemoveWaitCallBackOverLayScreen(QWidget *overlay);

    static constexpr int waitingOverlayMilliseconds = 5000;
    static constexpr int busyMessageMilliseconds = 2000;
    static constexpr int editableTextFieldTag = 99;

    QLabel *lblNumberField = nullptr;
    CallLog arrCallLogs;
    MolvaneAppDelegate *appDelegate = nullptr;
    QWidget *vwOverlay = nullptr;
    UIActivityIndicatorView *actViewProgress = nullptr;
    QLabel *lblStatus = nullptr;
    bool bIsCallInProgress = false;
    SystemSoundID soundID = 0;
    UIButtonWithLongTap *btnLongTap = nullptr;
    bool bIsLongTapMade = false;
    int numberStartsWith = NumberStartsWithOther;
    QPushButton *btnEditNumber = nullptr;
    QPointer<QWidget> vwOverLay;
    QPushButton *btnCall = nullptr;
    QPushButton *btnDelete = nullptr;
    QPushButton *btnContacts = nullptr;
    OngoingCall *ongoingCall = nullptr;
    InCallBar *inCallBar = nullptr;

protected:
    void loadView() override;
    void resizeEvent(QResizeEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void showInvalidNumberAlert();
    void scheduleOverlayRemoval(QWidget *overlay);
    void layoutWaitingOverlay(QWidget *overlay);
    void layoutWaitingOverlays();
    void connectKeys();
    void addInCallBar();
    void handleCallEvent(const CTCall &call);
    void setEditButtonImage(const QString &imageName);
    void fitEditCover();
    void arrangeKeypad();
    void nameControlsInTheScreensLanguage();
    QString phoneLabelText(const QString &label) const;
    // The text in the screen's language.
    QString text(const char16_t *english, const char16_t *russian) const;
    std::optional<int> keyTagFor(const QString &character) const;

    std::unique_ptr<Ui::DialerPadViewController> ui;
    // Key tones, one per character, made on first use and kept.
    QHash<QString, SystemSoundID> keySounds;
};
