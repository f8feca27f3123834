#include "HelpViewController.h"

#include "MolvaneAppDelegate.h"
#include "ui_HelpViewController.h"

#include <QTextDocumentFragment>

HelpViewController::HelpViewController(QWidget *parent) : ViewController(parent) {}

HelpViewController::~HelpViewController() = default;

void HelpViewController::loadView()
{
    ui = std::make_unique<Ui::HelpViewController>();
    ui->setupUi(this);
}

void HelpViewController::viewWillAppear(bool)
{
    const MolvaneAppDelegate *delegate = MolvaneAppDelegate::shared();
    setTitle(delegate->localizedText(QStringLiteral("Help"), QStringLiteral("Помощь")));
    ui->lblContent->setText(delegate->localizedText(
        QStringLiteral(
            "<h3>Requesting a callback</h3>"
            "<p>Type the number on the Dial Pad and press the green call key. Molvane sends your "
            "operator the callback code for it and the operator rings you back.</p>"
            "<h3>International numbers</h3>"
            "<p>Hold the 0 key for a second to type “+”. A number starting with “+” or “00” is "
            "sent as an international request; both give the same code.</p>"
            "<h3>Correcting the number</h3>"
            "<p>The delete key removes the last character. The pencil opens the number for "
            "editing with the keyboard; tap the check mark when done.</p>"
            "<h3>Auto-answer</h3>"
            "<p>Switch on Autoanswer in Settings and the operator's callback is answered by "
            "itself. After a request a “Waiting for Callback...” cover shows for five seconds. "
            "A change takes effect the next time you open the Dial Pad.</p>"
            "<h3>Recent</h3>"
            "<p>Every request is kept under Recent, newest last. Its green button asks for the "
            "callback again; Clear Log empties the list.</p>"
            "<h3>Language</h3>"
            "<p>Choose English or Russian under Settings; the change shows at once.</p>"
            "<h3>Contacts</h3>"
            "<p>The person key on the Dial Pad picks a number from your contacts. To bring "
            "contacts in, run <tt>molvane --import-contacts FILE.vcf</tt>.</p>"),
        QStringLiteral(
            "<h3>Запрос обратного звонка</h3>"
            "<p>Наберите номер на клавиатуре и нажмите зелёную кнопку вызова. Molvane отправит "
            "оператору код обратного звонка, и оператор вам перезвонит.</p>"
            "<h3>Международные номера</h3>"
            "<p>Удерживайте клавишу 0 секунду, чтобы ввести «+». Номер, начинающийся с «+» или "
            "«00», отправляется как международный запрос; оба дают один и тот же код.</p>"
            "<h3>Исправление номера</h3>"
            "<p>Клавиша удаления стирает последний символ. Карандаш открывает номер для правки "
            "с клавиатуры; по окончании нажмите галочку.</p>"
            "<h3>Автоответчик</h3>"
            "<p>Включите «Автоответчик» в настройках, и звонок оператора будет принят "
            "автоматически. После запроса на пять секунд появляется надпись ожидания. "
            "Изменение действует со следующего открытия клавиатуры.</p>"
            "<h3>Последние</h3>"
            "<p>Каждый запрос сохраняется в «Последних», новые внизу. Зелёная кнопка повторяет "
            "запрос; «Очистить журнал» удаляет список.</p>"
            "<h3>Язык</h3>"
            "<p>Выберите английский или русский в настройках; изменение видно сразу.</p>"
            "<h3>Контакты</h3>"
            "<p>Кнопка с человеком на клавиатуре выбирает номер из контактов. Чтобы загрузить "
            "контакты, выполните <tt>molvane --import-contacts ФАЙЛ.vcf</tt>.</p>")));
    ViewController::viewWillAppear(true);
}

QString HelpViewController::contentText() const
{
    return QTextDocumentFragment::fromHtml(ui->lblContent->text()).toPlainText();
}
