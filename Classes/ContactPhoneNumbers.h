#pragma once

#include "Platform/UI/UITableView.h"
#include "Platform/UI/ViewController.h"

#include <QStringList>
#include <memory>

namespace Ui {
class ContactPhoneNumbers;
}

class phoneNumberManagerDelegate
{
public:
    virtual ~phoneNumberManagerDelegate() = default;
    virtual void phoneNumberSelected(const QString &phoneNumber) = 0;
};

// A person's numbers to choose one from, each with its kind; the bar above leads back.
class ContactPhoneNumbers : public ViewController,
                            public UITableViewDataSource,
                            public UITableViewDelegate
{
    Q_OBJECT

public:
    static inline const QString CellIdentifier = QStringLiteral("Cell");

    explicit ContactPhoneNumbers(QWidget *parent = nullptr);
    ~ContactPhoneNumbers() override;

    void viewWillAppear(bool animated) override;

    int numberOfRowsInSection(UITableView *tableView, int section) override;
    UITableViewCell *cellForRowAtIndexPath(UITableView *tableView,
                                           const NSIndexPath &indexPath) override;
    void didSelectRowAtIndexPath(UITableView *tableView, const NSIndexPath &indexPath) override;
    qreal heightForRowAtIndexPath(UITableView *tableView, const NSIndexPath &indexPath) override;

    UITableView *tableView() const;

    QStringList arrPhoneNumbers;
    // Each number's kind (mobile, work...) as the screen says it, or empty.
    QStringList arrPhoneLabels;
    phoneNumberManagerDelegate *delegate = nullptr;

protected:
    void loadView() override;

private:
    std::unique_ptr<Ui::ContactPhoneNumbers> ui;
};
