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
        cell = new UITableViewCell(UITableViewCellStyleSubtitle, CellIdentifier);
    const QString number = arrPhoneNumbers.value(indexPath.row);
    const QString label = arrPhoneLabels.value(indexPath.row);
    cell->textLabel()->setText(number);
    cell->detailTextLabel()->setText(label);
    // Without a label the number alone sits in the middle of the row.
    cell->detailTextLabel()->setVisible(!label.isEmpty());
    cell->setAccessibleName(label.isEmpty() ? number : number + QStringLiteral(", ") + label);
    return cell;
}

// Two lines, and room for a thumb.
qreal ContactPhoneNumbers::heightForRowAtIndexPath(UITableView *, const NSIndexPath &)
{
    return 60.0;
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
