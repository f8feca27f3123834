#include "CallLogViewController.h"

#include "CallLogStore.h"
#include "MolvaneAppDelegate.h"
#include "Platform/Log.h"
#include "Platform/UI/EmptyStateView.h"
#include "Platform/UI/UINavigationBar.h"
#include "ui_CallLogViewController.h"

#include <QLabel>
#include <QPushButton>

namespace {
const QString cellIdentifier = QStringLiteral("Cell");
constexpr int clearConfirmed = 0;
} // namespace

CallLogViewController::CallLogViewController(QWidget *parent) : ViewController(parent) {}

CallLogViewController::~CallLogViewController() = default;

void CallLogViewController::loadView()
{
    ui = std::make_unique<Ui::CallLogViewController>();
    ui->setupUi(this);
    ui->navigationBar->followTitleOf(this);
    tblCallLog = ui->tblCallLog;
    btnClearCallLog = ui->btnClearCallLog;
    vwEmptyLog = ui->vwEmptyLog;
    vwEmptyLog->setPicture(EmptyStateView::Picture::Clock);
    tblCallLog->setDataSource(this);
    tblCallLog->setDelegate(this);
    connect(btnClearCallLog, &QPushButton::clicked, this,
            [this] { ClearCallLog(btnClearCallLog); });
}

void CallLogViewController::viewDidLoad()
{
    appDelegate = MolvaneAppDelegate::shared();
    connect(&CallLogStore::shared(), &CallLogStore::changed, this,
            [this](const CallLog &log) { showCallLog(log); });
}

void CallLogViewController::viewWillAppear(bool animated)
{
    ViewController::viewWillAppear(animated);
    setTitle(
        appDelegate->localizedText(QStringLiteral("Call Log"), QStringLiteral("Журнал вызовов")));
    btnClearCallLog->setText(
        appDelegate->localizedText(QStringLiteral("Clear Log"), QStringLiteral("Очистить журнал")));
    btnClearCallLog->setAccessibleName(btnClearCallLog->text());
    vwEmptyLog->setText(appDelegate->localizedText(QStringLiteral("No requests yet"),
                                                   QStringLiteral("Запросов пока нет")));
    showCallLog(CallLogStore::shared().load());
}

// The newest request is last, and is what Recent is opened for.
void CallLogViewController::viewDidAppear(bool animated)
{
    ViewController::viewDidAppear(animated);
    tblCallLog->scrollToRow(tblCallLog->numberOfRows() - 1);
}

// A log that cannot be read shows as an empty one.
void CallLogViewController::showCallLog(const std::optional<CallLog> &callLog)
{
    arrCallLog = callLog.value_or(CallLog());
    tblCallLog->reloadData();
    btnClearCallLog->setHidden(arrCallLog.isEmpty());
    // Over the empty table, which keeps its place for the rows to come.
    vwEmptyLog->setVisible(arrCallLog.isEmpty());
}

int CallLogViewController::numberOfRowsInSection(UITableView *, int)
{
    return int(arrCallLog.size());
}

// The call button, a thumb's 44 points tall, has 8 above and below it.
qreal CallLogViewController::heightForRowAtIndexPath(UITableView *, const NSIndexPath &)
{
    return 60.0;
}

UITableViewCell *CallLogViewController::cellForRowAtIndexPath(UITableView *tableView,
                                                              const NSIndexPath &indexPath)
{
    UITableViewCell *cell = tableView->dequeueReusableCellWithIdentifier(cellIdentifier);
    if (!cell) {
        cell = new UITableViewCell(UITableViewCellStyleSubtitle, cellIdentifier);
        auto *callAgain = new QPushButton(cell->contentView());
        callAgain->setGeometry(239, 8, 56, 44);
        callAgain->setIcon(QIcon(QStringLiteral(":/call_small.png")));
        callAgain->setIconSize(QSize(50, 30));
        callAgain->setFlat(true);
        connect(callAgain, &QPushButton::clicked, this, [this, callAgain] { CallNow(callAgain); });
        UITableViewCell::setFlexibleLeftMargin(callAgain);
    }
    // Reused cells get the row they show now, so each button always names its own row, and the
    // language in use now.
    auto *callAgain = cell->contentView()->findChild<QPushButton *>();
    setViewTag(callAgain, indexPath.row);
    callAgain->setAccessibleName(MolvaneAppDelegate::shared()->localizedText(
        QStringLiteral("Call again"), QStringLiteral("Позвонить снова")));
    const CallLogEntry entry(arrCallLog.value(indexPath.row));
    cell->textLabel()->setText(entry.phoneNumber().value_or(QString()));
    cell->detailTextLabel()->setText(entry.phoneTime().value_or(QString()));
    NSLog(QStringLiteral("The phone detail is %1").arg(cell->detailTextLabel()->text()));
    return cell;
}

void CallLogViewController::didSelectRowAtIndexPath(UITableView *tableView,
                                                    const NSIndexPath &indexPath)
{
    tableView->deselectRowAtIndexPath(indexPath, true);
}

void CallLogViewController::CallNow(QWidget *sender)
{
    NSLog(QStringLiteral("Call now pressed"));
    const CallLogEntry entry(arrCallLog.value(viewTag(sender)));
    Q_EMIT callAgainRequested(entry.phoneNumber().value_or(QString()));
}

void CallLogViewController::ClearCallLog(QObject *)
{
    auto *confirmation = new UIAlertView(
        appDelegate->localizedText(QStringLiteral("Clear log?"),
                                   QStringLiteral("Очистить журнал?")),
        appDelegate->localizedText(
            QStringLiteral(
                "This action will clear the call log! Are you sure you want to continue?"),
            QStringLiteral("Вы уверены, что хотите продолжить?")),
        this, std::nullopt,
        {appDelegate->localizedText(QStringLiteral("YES"), QStringLiteral("ДА")),
         appDelegate->localizedText(QStringLiteral("NO"), QStringLiteral("НЕТ"))});
    confirmation->show();
}

void CallLogViewController::clickedButtonAtIndex(UIAlertView *, int buttonIndex)
{
    if (buttonIndex != clearConfirmed)
        return;
    CallLogStore::shared().clear();
}
