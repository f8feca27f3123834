#pragma once

#include <QWidget>
#include <optional>

class QLabel;
class QShortcut;
class QToolButton;
class ViewController;

// The bar across the top of a screen: its title in the middle and, on a navigation stack, a
// back button on the left, which Escape presses too.
class UINavigationBar : public QWidget
{
    Q_OBJECT

public:
    explicit UINavigationBar(QWidget *parent = nullptr);

    void setTitle(const QString &title);
    QString title() const;
    // Shows the back button, labelled with the screen it returns to; nothing hides it.
    void setBackButtonTitle(const std::optional<QString> &title);
    QToolButton *backButton() const { return back; }
    // A button on the right of the bar, such as "Cancel"; hidden until given a title.
    QToolButton *rightButton() const { return right; }
    void setRightButtonTitle(const QString &title);
    // Keeps the bar's title equal to the screen's, as the screen changes it.
    void followTitleOf(ViewController *screen);

Q_SIGNALS:
    void backPressed();

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    void placeTitle();

    QLabel *titleLabel;
    QString fullTitle;
    QToolButton *back;
    QToolButton *right;
    QShortcut *escape;
    QMetaObject::Connection titleFollower;
};
