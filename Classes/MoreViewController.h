#pragma once

#include "Platform/UI/UITableView.h"
#include "Platform/UI/ViewController.h"

#include <QVariantList>

class AboutViewController;
class HelpViewController;

// The More tab's menu; its one entry opens the About screen on the tab's navigation stack.
class MoreViewController : public ViewController,
                           public UITableViewDataSource,
                           public UITableViewDelegate
{
    Q_OBJECT

public:
    explicit MoreViewController(QWidget *parent = nullptr);

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    void LoadMoreItemsToArray();
    QString GetTitleOfMoreItemsAtIndex(int index) const;
    QString GetImageOfMoreItemsAtIndex(int index) const;
    void DisplayAboutView();
    void DisplayHelpView();

    int numberOfRowsInSection(UITableView *tableView, int section) override;
    UITableViewCell *cellForRowAtIndexPath(UITableView *tableView,
                                           const NSIndexPath &indexPath) override;
    void didSelectRowAtIndexPath(UITableView *tableView, const NSIndexPath &indexPath) override;

    UITableView *tableView() const { return table; }

    QVariantList arrMoreItems;
    AboutViewController *objAboutViewController = nullptr;
    HelpViewController *objHelpViewController = nullptr;

protected:
    void loadView() override;

private:
    void pushInTheScreensLanguage(ViewController *screen);
    UITableView *table = nullptr;
};
