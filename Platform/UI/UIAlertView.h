#pragma once

#include <QMessageBox>
#include <QPointer>
#include <QStringList>

class UIAlertView;

class UIAlertViewDelegate
{
public:
    virtual ~UIAlertViewDelegate() = default;
    virtual void clickedButtonAtIndex(UIAlertView *alertView, int buttonIndex) = 0;
};

// A non-blocking alert over the application's window. Buttons are indexed the cancel button
// first (when there is one), then the others in order; the pressed index goes to the delegate,
// and the alert closes itself.
class UIAlertView : public QMessageBox
{
    Q_OBJECT

public:
    UIAlertView(const QString &title, const QString &message, UIAlertViewDelegate *delegate,
                const std::optional<QString> &cancelButtonTitle,
                const QStringList &otherButtonTitles);

    void show();
    int numberOfButtons() const { return int(buttonsInOrder.size()); }
    QString buttonTitleAtIndex(int index) const;
    // Presses a button as a tap would.
    void dismissWithClickedButtonIndex(int index);

    // The alerts on screen now, oldest first.
    static QList<UIAlertView *> visibleAlerts();

private:
    void buttonPressed(QAbstractButton *button);

    UIAlertViewDelegate *delegate;
    QPointer<QObject> delegateObject;
    bool delegateIsObject;
    QList<QAbstractButton *> buttonsInOrder;
};
