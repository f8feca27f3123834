#pragma once

#include "CallLogEntry.h"
#include "Platform/UI/UIAlertView.h"
#include "Platform/UI/UITableView.h"
#include "Platform/UI/ViewController.h"

#include <memory>

class EmptyStateView;
class MolvaneAppDelegate;
class QPushButton;
namespace Ui {
class CallLogViewController;
}

// The Recent tab: the logged requests, oldest first, each with a button that asks again; with
// none, a line that says so.
class CallLogViewController : public ViewController,
                              public UITableViewDataSource,
                              public UITableViewDelegate,
                              public UIAlertViewDelegate
{
    Q_OBJECT

public:
    explicit CallLogViewController(QWidget *parent = nullptr);
    ~CallLogViewController() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

    int numberOfRowsInSection(UITableView *tableView, int section) override;
    qreal heightForRowAtIndexPath(UITableView *tableView, const NSIndexPath &indexPath) override;
    UITableViewCell *cellForRowAtIndexPath(UITableView *tableView,
                                           const NSIndexPath &indexPath) override;
    void didSelectRowAtIndexPath(UITableView *tableView, const NSIndexPath &indexPath) override;

    // Asks for the number of the sender's row to be requested again (callAgainRequested).
    void CallNow(QWidget *sender);
    void ClearCallLog(QObject *sender = nullptr);
    void clickedButtonAtIndex(UIAlertView *alertView, int buttonIndex) override;

    CallLog arrCallLog;
    MolvaneAppDelegate *appDelegate = nullptr;
    QPushButton *btnClearCallLog = nullptr;
    UITableView *tblCallLog = nullptr;
    EmptyStateView *vwEmptyLog = nullptr;

Q_SIGNALS:
    void callAgainRequested(const QString &number);

protected:
    void loadView() override;

private:
    void showCallLog(const std::optional<CallLog> &callLog);

    std::unique_ptr<Ui::CallLogViewController> ui;
};
