#include "DialerPadViewController.h"

#include "ABContact.h"
#include "CallLogStore.h"
#include "CallbackRequest.h"
#include "InCallBar.h"
#include "MolvaneAppDelegate.h"
#include "OngoingCall.h"
#include "OwnContactsCopyOffer.h"
#include "Platform/AddressBook/ABProperties.h"
#include "Platform/AddressBook/ABStore.h"
#include "Platform/Files/BundleResource.h"
#include "Platform/Log.h"
#include "Platform/Telephony/CallAudio.h"
#include "Platform/Telephony/CallbackCode.h"
#include "Platform/Telephony/CoreTelephony.h"
#include "Platform/Telephony/TelephonyService.h"
#include "Platform/UI/UIActivityIndicatorView.h"
#include "Platform/UI/UIAlertView.h"
#include "Platform/UI/UINavigationController.h"
#include "Preferences.h"
#include "ui_DialerPadViewController.h"

#include <QGridLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTextBoundaryFinder>
#include <QTimer>

namespace {
const QString waitingOverlayName = QStringLiteral("WaitingOverlay");
constexpr int editCoverTop = 70;
// The keypad's row in portrait; in landscape that row is left empty to take up the slack.
constexpr int keypadRow = 2;
constexpr int inCallBarRow = 4;
constexpr int zeroKeyTag = 1000;
constexpr int lastDigitKeyTag = 1009;
constexpr int starKeyTag = 1011;
constexpr int hashKeyTag = 1012;
// The overlay's layout, drawn for a 320-point-wide screen and centred on the actual width.
constexpr int indicatorSize = 32;
constexpr int indicatorCentreY = 210;
constexpr int captionTop = 230;
constexpr int captionHeight = 30;
} // namespace

DialerPadViewController::DialerPadViewController(QWidget *parent) : ViewController(parent) {}

DialerPadViewController::~DialerPadViewController()
{
    for (SystemSoundID keySound : std::as_const(keySounds))
        AudioServicesDisposeSystemSoundID(keySound);
}

void DialerPadViewController::loadView()
{
    ui = std::make_unique<Ui::DialerPadViewController>();
    ui->setupUi(this);
    lblNumberField = ui->lblNumberField;
    vwOverlay = ui->vwOverlay;
    actViewProgress = ui->actViewProgress;
    lblStatus = ui->lblStatus;
    btnLongTap = ui->btnLongTap;
    btnEditNumber = ui->btnEditNumber;
    btnCall = ui->btnCall;
    btnDelete = ui->btnDelete;
    btnContacts = ui->btnContacts;

    // The edit field takes the label's place; the rows around it must not move meanwhile.
    QSizePolicy keepPlace = lblNumberField->sizePolicy();
    keepPlace.setRetainSizeWhenHidden(true);
    lblNumberField->setSizePolicy(keepPlace);
    vwOverlay->setAttribute(Qt::WA_StyledBackground);
    setFocusPolicy(Qt::StrongFocus);
    btnContacts->setIcon(QIcon(QStringLiteral(":/contacts.png")));
    setEditButtonImage(QStringLiteral("edit-num.png"));
    connectKeys();
    addInCallBar();
}

// Below the call key, where a thumb finds it; above any cover, so a call can always be ended.
void DialerPadViewController::addInCallBar()
{
    ongoingCall = new OngoingCall(*new CallAudio(this), this);
    inCallBar = new InCallBar(*ongoingCall, this);
    ui->screenLayout->addWidget(inCallBar, inCallBarRow, 0);
    inCallBar->installEventFilter(this);
}

// A waiting cover's caption keeps clear of the bar wherever the layout puts it.
bool DialerPadViewController::eventFilter(QObject *watched, QEvent *event)
{
    static const QSet<QEvent::Type> barPlaced{QEvent::Move, QEvent::Resize, QEvent::Show,
                                              QEvent::Hide};
    if (watched == inCallBar && barPlaced.contains(event->type()))
        layoutWaitingOverlays();
    return ViewController::eventFilter(watched, event);
}

