#include "ContactPhoneNumbers.h"

#include "ui_ContactPhoneNumbers.h"

#include <QLabel>

ContactPhoneNumbers::ContactPhoneNumbers(QWidget *parent) : ViewController(parent) {}

ContactPhoneNumbers::~ContactPhoneNumbers() = default;

void ContactPhoneNumbers::loadView()
{
    ui = std::make_unique<Ui::ContactPhoneNumbers>();
    ui->setupUi(this);
    ui->tableView->setDataSource(this);
    ui->tableView->setDelegate(this);
}

void ContactPhoneNumbers::viewWillAppear(bool animated)
{
    ui->tableView->reloadData();
    ViewController::viewWillAppear(animated);
}

UITableView *ContactPhoneNumbers::tableView() const
{
    return ui ? ui->tableView : nullptr;
}

int ContactPhoneNumbers::numberOfRowsInSection(UITableView *, int)
{
    return int(arrPhoneNumbers.size());
}

UITableViewCell *ContactPhoneNumbers::cellForRowAtIndexPath(UITableView *tableView,
                                                            const NSIndexPath &indexPath)
{
    UITableViewCell *cell = tableView->dequeueReusableCellWithIdentifier(CellIdentifier);
    if (!cell)
        cell = new UITableViewCell(UITableViewCellStyleDefault, CellIdentifier);
    cell->textLabel()->setText(arrPhoneNumbers.value(indexPath.row));
    return cell;
}

void ContactPhoneNumbers::didSelectRowAtIndexPath(UITableView *tableView,
                                                  const NSIndexPath &indexPath)
{
    const QString chosen = arrPhoneNumbers.value(indexPath.row);
    if (delegate)
        delegate->phoneNumberSelected(chosen);
    dismissModalViewControllerAnimated(true);
    tableView->deselectRowAtIndexPath(indexPath, true);
}
