#include "DialerPadViewController.h"

#include "CallLogStore.h"
#include "CallbackRequest.h"
#include "ContactNumberPicking.h"
#include "InCallBar.h"
#include "MolvaneAppDelegate.h"
#include "NumberEntry.h"
#include "OngoingCall.h"
#include "Platform/Log.h"
#include "Platform/Telephony/CallAudio.h"
#include "Platform/Telephony/CallbackCode.h"
#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/Ringer.h"
#include "Platform/Telephony/TelephonyService.h"
#include "Platform/UI/UIActivityIndicatorView.h"
#include "Platform/UI/UIAlertView.h"
#include "Platform/UI/UITheme.h"
#include "Preferences.h"
#include "TelLink.h"
#include "WaitingCover.h"
#include "ui_DialerPadViewController.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QTimer>

namespace {
// The keypad's row in portrait; in landscape that row is left empty to take up the slack.
constexpr int keypadRow = 2;
constexpr int inCallBarRow = 4;
} // namespace

DialerPadViewController::DialerPadViewController(QWidget *parent) : ViewController(parent) {}

DialerPadViewController::~DialerPadViewController() = default;

void DialerPadViewController::loadView()
{
    ui = std::make_unique<Ui::DialerPadViewController>();
    ui->setupUi(this);
    numberEntry =
        new NumberEntry({ui->lblNumberField, ui->btnEditNumber, ui->vwOverlay, ui->lblEditHint},
                        MolvaneAppDelegate::screenText(), this);
    picking = new ContactNumberPicking(this, MolvaneAppDelegate::screenText());
    connect(picking, &ContactNumberPicking::numberPicked, numberEntry, &NumberEntry::setNumber);
    setFocusPolicy(Qt::StrongFocus);
    ui->btnContacts->setIcon(UITheme::icon(QStringLiteral(":/contacts.png")));
    connectKeys();
    addInCallBar();
    connect(numberEntry, &NumberEntry::editCoverRaised, inCallBar, &QWidget::raise);
}

// Below the call key, where a thumb finds it; above any cover, so a call can always be ended.
void DialerPadViewController::addInCallBar()
{
    ongoingCall = new OngoingCall(*new CallAudio(this), *new Ringer(this), this);
    inCallBar = new InCallBar(*ongoingCall, this);
    ui->screenLayout->addWidget(inCallBar, inCallBarRow, 0);
}

void DialerPadViewController::connectKeys()
{
    for (int tag : NumberEntry::keyTags) {
        auto *key = qobject_cast<QPushButton *>(viewWithTag(tag));
        connect(key, &QPushButton::clicked, this, [this, key] { button_tappedWithTag(key); });
    }
    connect(ui->btnCall, &QPushButton::clicked, this, [this] { MakeCallToServer(ui->btnCall); });
    connect(ui->btnDelete, &QPushButton::clicked, this,
            [this] { RemoveLastNumberFromTappedField(ui->btnDelete); });
    connect(ui->btnEditNumber, &QPushButton::clicked, this,
            [this] { EditButtonTapped(ui->btnEditNumber); });
    connect(ui->btnContacts, &QPushButton::clicked, this,
            [this] { PickThePhoneNumberFromAddressbook(ui->btnContacts); });
}

void DialerPadViewController::viewDidLoad()
{
    ui->btnLongTap->setDelegate(this);
    numberEntry->setNumber(QString());
    arrCallLogs = CallLog();
    appDelegate = MolvaneAppDelegate::shared();
    bIsCallInProgress = false;
    // Lives as long as the screen; call events clear the number whatever auto-answer says.
    auto *callCenter = new CTCallCenter(this);
    callCenter->setCallEventHandler([this](const CTCall &call) { handleCallEvent(call); });
    connect(&TelephonyService::shared(), &TelephonyService::networkReply, ui->lblStatus,
            &QLabel::setText);
}

void DialerPadViewController::handleCallEvent(const CTCall &call)
{
    if (call.callState() != CTCallStateIncoming && call.callState() != CTCallStateDisconnected)
        return;
    NSLog(QStringLiteral("+++++++++++++++++++++++++++++++++++++"));
    // Telephony may report from any thread; the screen is touched only on the UI thread.
    QMetaObject::invokeMethod(this, [this] { RemoveOverlayView(); });
}