void DialerPadViewController::connectKeys()
{
    for (int tag : {1000, 1001, 1002, 1003, 1004, 1005, 1006, 1007, 1008, 1009, 1011, 1012}) {
        auto *key = qobject_cast<QPushButton *>(viewWithTag(tag));
        connect(key, &QPushButton::clicked, this, [this, key] { button_tappedWithTag(key); });
    }
    connect(btnCall, &QPushButton::clicked, this, [this] { MakeCallToServer(btnCall); });
    connect(btnDelete, &QPushButton::clicked, this,
            [this] { RemoveLastNumberFromTappedField(btnDelete); });
    connect(btnEditNumber, &QPushButton::clicked, this,
            [this] { EditButtonTapped(btnEditNumber); });
    connect(btnContacts, &QPushButton::clicked, this,
            [this] { PickThePhoneNumberFromAddressbook(btnContacts); });
}

void DialerPadViewController::viewDidLoad()
{
    btnLongTap->setDelegate(this);
    bIsLongTapMade = false;
    lblNumberField->setText(QString());
    arrCallLogs = CallLog();
    appDelegate = MolvaneAppDelegate::shared();
    bIsCallInProgress = false;
    // Lives as long as the screen; call events clear the number whatever auto-answer says.
    auto *callCenter = new CTCallCenter(this);
    callCenter->setCallEventHandler([this](const CTCall &call) { handleCallEvent(call); });
    connect(&TelephonyService::shared(), &TelephonyService::networkReply, lblStatus,
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
        lblNumberField->setText(appDelegate->g_strSelectedNumberFromCallLog);
        appDelegate->g_strSelectedNumberFromCallLog = QString();
        MakeCallToServer();
    }
    // Tones switched on are made ready before the first tap, so that it already sounds; soon
    // after the screen shows rather than in its way.
    if (Preferences::shared().keypadTones())
        QTimer::singleShot(0, this, [this] { PrepareKeyTones(); });
    ViewController::viewWillAppear(animated);
}

void DialerPadViewController::takeNumberFromCallLog(const QString &number)
{
    appDelegate = MolvaneAppDelegate::shared();
    appDelegate->g_bIsNumberDialledFromCallLog = true;
    appDelegate->g_strSelectedNumberFromCallLog = number;
}

// What a screen reader says of the controls. The number and the status are named by their
// changing text; what they are is their description.
QString DialerPadViewController::text(const char16_t *english, const char16_t *russian) const
{
    return appDelegate->localizedText(QString::fromUtf16(english), QString::fromUtf16(russian));
}

void DialerPadViewController::nameControlsInTheScreensLanguage()
{
    btnCall->setAccessibleName(text(u"Call", u"Вызов"));
    btnDelete->setAccessibleName(text(u"Delete", u"Удалить"));
    btnContacts->setAccessibleName(text(u"Contacts", u"Контакты"));
    btnEditNumber->setAccessibleName(text(u"Edit number", u"Изменить номер"));
    inCallBar->nameControlsInTheScreensLanguage();
    lblNumberField->setAccessibleDescription(text(u"Number", u"Номер"));
    lblStatus->setAccessibleDescription(text(u"Status", u"Состояние"));
    if (QWidget *field = viewWithTag(editableTextFieldTag))
        field->setAccessibleName(lblNumberField->accessibleDescription());
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
        RemoveLastNumberFromTappedField(btnDelete);
    } else if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        MakeCallToServer(btnCall);
    } else if (character == QLatin1String("+")) {
        buttonDidLongTap(zeroKeyTag);
    } else if (const auto tag = keyTagFor(character)) {
        button_tappedWithTag(viewWithTag(*tag));
    } else {
        ViewController::keyPressEvent(event);
        return;
    }
    event->accept();
}

std::optional<int> DialerPadViewController::keyTagFor(const QString &character) const
{
    if (character == QLatin1String("*"))
        return starKeyTag;
    if (character == QLatin1String("#"))
        return hashKeyTag;
    const qsizetype digit = QStringView(u"0123456789").indexOf(character);
    return character.size() == 1 && digit >= 0 ? std::optional(zeroKeyTag + int(digit))
                                               : std::nullopt;
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
    vwOverlay->hide();
    lblNumberField->setText(QString());
}

