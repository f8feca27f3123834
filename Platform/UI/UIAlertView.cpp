#include "Platform/UI/UIAlertView.h"

#include <QAbstractButton>
#include <QApplication>
#include <QPushButton>

namespace {
QWidget *applicationWindow()
{
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (window->isVisible() && !qobject_cast<QMessageBox *>(window))
            return window;
    }
    return nullptr;
}
} // namespace

UIAlertView::UIAlertView(const QString &title, const QString &message,
                         UIAlertViewDelegate *delegate,
                         const std::optional<QString> &cancelButtonTitle,
                         const QStringList &otherButtonTitles)
    : QMessageBox(applicationWindow()), delegate(delegate),
      delegateObject(dynamic_cast<QObject *>(delegate)), delegateIsObject(delegateObject)
{
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowModality(Qt::WindowModal);
    setWindowTitle(title);
    setText(title);
    setInformativeText(message);
    setAccessibleName(title);
    setAccessibleDescription(message);
    if (cancelButtonTitle)
        buttonsInOrder << addButton(*cancelButtonTitle, QMessageBox::RejectRole);
    for (const QString &buttonTitle : otherButtonTitles)
        buttonsInOrder << addButton(buttonTitle, QMessageBox::AcceptRole);
    connect(this, &QMessageBox::buttonClicked, this, &UIAlertView::buttonPressed);
}

void UIAlertView::show()
{
    open();
}

QString UIAlertView::buttonTitleAtIndex(int index) const
{
    return buttonsInOrder.value(index) ? buttonsInOrder.at(index)->text() : QString();
}

void UIAlertView::dismissWithClickedButtonIndex(int index)
{
    if (QAbstractButton *button = buttonsInOrder.value(index))
        button->click();
}

void UIAlertView::buttonPressed(QAbstractButton *button)
{
    const int index = int(buttonsInOrder.indexOf(button));
    // A delegate that is gone hears nothing.
    const bool delegateGone = delegateIsObject && delegateObject.isNull();
    if (delegate && !delegateGone && index >= 0)
        delegate->clickedButtonAtIndex(this, index);
}

QList<UIAlertView *> UIAlertView::visibleAlerts()
{
    QList<UIAlertView *> alerts;
    const auto windows = QApplication::topLevelWidgets();
    for (QWidget *window : windows) {
        if (auto *alert = qobject_cast<UIAlertView *>(window); alert && alert->isVisible())
            alerts << alert;
    }
    return alerts;
}