void DialerPadViewController::viewWillAppear(bool animated)
{
    if (Preferences::shared().autoAnswer())
        AddAnObserverWhenCallIsInProgress();
    else
        RemoveAnObserverWhenCallIsInProgress();
    appDelegate = MolvaneAppDelegate::shared();
    nameControlsInTheScreensLanguage();
    if (appDelegate->g_bIsNumberDialledFromCallLog) {
        // Lowered before the request, so a hand-over makes exactly one request.
        appDelegate->g_bIsNumberDialledFromCallLog = false;
        numberEntry->setNumber(appDelegate->g_strSelectedNumberFromCallLog);
        appDelegate->g_strSelectedNumberFromCallLog = QString();
        MakeCallToServer();
    }
    // Tones switched on are made ready before the first tap, so that it already sounds; soon
    // after the screen shows rather than in its way.
    if (Preferences::shared().keypadTones())
        QTimer::singleShot(0, this, [this] { keyTones.prepare(); });
    ViewController::viewWillAppear(animated);
}

void DialerPadViewController::takeNumberFromCallLog(const QString &number)
{
    appDelegate = MolvaneAppDelegate::shared();
    appDelegate->g_bIsNumberDialledFromCallLog = true;
    appDelegate->g_strSelectedNumberFromCallLog = number;
}

void DialerPadViewController::offerCall(const CTCall &call)
{
    view();
    ongoingCall->offer(call);
}

bool DialerPadViewController::takeNumberFromLink(const QString &link)
{
    view();
    const std::optional<QString> number = TelLink::numberIn(link);
    if (!number) {
        ui->lblStatus->setText(MolvaneAppDelegate::screenText()(u"The link holds no number to call",
                                                                u"В ссылке нет номера для вызова"));
        return false;
    }
    numberEntry->finishEditing();
    numberEntry->setNumber(*number);
    ui->lblStatus->clear();
    return true;
}

// What a screen reader says of the controls. The number and the status are named by their
// changing text; what they are is their description.
void DialerPadViewController::nameControlsInTheScreensLanguage()
{
    const Localizer text = MolvaneAppDelegate::screenText();
    ui->btnCall->setAccessibleName(text(u"Call", u"Вызов"));
    ui->btnDelete->setAccessibleName(text(u"Delete", u"Удалить"));
    ui->btnContacts->setAccessibleName(text(u"Contacts", u"Контакты"));
    ui->btnEditNumber->setAccessibleName(text(u"Edit number", u"Изменить номер"));
    inCallBar->nameControlsInTheScreensLanguage();
    ui->lblNumberField->setAccessibleDescription(text(u"Number", u"Номер"));
    ui->lblStatus->setAccessibleDescription(text(u"Status", u"Состояние"));
    if (QWidget *field = viewWithTag(NumberEntry::editableTextFieldTag))
        field->setAccessibleName(ui->lblNumberField->accessibleDescription());
}

// Typing goes to the dial pad while it is shown: a keyboard case on a phone, or a desktop.
void DialerPadViewController::viewDidAppear(bool animated)
{
    setFocus();
    ViewController::viewDidAppear(animated);
}

void DialerPadViewController::keyPressEvent(QKeyEvent *event)
{
    const QString character = event->text();
    if (event->key() == Qt::Key_Backspace) {
        RemoveLastNumberFromTappedField(ui->btnDelete);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        MakeCallToServer(ui->btnCall);
    } else if (character == QLatin1String("+")) {
        buttonDidLongTap(NumberEntry::zeroKeyTag);
    } else if (const auto tag = NumberEntry::keyTagFor(character)) {
        button_tappedWithTag(viewWithTag(*tag));
    } else {
        ViewController::keyPressEvent(event);
        return;
    }
    event->accept();
}

void DialerPadViewController::AddAnObserverWhenCallIsInProgress()
{
    CTTelephonyCenterAddObserver(CTTelephonyCenterGetDefault(), nullptr, callback, std::nullopt,
                                 nullptr, CFNotificationSuspensionBehaviorHold);
}

void DialerPadViewController::RemoveAnObserverWhenCallIsInProgress()
{
    CTTelephonyCenterRemoveObserver(CTTelephonyCenterGetDefault(), nullptr, std::nullopt, nullptr);
}

void callback(CTTelephonyCenter *, void *, const QString &, const void *,
              const QVariantMap &userInfo)
{
    const QVariant call = userInfo.value(kCTCall);
    if (call.canConvert<CTCall>())
        CTCallAnswer(call.value<CTCall>());
}

void DialerPadViewController::RemoveOverlayView(QObject *)
{
    numberEntry->hideEditCover();
    numberEntry->setNumber(QString());
}