void DialerPadViewController::UserBusyMessage(const QString &user)
{
    bIsCallInProgress = false;
    RemoveAnObserverWhenCallIsInProgress();
    actViewProgress->stopAnimating();
    lblStatus->setText(appDelegate
                           ->localizedText(QStringLiteral("User %1 Busy!"),
                                           QStringLiteral("Пользователь %1 Занят!"))
                           .arg(user));
    QTimer::singleShot(busyMessageMilliseconds, this, [this] { RemoveOverlayView(); });
}

QString DialerPadViewController::GetTheNumberFromTag(int tag)
{
    if (tag > lastDigitKeyTag) {
        if (tag == starKeyTag)
            return QStringLiteral("*");
        if (tag == hashKeyTag)
            return QStringLiteral("#");
        return QString();
    }
    if (tag == zeroKeyTag && bIsLongTapMade) {
        bIsLongTapMade = false;
        return QStringLiteral("+");
    }
    return QString::number(tag - zeroKeyTag);
}

void DialerPadViewController::button_tappedWithTag(QWidget *sender)
{
    const QString character = GetTheNumberFromTag(viewTag(sender));
    if (Preferences::shared().keypadTones())
        PlaySoundEffect(character);
    lblNumberField->setText(lblNumberField->text() + character);
}

void DialerPadViewController::buttonDidLongTap(int)
{
    bIsLongTapMade = true;
    button_tappedWithTag(btnLongTap);
    btnLongTap->setDown(false);
}

void DialerPadViewController::RemoveLastNumberFromTappedField(QObject *)
{
    const QString text = lblNumberField->text();
    // The last character as a reader sees it, so no half of a surrogate pair is left behind.
    QTextBoundaryFinder characters(QTextBoundaryFinder::Grapheme, text);
    characters.toEnd();
    const qsizetype lastStart = characters.toPreviousBoundary();
    lblNumberField->setText(lastStart > 0 ? text.left(lastStart) : QString());
}

void DialerPadViewController::EditButtonTapped(QObject *)
{
    if (lblNumberField->text().isEmpty())
        return;
    if (viewTag(btnEditNumber) == 0) {
        setViewTag(btnEditNumber, 1);
        AddEditableTextField();
    } else {
        setViewTag(btnEditNumber, 0);
        RemoveEditableTextField();
    }
}

void DialerPadViewController::AddEditableTextField()
{
    setEditButtonImage(QStringLiteral("done-num.png"));
    auto *field = new QLineEdit(this);
    field->setGeometry(lblNumberField->geometry());
    field->setStyleSheet(QStringLiteral("background: transparent; color: white; border: none;"));
    field->setInputMethodHints(Qt::ImhDialableCharactersOnly | Qt::ImhNoPredictiveText);
    field->setAlignment(Qt::AlignCenter);
    field->setText(lblNumberField->text());
    field->setFont(lblNumberField->font());
    field->setAccessibleName(lblNumberField->accessibleDescription());
    setViewTag(field, editableTextFieldTag);
    field->show();
    lblNumberField->hide();
    field->setFocus();

    ui->lblEditHint->setText(
        appDelegate->localizedText(QStringLiteral("Correct the number, then tap ✓."),
                                   QStringLiteral("Исправьте номер и нажмите ✓.")));
    fitEditCover();
    vwOverlay->move(0, editCoverTop);
    vwOverlay->show();
    vwOverlay->raise();
    inCallBar->raise();
}

void DialerPadViewController::RemoveEditableTextField()
{
    setEditButtonImage(QStringLiteral("edit-num.png"));
    vwOverlay->hide();
    if (auto *field = qobject_cast<QLineEdit *>(viewWithTag(editableTextFieldTag))) {
        lblNumberField->setText(field->text());
        delete field;
    }
    lblNumberField->show();
}

void DialerPadViewController::setEditButtonImage(const QString &imageName)
{
    btnEditNumber->setIcon(QIcon(QStringLiteral(":/") + imageName));
    btnEditNumber->setProperty("imageName", imageName);
}

// The cover spans the keypad below the number at whatever size the window has.
void DialerPadViewController::fitEditCover()
{
    vwOverlay->resize(width(), qMax(0, height() - editCoverTop));
}

void DialerPadViewController::PlaySoundEffect(const QString &character)
{
    const SystemSoundID keySound = KeyToneFor(character);
    if (!keySound)
        return;
    soundID = keySound;
    AudioServicesPlaySystemSound(soundID);
}

