#include "AboutViewController.h"

#include "MolvaneAppDelegate.h"
#include "Platform/AddressBook/ABStore.h"
#include "Platform/Telephony/SimulatedOperator.h"
#include "Platform/Telephony/TelephonyService.h"
#include "ui_AboutViewController.h"

#include <QTextDocumentFragment>

namespace {
// Named without opening it: the screen must not wait for the phone's address book.
QString addressBookName(const MolvaneAppDelegate *delegate)
{
    switch (ABStore::chosenKind()) {
    case ABStoreKind::PhoneBook:
        return delegate->localizedText(
            QStringLiteral("the phone's address book (Evolution Data Server)"),
            QStringLiteral("адресная книга телефона (Evolution Data Server)"));
    case ABStoreKind::VCardFolder:
        return delegate->localizedText(QStringLiteral("the Plasma contacts folder"),
                                       QStringLiteral("папка контактов Plasma"));
    case ABStoreKind::SQLite:
        break;
    }
    return delegate->localizedText(QStringLiteral("Molvane's own file"),
                                   QStringLiteral("собственный файл Molvane"));
}
} // namespace

AboutViewController::AboutViewController(QWidget *parent) : ViewController(parent) {}

AboutViewController::~AboutViewController() = default;

void AboutViewController::loadView()
{
    ui = std::make_unique<Ui::AboutViewController>();
    ui->setupUi(this);
    connect(ui->btnHelp, &QPushButton::clicked, this, &AboutViewController::helpRequested);
    // The backend can change while the screen is shown, when a modem comes or goes.
    connect(&TelephonyService::shared(), &TelephonyService::backendChanged, this,
            &AboutViewController::showContent);
}

void AboutViewController::viewDidLoad()
{
    setTitle(QStringLiteral("About"));
}

void AboutViewController::viewWillAppear(bool)
{
    setTitle(MolvaneAppDelegate::shared()->localizedText(QStringLiteral("About"),
                                                         QStringLiteral("О программе")));
    showContent();
    ViewController::viewWillAppear(true);
}

void AboutViewController::showContent()
{
    const MolvaneAppDelegate *delegate = MolvaneAppDelegate::shared();
    // The services' names are names; the simulation is told in the screen's language.
    QString backend = TelephonyService::shared().backend().name();
    if (backend == SimulatedOperator::operatorName())
        backend = delegate->localizedText(backend, QStringLiteral("Имитация оператора"));
    const QString addressBook = addressBookName(delegate);
    const QString version = QStringLiteral(MOLVANE_VERSION);
    ui->lblContent->setText(delegate->localizedText(
        QStringLiteral("<h2>Molvane %1</h2>"
                       "<p>Asks your operator to call you back. Type a number and press the call "
                       "key: Molvane sends the operator's callback code, keeps the request under "
                       "Recent, and with auto-answer on picks up the callback by itself.</p>"
                       "<p><b>Telephony:</b> %2</p>"
                       "<p><b>Address book:</b> %3</p>"
                       "<p><b>Licence:</b> GNU General Public License, version 3 or later. "
                       "Molvane is free software: you may use, share and change it under "
                       "that licence. It comes with no warranty.</p>")
            .arg(version, backend.toHtmlEscaped(), addressBook.toHtmlEscaped()),
        QStringLiteral("<h2>Molvane %1</h2>"
                       "<p>Просит оператора перезвонить вам. Наберите номер и нажмите кнопку "
                       "вызова: Molvane отправит оператору код обратного звонка, сохранит запрос "
                       "в «Последних», а при включённом автоответчике сам примет звонок.</p>"
                       "<p><b>Телефония:</b> %2</p>"
                       "<p><b>Адресная книга:</b> %3</p>"
                       "<p><b>Лицензия:</b> GNU General Public License версии 3 или более "
                       "поздней. Molvane — свободная программа: её можно использовать, "
                       "распространять и изменять на условиях этой лицензии. Без каких-либо "
                       "гарантий.</p>")
            .arg(version, backend.toHtmlEscaped(), addressBook.toHtmlEscaped())));
    ui->btnHelp->setText(delegate->localizedText(QStringLiteral("How to use Molvane"),
                                                 QStringLiteral("Как пользоваться Molvane")));
    ui->btnHelp->setAccessibleName(ui->btnHelp->text());
}

QString AboutViewController::contentText() const
{
    return QTextDocumentFragment::fromHtml(ui->lblContent->text()).toPlainText();
}
