#include "InCallBar.h"

#include "MolvaneAppDelegate.h"
#include "OngoingCall.h"

#include <QBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimer>

namespace {
constexpr int buttonHeight = 44;
} // namespace

InCallBar::InCallBar(OngoingCall &call, QWidget *parent) : QWidget(parent), call(call)
{
    setObjectName(QStringLiteral("InCallBar"));
    setAttribute(Qt::WA_StyledBackground);
    buildControls();
    clock = new QTimer(this);
    clock->setInterval(1000);
    connect(clock, &QTimer::timeout, this, &InCallBar::showDuration);
    connect(btnHangUp, &QPushButton::clicked, &call, &OngoingCall::hangUp);
    connect(btnSpeaker, &QPushButton::toggled, &call, &OngoingCall::setSpeakerOn);
    connect(btnMute, &QPushButton::toggled, &call, &OngoingCall::setMuted);
    connect(btnAnswer, &QPushButton::clicked, &call, &OngoingCall::answer);
    connect(btnDecline, &QPushButton::clicked, &call, &OngoingCall::decline);
    connect(&call, &OngoingCall::changed, this, &InCallBar::showCall);
    nameControlsInTheScreensLanguage();
    showCall();
}

void InCallBar::buildControls()
{
    lblParty = new QLabel(this);
    // The number comes from the network: never markup.
    lblParty->setTextFormat(Qt::PlainText);
    lblDuration = new QLabel(this);
    lblDuration->setTextFormat(Qt::PlainText);
    btnSpeaker = makeButton(this, "btnSpeaker", true);
    btnMute = makeButton(this, "btnMute", true);
    btnHangUp = makeButton(this, "btnHangUp", false);
    // Answer on the right, under the thumb, as phones place it.
    btnDecline = makeButton(this, "btnDecline", false);
    btnAnswer = makeButton(this, "btnAnswer", false);

    auto *who = new QHBoxLayout;
    who->addWidget(lblParty, 1);
    who->addWidget(lblDuration);
    auto *keys = new QHBoxLayout;
    keys->setSpacing(8);
    for (QPushButton *key : {btnSpeaker, btnMute, btnHangUp, btnDecline, btnAnswer})
        keys->addWidget(key, 1);
    auto *bar = new QVBoxLayout(this);
    bar->setContentsMargins(12, 8, 12, 8);
    bar->setSpacing(6);
    bar->addLayout(who);
    bar->addLayout(keys);
}

QPushButton *InCallBar::makeButton(QWidget *parent, const char *objectName, bool toggles)
{
    auto *button = new QPushButton(parent);
    button->setObjectName(QLatin1String(objectName));
    button->setCheckable(toggles);
    button->setMinimumHeight(buttonHeight);
    button->setFocusPolicy(Qt::NoFocus);
    return button;
}

// The visible text is the accessible name, so a screen reader says what a reader sees.
void InCallBar::nameControlsInTheScreensLanguage()
{
    const MolvaneAppDelegate *delegate = MolvaneAppDelegate::shared();
    const auto name = [delegate](QPushButton *button, const char16_t *english,
                                 const char16_t *russian) {
        button->setText(
            delegate->localizedText(QString::fromUtf16(english), QString::fromUtf16(russian)));
        button->setAccessibleName(button->text());
    };
    name(btnHangUp, u"Hang up", u"Завершить");
    name(btnSpeaker, u"Speaker", u"Динамик");
    name(btnMute, u"Mute", u"Без звука");
    name(btnAnswer, u"Answer", u"Ответить");
    name(btnDecline, u"Decline", u"Отклонить");
    lblDuration->setAccessibleDescription(
        delegate->localizedText(QStringLiteral("Call duration"), QStringLiteral("Длительность")));
    setAccessibleName(delegate->localizedText(QStringLiteral("Call"), QStringLiteral("Звонок")));
}

void InCallBar::showCall()
{
    const auto offered = call.offeredCall();
    const auto connected = call.call();
    setVisible(offered || connected);
    for (QPushButton *key : {btnDecline, btnAnswer})
        key->setVisible(offered.has_value());
    btnHangUp->setVisible(!offered);
    btnSpeaker->setVisible(!offered && call.hasAudioControls());
    btnMute->setVisible(!offered && call.hasAudioControls());
    lblDuration->setVisible(!offered);
    if (!offered && !connected) {
        clock->stop();
        return;
    }
    showParty(offered ? offered->number() : connected->number());
    // The model's state, without a request back to it.
    const QSignalBlocker speakerBlocker(btnSpeaker), muteBlocker(btnMute);
    btnSpeaker->setChecked(call.speakerOn());
    btnMute->setChecked(call.muted());
    showDuration();
    clock->start();
    raise();
}

// A caller who withholds the number still gets a name on the bar.
void InCallBar::showParty(const QString &number)
{
    lblParty->setText(number.isEmpty()
                          ? MolvaneAppDelegate::shared()->localizedText(
                                QStringLiteral("Unknown number"), QStringLiteral("Номер скрыт"))
                          : number);
    lblParty->setAccessibleName(lblParty->text());
}

void InCallBar::showDuration()
{
    const qint64 seconds = call.secondsConnected();
    const QString text =
        seconds >= 3600
            ? QStringLiteral("%1:%2:%3")
                  .arg(seconds / 3600)
                  .arg(seconds / 60 % 60, 2, 10, QLatin1Char('0'))
                  .arg(seconds % 60, 2, 10, QLatin1Char('0'))
            : QStringLiteral("%1:%2").arg(seconds / 60).arg(seconds % 60, 2, 10, QLatin1Char('0'));
    lblDuration->setText(text);
    lblDuration->setAccessibleName(text);
}
