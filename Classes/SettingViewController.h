#pragma once

#include "Platform/UI/UITableView.h"
#include "Platform/UI/ViewController.h"

#include <QStringList>
#include <memory>

class MolvaneAppDelegate;
class QLabel;
class UISegmentedControl;
class UISwitch;
namespace Ui {
class SettingViewController;
}

// The Settings tab: auto-answer, keypad tones and the interface language.
class SettingViewController : public ViewController,
                              public UITableViewDataSource,
                              public UITableViewDelegate
{
    Q_OBJECT

public:
    static constexpr int languageCaptionTag = 11;
    static constexpr int languageControlTag = 22;

    explicit SettingViewController(QWidget *parent = nullptr);
    ~SettingViewController() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;

    int numberOfSectionsInTableView(UITableView *tableView) override;
    int numberOfRowsInSection(UITableView *tableView, int section) override;
    qreal heightForRowAtIndexPath(UITableView *tableView, const NSIndexPath &indexPath) override;
    UITableViewCell *cellForRowAtIndexPath(UITableView *tableView,
                                           const NSIndexPath &indexPath) override;
    void didSelectRowAtIndexPath(UITableView *tableView, const NSIndexPath &indexPath) override;

    void enableAutoanswer(UISwitch *sender);
    void enableDisableTone(UISwitch *sender);
    void onSegmentedControlChanged(UISegmentedControl *sender);
    void TranslateScreenToEnglish();
    void TranslateScreenToRussian();

    UITableView *tblSettings = nullptr;
    QStringList arrCallBackDelay;
    QLabel *lblEnableDisableTone = nullptr;
    QLabel *lblWaitForCallBackDelay = nullptr;
    MolvaneAppDelegate *appDelegate = nullptr;

protected:
    void loadView() override;

private:
    struct ScreenTexts;
    void translateScreen(const ScreenTexts &texts);
    void buildSwitchRow(UITableViewCell *cell, int section);
    void buildLanguageRow(UITableViewCell *cell);

    std::unique_ptr<Ui::SettingViewController> ui;
};