// Made on first use and kept: one sound per key character.
SystemSoundID DialerPadViewController::KeyToneFor(const QString &character)
{
    SystemSoundID keySound = keySounds.value(character);
    if (keySound)
        return keySound;
    const std::optional<QString> path = PathForResource(character, QStringLiteral("wav"));
    if (!path)
        return 0;
    // Built part by part: in a URL written out, the "#" of the hash key would start a fragment.
    QUrl source;
    source.setScheme(QStringLiteral("qrc"));
    source.setPath(path->mid(1));
    AudioServicesCreateSystemSoundID(source, &keySound);
    AudioServicesAddSystemSoundCompletion(keySound, nullptr, nullptr, SoundEffectCallback, this);
    keySounds.insert(character, keySound);
    return keySound;
}

void DialerPadViewController::PrepareKeyTones()
{
    for (const QChar character : QStringView(u"0123456789*#+"))
        KeyToneFor(character);
}

void SoundEffectCallback(SystemSoundID, void *) {}

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
    const QString number = lblNumberField->text();
    if (number.isEmpty()) {
        showInvalidNumberAlert();
        return;
    }
    bIsCallInProgress = true;
    numberStartsWith = CheckTheConditionForNumberInitial(number);
    lblStatus->clear();
    actViewProgress->startAnimating();
    // The outcome comes from the event loop, so this request's overlay is up by then.
    auto overlay = std::make_shared<QPointer<QWidget>>();
    const auto showOutcome = [this, overlay](const DialOutcome &outcome) {
        ShowRequestOutcome(outcome, *overlay);
    };
    arrCallLogs = CallbackRequest::send(number, this, showOutcome).log.value_or(CallLog());

    if (Preferences::shared().autoAnswer()) {
        AddWaitCallBackOverLayScreen();
        *overlay = vwOverLay;
        scheduleOverlayRemoval(vwOverLay);
    } else {
        lblNumberField->setText(QString());
    }
}

void DialerPadViewController::ShowRequestOutcome(const DialOutcome &outcome, QWidget *overlay)
{
    actViewProgress->stopAnimating();
    if (outcome.wasSent())
        return;
    lblStatus->setText(RequestNotSentMessage(*outcome.failure()));
    if (outcome.failure() == DialOutcome::OutcomeUnknown)
        return;
    bIsCallInProgress = false;
    RemoveAnObserverWhenCallIsInProgress();
    // Without an overlay the number was cleared at the dial; what is there now is a new one.
    if (overlay)
        RemoveWaitCallBackOverLayScreen(overlay);
}

QString DialerPadViewController::RequestNotSentMessage(DialOutcome::Failure failure) const
{
    if (failure == DialOutcome::OutcomeUnknown)
        return appDelegate->localizedText(
            QStringLiteral("Not confirmed: the modem did not answer in time"),
            QStringLiteral("Не подтверждено: модем не ответил вовремя"));
    static const QHash<int, std::pair<QString, QString>> reasons{
        {DialOutcome::Refused,
         {QStringLiteral("the number cannot be dialled"), QStringLiteral("номер нельзя набрать")}},
        {DialOutcome::NoService,
         {QStringLiteral("no modem available"), QStringLiteral("модем недоступен")}},
        {DialOutcome::NotAuthorised,
         {QStringLiteral("not allowed to use the modem"), QStringLiteral("нет доступа к модему")}},
        {DialOutcome::ModemError,
         {QStringLiteral("the modem or network refused it"),
          QStringLiteral("модем или сеть отказали")}},
        {DialOutcome::NetworkRefused,
         {QStringLiteral("the network rejected the request"),
          QStringLiteral("сеть отклонила запрос")}},
    };
    const auto &[english, russian] = reasons.value(failure);
    return appDelegate->localizedText(QStringLiteral("Not sent: %1").arg(english),
                                      QStringLiteral("Не отправлено: %1").arg(russian));
}

void DialerPadViewController::showInvalidNumberAlert()
{
    auto *alert = new UIAlertView(
        appDelegate->localizedText(QStringLiteral("Invalid Number!"),
                                   QStringLiteral("Неверный номер телефона!")),
        appDelegate->localizedText(QStringLiteral("Please provide a valid number!"),
                                   QStringLiteral("предоставить действительный номер")),
        nullptr, std::nullopt, {QStringLiteral("OK")});
    alert->show();
}

