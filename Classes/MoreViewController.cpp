#include "MoreViewController.h"

#include "AboutViewController.h"
#include "HelpViewController.h"
#include "MolvaneAppDelegate.h"
#include "Platform/UI/UINavigationBar.h"
#include "Platform/UI/UINavigationController.h"

#include <QLabel>
#include <QToolButton>
#include <QVBoxLayout>

namespace {
const QString cellIdentifier = QStringLiteral("Cell");
constexpr int aboutRow = 0;
constexpr int helpRow = 1;
} // namespace

MoreViewController::MoreViewController(QWidget *parent) : ViewController(parent) {}

void MoreViewController::loadView()
{
    table = new UITableView(this);
    table->setAccessibleName(QStringLiteral("More"));
    auto *column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->addWidget(table);
    table->setDataSource(this);
    table->setDelegate(this);
}

void MoreViewController::viewDidLoad()
{
    LoadMoreItemsToArray();
    table->reloadData();
}

void MoreViewController::viewWillAppear(bool animated)
{
    table->reloadData();
    setTitle(MolvaneAppDelegate::shared()->localizedText(QStringLiteral("More"),
                                                         QStringLiteral("Подробнее")));
    ViewController::viewWillAppear(animated);
}

void MoreViewController::LoadMoreItemsToArray()
{
    arrMoreItems = {QVariantMap{{QStringLiteral("title"), QStringLiteral("About")},
                                {QStringLiteral("image"), QString()}}};
}

QString MoreViewController::GetTitleOfMoreItemsAtIndex(int index) const
{
    if (index != aboutRow)
        return QString();
    return MolvaneAppDelegate::shared()->localizedText(QStringLiteral("About"),
                                                       QStringLiteral("О программе"));
}

QString MoreViewController::GetImageOfMoreItemsAtIndex(int index) const
{
    return arrMoreItems.value(index).toMap().value(QStringLiteral("image")).toString();
}

// The bar's back button is spoken in the language of the screens it leads back through.
void MoreViewController::pushInTheScreensLanguage(ViewController *screen)
{
    navigationController()->navigationBar()->backButton()->setAccessibleName(
        MolvaneAppDelegate::shared()->localizedText(QStringLiteral("Back"),
                                                    QStringLiteral("Назад")));
    navigationController()->pushViewController(screen, true);
}

void MoreViewController::DisplayAboutView()
{
    pushInTheScreensLanguage(objAboutViewController);
}

void MoreViewController::DisplayHelpView()
{
    pushInTheScreensLanguage(objHelpViewController);
}

int MoreViewController::numberOfRowsInSection(UITableView *, int)
{
    return int(arrMoreItems.size());
}

UITableViewCell *MoreViewController::cellForRowAtIndexPath(UITableView *tableView,
                                                           const NSIndexPath &indexPath)
{
    UITableViewCell *cell = tableView->dequeueReusableCellWithIdentifier(cellIdentifier);
    if (!cell)
        cell = new UITableViewCell(UITableViewCellStyleDefault, cellIdentifier);
    cell->textLabel()->setText(GetTitleOfMoreItemsAtIndex(indexPath.row));
    cell->setAccessibleName(cell->textLabel()->text());
    cell->setAccessoryType(UITableViewCellAccessoryDisclosureIndicator);
    return cell;
}

void MoreViewController::didSelectRowAtIndexPath(UITableView *tableView,
                                                 const NSIndexPath &indexPath)
{
    tableView->deselectRowAtIndexPath(indexPath, true);
    if (indexPath.row == aboutRow)
        DisplayAboutView();
    else if (indexPath.row == helpRow)
        DisplayHelpView();
}