void DialerPadViewController::UserBusyMessage(const QString &user)
{
    bIsCallInProgress = false;
    RemoveAnObserverWhenCallIsInProgress();
    ui->actViewProgress->stopAnimating();
    ui->lblStatus->setText(
        MolvaneAppDelegate::screenText()(u"User %1 Busy!", u"Пользователь %1 Занят!").arg(user));
    QTimer::singleShot(busyMessageMilliseconds, this, [this] { RemoveOverlayView(); });
}

QString DialerPadViewController::GetTheNumberFromTag(int tag)
{
    return numberEntry->characterForKey(tag);
}

void DialerPadViewController::button_tappedWithTag(QWidget *sender)
{
    const QString character = GetTheNumberFromTag(viewTag(sender));
    if (Preferences::shared().keypadTones())
        PlaySoundEffect(character);
    numberEntry->add(character);
}

void DialerPadViewController::buttonDidLongTap(int)
{
    numberEntry->markLongTap();
    button_tappedWithTag(ui->btnLongTap);
    ui->btnLongTap->setDown(false);
}

void DialerPadViewController::RemoveLastNumberFromTappedField(QObject *)
{
    numberEntry->deleteLastCharacter();
}

void DialerPadViewController::EditButtonTapped(QObject *)
{
    numberEntry->toggleEditing();
}

void DialerPadViewController::AddEditableTextField()
{
    numberEntry->startEditing();
}

void DialerPadViewController::RemoveEditableTextField()
{
    numberEntry->finishEditing();
}

void DialerPadViewController::PlaySoundEffect(const QString &character)
{
    keyTones.play(character);
}

NumberStartsWith DialerPadViewController::CheckTheConditionForNumberInitial(const QString &number)
{
    if (number.startsWith(QLatin1Char('+')))
        return NumberStartsWithPlus;
    if (number.startsWith(QLatin1String("00")))
        return NumberStartsWithDoubleZero;
    return NumberStartsWithOther;
}

QString DialerPadViewController::RemoveThePlusSignFromDialledNumber(const QString &number)
{
    return CallbackCode::withoutPlus(number);
}

QString DialerPadViewController::RemoveTheDoubleZeroFromDialledNumber(const QString &number)
{
    return CallbackCode::withoutDoubleZero(number);
}

QString DialerPadViewController::CallbackRequestCode(const QString &number)
{
    return CallbackCode::forNumber(number);
}

void DialerPadViewController::RemoveOldEntryFromCallLogIfExistFromArray(CallLog &callLogs,
                                                                        const QString &number)
{
    CallLogStore::dropFirstEntryFor(callLogs, number);
}

void DialerPadViewController::MakeCallToServer(QObject *)
{
    const QString number = numberEntry->number();
    if (number.isEmpty()) {
        showInvalidNumberAlert();
        return;
    }
    bIsCallInProgress = true;
    numberStartsWith = CheckTheConditionForNumberInitial(number);
    ui->lblStatus->clear();
    ui->actViewProgress->startAnimating();
    // The outcome comes from the event loop, so this request's cover is up by then.
    auto cover = std::make_shared<QPointer<WaitingCover>>();
    const auto showOutcome = [this, cover](const DialOutcome &outcome) {
        ShowRequestOutcome(outcome, *cover);
    };
    arrCallLogs = CallbackRequest::send(number, this, showOutcome).log.value_or(CallLog());

    if (Preferences::shared().autoAnswer()) {
        AddWaitCallBackOverLayScreen();
        *cover = vwOverLay;
    } else {
        numberEntry->setNumber(QString());
    }
}

void DialerPadViewController::ShowRequestOutcome(const DialOutcome &outcome, WaitingCover *overlay)
{
    ui->actViewProgress->stopAnimating();
    if (outcome.wasSent())
        return;
    ui->lblStatus->setText(RequestNotSentMessage(*outcome.failure()));
    if (outcome.failure() == DialOutcome::OutcomeUnknown)
        return;
    bIsCallInProgress = false;
    RemoveAnObserverWhenCallIsInProgress();
    // Without a cover the number was cleared at the dial; what is there now is a new one.
    if (overlay)
        RemoveWaitCallBackOverLayScreen(overlay);
}

