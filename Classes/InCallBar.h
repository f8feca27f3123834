#pragma once

#include <QWidget>

class OngoingCall;
class QLabel;
class QPushButton;
class QTimer;

// The call's strip on the dial pad: who is on the line and for how long, and the keys to hang
// up, to switch to the speaker and to mute; or, while a call offered for answering rings, who
// calls and the keys to answer or decline. It shows only while there is such a call.
class InCallBar : public QWidget
{
    Q_OBJECT

public:
    explicit InCallBar(OngoingCall &call, QWidget *parent = nullptr);

    // Texts and accessible names in the screen's language.
    void nameControlsInTheScreensLanguage();

    QLabel *lblParty = nullptr;
    QLabel *lblDuration = nullptr;
    QPushButton *btnHangUp = nullptr;
    QPushButton *btnSpeaker = nullptr;
    QPushButton *btnMute = nullptr;
    QPushButton *btnDecline = nullptr;
    QPushButton *btnAnswer = nullptr;

private:
    void buildControls();
    void showCall();
    void showParty(const QString &number);
    void showDuration();
    static QPushButton *makeButton(QWidget *parent, const char *objectName, bool toggles);

    OngoingCall &call;
    QTimer *clock = nullptr;
};
