#pragma once

#include "Platform/UI/ViewController.h"

#include <memory>

namespace Ui {
class HelpViewController;
}

// How to request a callback and what the settings do.
class HelpViewController : public ViewController
{
    Q_OBJECT

public:
    explicit HelpViewController(QWidget *parent = nullptr);
    ~HelpViewController() override;

    void viewWillAppear(bool animated) override;

    // The text shown, as plain text for readers and tests.
    QString contentText() const;

protected:
    void loadView() override;

private:
    std::unique_ptr<Ui::HelpViewController> ui;
};