void DialerPadViewController::AddWaitCallBackOverLayScreen()
{
    auto *overlay = new QWidget(this);
    overlay->setObjectName(waitingOverlayName);
    overlay->setAttribute(Qt::WA_StyledBackground);
    overlay->setStyleSheet(QStringLiteral("#WaitingOverlay { background: rgba(0, 0, 0, 178); }"));

    auto *indicator = new UIActivityIndicatorView(overlay);
    indicator->setGeometry(0, 0, indicatorSize, indicatorSize);
    indicator->setActivityIndicatorViewStyle(UIActivityIndicatorView::White);
    indicator->startAnimating();

    auto *caption = new QLabel(overlay);
    caption->setStyleSheet(QStringLiteral("color: white; background: transparent;"));
    caption->setAlignment(Qt::AlignCenter);
    caption->setText(appDelegate->localizedText(QStringLiteral("Waiting for Callback..."),
                                                QStringLiteral("В ожидании Обратный звонок…")));
    overlay->setAccessibleName(caption->text());

    layoutWaitingOverlay(overlay);
    overlay->show();
    overlay->raise();
    inCallBar->raise();
    vwOverLay = overlay;
}

// On a short screen the in-call bar, which lies over the cover, would hide the caption: both
// move up clear of it.
void DialerPadViewController::layoutWaitingOverlay(QWidget *overlay)
{
    overlay->setGeometry(rect());
    const int centreX = width() / 2;
    const int lift = inCallBar->isVisible()
                         ? qMax(0, captionTop + captionHeight - inCallBar->geometry().top())
                         : 0;
    if (auto *indicator = overlay->findChild<UIActivityIndicatorView *>())
        indicator->setCenter(QPoint(centreX, indicatorCentreY - lift));
    if (auto *caption = overlay->findChild<QLabel *>())
        caption->setGeometry(0, captionTop - lift, width(), captionHeight);
}

void DialerPadViewController::layoutWaitingOverlays()
{
    const auto overlays = findChildren<QWidget *>(waitingOverlayName, Qt::FindDirectChildrenOnly);
    for (QWidget *overlay : overlays)
        layoutWaitingOverlay(overlay);
}

void DialerPadViewController::scheduleOverlayRemoval(QWidget *overlay)
{
    auto *removal = new QTimer(this);
    removal->setObjectName(QStringLiteral("WaitingOverlayRemoval"));
    removal->setSingleShot(true);
    connect(removal, &QTimer::timeout, this, [this, removal, overlay = QPointer(overlay)] {
        removal->deleteLater();
        RemoveWaitCallBackOverLayScreen(overlay);
    });
    removal->start(waitingOverlayMilliseconds);
}

void DialerPadViewController::RemoveWaitCallBackOverLayScreen(QWidget *overlay)
{
    lblNumberField->setText(QString());
    if (!overlay)
        return;
    if (overlay == vwOverLay)
        vwOverLay = nullptr;
    overlay->hide();
    overlay->deleteLater();
}

