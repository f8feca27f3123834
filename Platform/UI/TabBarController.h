#pragma once

#include "Platform/UI/ViewController.h"

#include <QTabWidget>

// The tab bar at the bottom of the window. Each tab is a ViewController; switching tabs runs
// viewWillDisappear on the old screen, then viewWillAppear and viewDidAppear on the new one,
// with the new screen's view loaded before it first appears.
class TabBarController : public QTabWidget
{
    Q_OBJECT

public:
    explicit TabBarController(QWidget *parent = nullptr);

    ViewController *viewControllerAt(int index) const;
    ViewController *selectedViewController() const;
    int selectedIndex() const { return currentIndex(); }
    void setSelectedIndex(int index) { setCurrentIndex(index); }

    // The title of the tab bar item at index.
    void setItemTitle(int index, const QString &title);
    QString itemTitle(int index) const { return tabText(index); }

protected:
    void showEvent(QShowEvent *event) override;
    void hideEvent(QHideEvent *event) override;

private:
    void selectionWillChange(int newIndex);
    void selectionDidChange(int newIndex);

    int appearedIndex = -1;
};
