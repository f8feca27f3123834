#include "CallLogViewController.h"
#include "ContactPhoneNumbers.h"
#include "DialerPadViewController.h"
#include "Platform/Files/PropertyList.h"
#include "Platform/UI/TabBarController.h"
#include "Platform/UI/UINavigationBar.h"
#include "Platform/UI/UINavigationController.h"
#include "Platform/UI/UITableViewCell.h"
#include "support/CallLogFiles.h"
#include "support/DialPadScreen.h"
#include "support/LaunchedApplication.h"
#include "support/RecordingBackend.h"
#include "support/TestMain.h"

#include <QLabel>

namespace {
const QString markup = QStringLiteral("<b>123</b>");

// Whether the label shows its text as the characters they are, never as markup.
bool showsLiterally(const QLabel *label)
{
    return label->text() == markup &&
           (label->textFormat() == Qt::PlainText ||
            (label->textFormat() == Qt::AutoText && !Qt::mightBeRichText(label->text())));
}
} // namespace

// Numbers and their labels from the call log and the address book, and the network's replies,
// come from outside: "<b>123</b>" is shown as those eleven characters.
class UntrustedTextTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<LaunchedApplication> app;
    RecordingBackend *modem = nullptr;

    DialerPadViewController *dialPad() const { return app->delegate()->dialerPadViewController; }

private Q_SLOTS:
    void init()
    {
        QVERIFY(WritePropertyListAtomically(callLogPath(), callLogOf({markup})));
        app = std::make_unique<LaunchedApplication>();
        modem = RecordingBackend::install();
    }

    void cleanup() { app.reset(); }

    void loggedNumber()
    {
        app->delegate()->mainTab->setSelectedIndex(1);
        auto *recent =
            qobject_cast<CallLogViewController *>(app->delegate()->mainTab->currentWidget());
        QVERIFY(showsLiterally(recent->tblCallLog->visibleCells().value(0)->textLabel()));
    }

    void pickedNumberOnTheDialPadAndInTheNumberList()
    {
        dialPad()->phoneNumberSelected(markup);
        QVERIFY(showsLiterally(DialPadScreen(dialPad()).number));

        // A label of the card's own, and the person's name over the list, are shown as they are
        // too.
        dialPad()->DisplayPhoneNumberOptions({markup}, {markup}, markup);
        auto *navigation = qobject_cast<UINavigationController *>(dialPad()->modalViewController());
        auto *list = qobject_cast<ContactPhoneNumbers *>(navigation->topViewController());
        UITableViewCell *row = list->tableView()->cellForRowAtIndexPath({0, 0});
        QVERIFY(showsLiterally(row->textLabel()));
        QVERIFY(showsLiterally(row->detailTextLabel()));
        QVERIFY(showsLiterally(navigation->navigationBar()->findChild<QLabel *>()));
    }

    void operatorReply()
    {
        Q_EMIT modem->networkReply(markup);
        QVERIFY(showsLiterally(DialPadScreen(dialPad()).status));
    }
};

MOLVANE_TEST_MAIN(UntrustedTextTest)
#include "tst_UntrustedText.moc"