QString DialerPadViewController::RequestNotSentMessage(DialOutcome::Failure failure) const
{
    const Localizer text = MolvaneAppDelegate::screenText();
    if (failure == DialOutcome::OutcomeUnknown)
        return text(u"Not confirmed: the modem did not answer in time",
                    u"Не подтверждено: модем не ответил вовремя");
    static const QHash<int, std::pair<QStringView, QStringView>> reasons{
        {DialOutcome::Refused, {u"the number cannot be dialled", u"номер нельзя набрать"}},
        {DialOutcome::NoService, {u"no modem available", u"модем недоступен"}},
        {DialOutcome::NotAuthorised, {u"not allowed to use the modem", u"нет доступа к модему"}},
        {DialOutcome::ModemError, {u"the modem or network refused it", u"модем или сеть отказали"}},
        {DialOutcome::NetworkRefused,
         {u"the network rejected the request", u"сеть отклонила запрос"}},
    };
    const auto &[english, russian] = reasons.value(failure);
    return text(u"Not sent: %1", u"Не отправлено: %1").arg(text(english, russian));
}

void DialerPadViewController::showInvalidNumberAlert()
{
    const Localizer text = MolvaneAppDelegate::screenText();
    auto *alert = new UIAlertView(
        text(u"Invalid Number!", u"Неверный номер телефона!"),
        text(u"Please provide a valid number!", u"предоставить действительный номер"), nullptr,
        std::nullopt, {QStringLiteral("OK")});
    alert->show();
}

void DialerPadViewController::AddWaitCallBackOverLayScreen()
{
    vwOverLay = new WaitingCover(this, inCallBar,
                                 MolvaneAppDelegate::screenText()(u"Waiting for Callback...",
                                                                  u"В ожидании Обратный звонок…"));
    connect(vwOverLay, &WaitingCover::timeUp, this,
            [this, cover = vwOverLay.data()] { RemoveWaitCallBackOverLayScreen(cover); });
}

void DialerPadViewController::RemoveWaitCallBackOverLayScreen(WaitingCover *overlay)
{
    numberEntry->setNumber(QString());
    if (overlay == vwOverLay)
        vwOverLay = nullptr;
    overlay->takeDown();
}

void DialerPadViewController::resizeEvent(QResizeEvent *event)
{
    ViewController::resizeEvent(event);
    if (!isViewLoaded())
        return;
    arrangeKeypad();
    numberEntry->fitToScreen();
}

// On a screen wider than tall the keypad stands beside the number and the call key instead of
// between them, so that its keys keep a usable size and nothing overlaps.
void DialerPadViewController::arrangeKeypad()
{
    QGridLayout *screen = ui->screenLayout;
    const bool landscape = width() > height();
    // Beside the number, the keypad takes a little over half the width.
    ui->keypad->setMaximumWidth(landscape ? width() * 11 / 20 : QWIDGETSIZE_MAX);
    int row = 0, column = 0, rows = 0, columns = 0;
    screen->getItemPosition(screen->indexOf(ui->keypad), &row, &column, &rows, &columns);
    if ((column == 1) == landscape)
        return;
    screen->removeWidget(ui->keypad);
    if (landscape)
        screen->addWidget(ui->keypad, 0, 1, screen->rowCount(), 1);
    else
        screen->addWidget(ui->keypad, keypadRow, 0);
}

void DialerPadViewController::PickThePhoneNumberFromAddressbook(QObject *)
{
    picking->start();
}

bool DialerPadViewController::shouldContinueAfterSelectingPerson(
    ABPeoplePickerNavigationController *picker, const ABRecordRef &person)
{
    return picking->shouldContinueAfterSelectingPerson(picker, person);
}

bool DialerPadViewController::shouldContinueAfterSelectingPerson(
    ABPeoplePickerNavigationController *picker, const ABRecordRef &person, ABPropertyID property,
    ABMultiValueIdentifier identifier)
{
    return picking->shouldContinueAfterSelectingPerson(picker, person, property, identifier);
}

void DialerPadViewController::peoplePickerNavigationControllerDidCancel(
    ABPeoplePickerNavigationController *picker)
{
    picking->peoplePickerNavigationControllerDidCancel(picker);
}

void DialerPadViewController::DisplayPhoneNumberOptions(const QStringList &phoneNumbers,
                                                        const QStringList &phoneLabels,
                                                        const QString &personName)
{
    picking->DisplayPhoneNumberOptions(phoneNumbers, phoneLabels, personName);
}

void DialerPadViewController::phoneNumberSelected(const QString &phoneNumber)
{
    picking->phoneNumberSelected(phoneNumber);
}
