#pragma once

#include <QWidget>

class OngoingCall;
class QLabel;
class QPushButton;
class QTimer;

// The connected call's strip on the dial pad: who is on the line and for how long, and the
// keys to hang up, to switch to the speaker and to mute. It shows only while a call is up.
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

private:
    void buildControls();
    void showCall();
    void showDuration();
    static QPushButton *makeButton(QWidget *parent, const char *objectName, bool toggles);

    OngoingCall &call;
    QTimer *clock = nullptr;
};
