#pragma once

#include "Platform/UI/ViewController.h"

#include <memory>

namespace Ui {
class AboutViewController;
}

// What Molvane is, its version, the telephony in use and its licence.
class AboutViewController : public ViewController
{
    Q_OBJECT

public:
    explicit AboutViewController(QWidget *parent = nullptr);
    ~AboutViewController() override;

    void viewDidLoad() override;
    void viewWillAppear(bool animated) override;

    // The text shown, as plain text for readers and tests.
    QString contentText() const;

Q_SIGNALS:
    // The user asked for the Help screen.
    void helpRequested();

protected:
    void loadView() override;

private:
    void showContent();

    std::unique_ptr<Ui::AboutViewController> ui;
};