void DialerPadViewController::resizeEvent(QResizeEvent *event)
{
    ViewController::resizeEvent(event);
    if (!isViewLoaded())
        return;
    arrangeKeypad();
    layoutWaitingOverlays();
    fitEditCover();
    if (QWidget *field = viewWithTag(editableTextFieldTag))
        field->setGeometry(lblNumberField->geometry());
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
    auto *picker = new ABPeoplePickerNavigationController;
    picker->setPeoplePickerDelegate(this);
    ABPeoplePickerNavigationController::Texts texts;
    texts.title = text(u"Contacts", u"Контакты");
    texts.cancel = text(u"Cancel", u"Отмена");
    texts.search = text(u"Search", u"Поиск");
    texts.noMatches = text(u"No matches", u"Ничего не найдено");
    texts.loading = text(u"Loading contacts…", u"Загрузка контактов…");
    // An empty book says where people are added on this phone: only Molvane's own file is
    // filled from the command line.
    switch (ABStore::chosenKind()) {
    case ABStoreKind::PhoneBook:
        texts.emptyBook = text(u"No contacts yet. Add them in the Contacts app.",
                               u"Контактов пока нет. Добавьте их в приложении «Контакты».");
        texts.unavailable =
            text(u"The phone's address book is not available. Molvane keeps trying.",
                 u"Адресная книга телефона недоступна. Molvane продолжает попытки подключения.");
        break;
    case ABStoreKind::VCardFolder:
        texts.emptyBook = text(u"No contacts yet. Add them in the phone book.",
                               u"Контактов пока нет. Добавьте их в телефонной книге.");
        texts.unavailable =
            text(u"The contacts folder cannot be opened.", u"Не удаётся открыть папку контактов.");
        break;
    case ABStoreKind::SQLite:
        texts.emptyBook = text(u"No contacts yet. Import a vCard file with\n"
                               u"molvane --import-contacts FILE.vcf",
                               u"Контактов пока нет.\nЗагрузите файл vCard командой\n"
                               u"molvane --import-contacts ФАЙЛ.vcf");
        texts.unavailable = text(u"Molvane's address book file cannot be opened.",
                                 u"Не удаётся открыть файл адресной книги Molvane.");
        break;
    }
    picker->setTexts(texts);
    presentModalViewController(picker, true);
    OwnContactsCopyOffer::askIfDue(appDelegate, this);
}

bool DialerPadViewController::shouldContinueAfterSelectingPerson(
    ABPeoplePickerNavigationController *, const ABRecordRef &person)
{
    const ABContactRef contact = ABContact::contactWithRecord(person);
    const QStringList phoneNumbers = contact->phoneArray().value_or(QStringList());
    const QStringList phoneLabels = contact->phoneLabels();
    dismissModalViewControllerAnimated(false);
    if (phoneNumbers.size() == 1)
        lblNumberField->setText(phoneNumbers.first());
    else if (phoneNumbers.size() > 1)
        QTimer::singleShot(phoneNumberOptionsDelayMilliseconds, this,
                           [=, this] { DisplayPhoneNumberOptions(phoneNumbers, phoneLabels); });
    return false;
}

bool DialerPadViewController::shouldContinueAfterSelectingPerson(
    ABPeoplePickerNavigationController *, const ABRecordRef &, ABPropertyID, ABMultiValueIdentifier)
{
    dismissModalViewControllerAnimated(true);
    return false;
}

void DialerPadViewController::peoplePickerNavigationControllerDidCancel(
    ABPeoplePickerNavigationController *)
{
    dismissModalViewControllerAnimated(true);
}

// A number's kind in the screen's language; a label the person's card made up is its own.
QString DialerPadViewController::phoneLabelText(const QString &label) const
{
    struct Kind
    {
        const QString &label;
        const char16_t *english;
        const char16_t *russian;
    };
    const Kind kinds[] = {
        {kABPersonPhoneMobileLabel, u"Mobile", u"Мобильный"},
        {kABHomeLabel, u"Home", u"Домашний"},
        {kABWorkLabel, u"Work", u"Рабочий"},
        {kABOtherLabel, u"Other", u"Другой"},
        {kABPersonPhoneMainLabel, u"Main", u"Основной"},
        {kABPersonPhonePagerLabel, u"Pager", u"Пейджер"},
        {kABPersonPhoneHomeFAXLabel, u"Home fax", u"Домашний факс"},
        {kABPersonPhoneWorkFAXLabel, u"Work fax", u"Рабочий факс"},
        {kABPersonPhoneOtherFAXLabel, u"Fax", u"Факс"},
    };
    for (const Kind &kind : kinds) {
        if (label == kind.label)
            return text(kind.english, kind.russian);
    }
    return label;
}

void DialerPadViewController::DisplayPhoneNumberOptions(const QStringList &phoneNumbers,
                                                        const QStringList &phoneLabels)
{
    auto *list = new ContactPhoneNumbers;
    auto *navigation = new UINavigationController;
    navigation->setRootViewController(list);
    list->delegate = this;
    list->arrPhoneNumbers = phoneNumbers;
    for (const QString &label : phoneLabels)
        list->arrPhoneLabels.append(phoneLabelText(label));
    presentModalViewController(navigation, true);
}

void DialerPadViewController::phoneNumberSelected(const QString &phoneNumber)
{
    lblNumberField->setText(phoneNumber);
}
