#pragma once

#include <QAbstractButton>

// An on/off switch. valueChanged is sent whenever the user flips it (a tap, a key, or its
// accessible Toggle action), never by setOn.
class UISwitch : public QAbstractButton
{
    Q_OBJECT

public:
    explicit UISwitch(QWidget *parent = nullptr);

    void setOn(bool on);
    bool isOn() const { return isChecked(); }
    QSize sizeHint() const override { return {52, 30}; }

Q_SIGNALS:
    void valueChanged(UISwitch *sender);

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    bool settingOn = false;
};
