#pragma once

#include <QAbstractButton>

// An on/off switch. valueChanged is sent only when the user flips it, never by setOn.
class UISwitch : public QAbstractButton
{
    Q_OBJECT

public:
    explicit UISwitch(QWidget *parent = nullptr);

    void setOn(bool on) { setChecked(on); }
    bool isOn() const { return isChecked(); }
    QSize sizeHint() const override { return {52, 30}; }

Q_SIGNALS:
    void valueChanged(UISwitch *sender);

protected:
    void paintEvent(QPaintEvent *event) override;
};
