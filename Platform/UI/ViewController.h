#pragma once

#include <QPointer>
#include <QWidget>

// A screen's controller and its view in one widget. The view's content is built on first use
// (loadView, then viewDidLoad, exactly once); the container that shows or hides the screen
// runs the appearance calls around it.
class ViewController : public QWidget
{
    Q_OBJECT

public:
    explicit ViewController(QWidget *parent = nullptr);

    // The screen's view, built on first call.
    QWidget *view();
    bool isViewLoaded() const { return viewLoaded; }

    // Find a descendant view by its integer tag.
    QWidget *viewWithTag(int tag);

    // The screen's title, shown by the navigation bar that presents it.
    void setTitle(const QString &title) { setWindowTitle(title); }
    QString title() const { return windowTitle(); }
    // The navigation stack this screen is on, if any.
    class UINavigationController *navigationController() const;

    // Shows a screen over the whole window until it is dismissed; the presented screen then
    // belongs to the presentation and is deleted when it goes. This screen disappears meanwhile.
    void presentModalViewController(ViewController *screen, bool animated);
    // Called on the presenting screen, or on any screen inside the presented one.
    void dismissModalViewControllerAnimated(bool animated);
    ViewController *modalViewController() const { return presented; }

    static constexpr int modalMilliseconds = 250;

    virtual void viewDidLoad() {}
    virtual void viewWillAppear(bool animated) { Q_UNUSED(animated) }
    virtual void viewDidAppear(bool animated) { Q_UNUSED(animated) }
    virtual void viewWillDisappear(bool animated) { Q_UNUSED(animated) }
    virtual void viewDidDisappear(bool animated) { Q_UNUSED(animated) }

protected:
    // Builds the view's content; screens with a layout set it up here.
    virtual void loadView() {}

    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    ViewController *modalPresenter();

    bool viewLoaded = false;
    QPointer<ViewController> presented;
    QPointer<ViewController> presenter;
};

// Tags are integer properties on widgets, looked up through descendants.
void setViewTag(QWidget *view, int tag);
int viewTag(const QWidget *view);
QWidget *viewWithTag(QWidget *root, int tag);
