#include "SettingViewController.h"

#include "MolvaneAppDelegate.h"
#include "Platform/UI/UINavigationBar.h"
#include "Platform/UI/UISegmentedControl.h"
#include "Platform/UI/UISwitch.h"
#include "Preferences.h"
#include "ui_SettingViewController.h"

#include <QLabel>

namespace {
const QString switchCellIdentifier = QStringLiteral("SwitchCell");
const QString languageCellIdentifier = QStringLiteral("LanguageCell");
constexpr int autoAnswerSection = 0;
constexpr int keypadToneSection = 1;
constexpr int languageSection = 2;
constexpr int defaultCallbackDelay = 20;

void setCaption(UITableViewCell *cell, const QString &caption)
{
    cell->textLabel()->setText(caption);
    if (auto *control = cell->contentView()->findChild<UISwitch *>())
        control->setAccessibleName(caption);
}
} // namespace

// Everything a translation puts on the screen, in one language.
struct SettingViewController::ScreenTexts
{
    QString language;
    QString title;
    QString waitForCallbackDelay;
    QString autoAnswer;
    QString keypadTone;
    QString selectLanguage;
    QString englishSegment;
    QString russianSegment;
    int selectedSegment;
};

SettingViewController::SettingViewController(QWidget *parent) : ViewController(parent) {}

SettingViewController::~SettingViewController() = default;

void SettingViewController::loadView()
{
    ui = std::make_unique<Ui::SettingViewController>();
    ui->setupUi(this);
    ui->navigationBar->followTitleOf(this);
    tblSettings = ui->tblSettings;
    lblEnableDisableTone = ui->lblEnableDisableTone;
    lblWaitForCallBackDelay = ui->lblWaitForCallBackDelay;
    tblSettings->setDataSource(this);
    tblSettings->setDelegate(this);
}

void SettingViewController::viewDidLoad()
{
    appDelegate = MolvaneAppDelegate::shared();
    arrCallBackDelay = {QStringLiteral("10"), QStringLiteral("20"), QStringLiteral("30")};
    lblEnableDisableTone->setAutoFillBackground(false);
}

void SettingViewController::viewWillAppear(bool)
{
    if (Preferences::shared().callbackDelay() == 0)
        Preferences::shared().setCallbackDelay(defaultCallbackDelay);
    tblSettings->reloadData();
    ViewController::viewWillAppear(true);
}

void SettingViewController::viewDidAppear(bool)
{
    if (MolvaneAppDelegate::isEnglish(appDelegate->g_strCurrentLenguage))
        TranslateScreenToEnglish();
    else
        TranslateScreenToRussian();
    ViewController::viewDidAppear(true);
}

int SettingViewController::numberOfSectionsInTableView(UITableView *)
{
    return 3;
}

int SettingViewController::numberOfRowsInSection(UITableView *, int section)
{
    return section >= autoAnswerSection && section <= languageSection ? 1 : 0;
}

qreal SettingViewController::heightForRowAtIndexPath(UITableView *, const NSIndexPath &indexPath)
{
    return indexPath.section == languageSection ? 96.0 : 52.0;
}

UITableViewCell *SettingViewController::cellForRowAtIndexPath(UITableView *tableView,
                                                              const NSIndexPath &indexPath)
{
    const bool isSwitchRow = indexPath.section != languageSection;
    const QString identifier = isSwitchRow ? switchCellIdentifier : languageCellIdentifier;
    UITableViewCell *cell = tableView->dequeueReusableCellWithIdentifier(identifier);
    if (!cell)
        cell = new UITableViewCell(UITableViewCellStyleDefault, identifier);
    if (isSwitchRow)
        buildSwitchRow(cell, indexPath.section);
    else
        buildLanguageRow(cell);
    return cell;
}

// One switch per row, its state read from the store at every build.
void SettingViewController::buildSwitchRow(UITableViewCell *cell, int section)
{
    const bool isToneRow = section == keypadToneSection;
    auto *control = cell->contentView()->findChild<UISwitch *>();
    if (!control) {
        control = new UISwitch(cell->contentView());
        control->setGeometry(230, 4, 64, 44);
        UITableViewCell::setFlexibleLeftMargin(control);
    }
    disconnect(control, &UISwitch::valueChanged, this, nullptr);
    if (isToneRow)
        connect(control, &UISwitch::valueChanged, this, &SettingViewController::enableDisableTone);
    else
        connect(control, &UISwitch::valueChanged, this, &SettingViewController::enableAutoanswer);
    control->setOn(isToneRow ? Preferences::shared().keypadTones()
                             : Preferences::shared().autoAnswer());
    setCaption(cell, isToneRow ? appDelegate->localizedText(QStringLiteral("Enable keypad tone:"),
                                                            QStringLiteral("Звук клавиатуры:"))
                               : appDelegate->localizedText(QStringLiteral("Autoanswer"),
                                                            QStringLiteral("Автоответчик")));
}

// The caption and the language control are made once; translations relabel them after.
void SettingViewController::buildLanguageRow(UITableViewCell *cell)
{
    if (!::viewWithTag(cell->contentView(), languageCaptionTag)) {
        auto *caption = new QLabel(cell->contentView());
        caption->setGeometry(10, 7, 150, 20);
        caption->setAutoFillBackground(false);
        caption->setText(appDelegate->localizedText(QStringLiteral("Select Language:"),
                                                    QStringLiteral("Выберите язык:")));
        QFont bold = caption->font();
        bold.setBold(true);
        bold.setPointSizeF(12);
        caption->setFont(bold);
        setViewTag(caption, languageCaptionTag);
        caption->show();
    }
    if (!::viewWithTag(cell, languageControlTag)) {
        const bool english = MolvaneAppDelegate::isEnglish(appDelegate->g_strCurrentLenguage);
        auto *languages = new UISegmentedControl(
            english ? QStringList{QStringLiteral("English"), QStringLiteral("Russian")}
                    : QStringList{QStringLiteral("Английский"), QStringLiteral("Русский")},
            cell);
        languages->setGeometry(25, 40, 270, 44);
        languages->setSelectedSegmentIndex(english ? 0 : 1);
        setViewTag(languages, languageControlTag);
        connect(languages, &UISegmentedControl::valueChanged, this,
                &SettingViewController::onSegmentedControlChanged);
        UITableViewCell::setFlexibleWidth(languages);
        languages->show();
    }
}

void SettingViewController::didSelectRowAtIndexPath(UITableView *tableView,
                                                    const NSIndexPath &indexPath)
{
    tableView->deselectRowAtIndexPath(indexPath, true);
    // A switch's whole row is its target, not only the switch.
    if (UITableViewCell *cell = tableView->cellForRowAtIndexPath(indexPath))
        if (auto *control = cell->contentView()->findChild<UISwitch *>())
            control->toggle();
}

void SettingViewController::enableAutoanswer(UISwitch *sender)
{
    Preferences::shared().setAutoAnswer(sender->isOn());
}

void SettingViewController::enableDisableTone(UISwitch *sender)
{
    Preferences::shared().setKeypadTones(sender->isOn());
}

void SettingViewController::onSegmentedControlChanged(UISegmentedControl *sender)
{
    if (sender->selectedSegmentIndex() == 0)
        TranslateScreenToEnglish();
    else
        TranslateScreenToRussian();
}

void SettingViewController::TranslateScreenToEnglish()
{
    translateScreen({QStringLiteral("english"), QStringLiteral("Settings"),
                     QStringLiteral("Wait for callback delay"), QStringLiteral("Autoanswer"),
                     QStringLiteral("Enable Keypad tone:"), QStringLiteral("Select Language:"),
                     QStringLiteral("English"), QStringLiteral("Russian"), 0});
    appDelegate->TranslateScreenToEnglish();
}

void SettingViewController::TranslateScreenToRussian()
{
    translateScreen({QStringLiteral("russian"), QStringLiteral("Настройки"),
                     QStringLiteral("Ждать до окончания задержки перед вызовом"),
                     QStringLiteral("Автоответчик"), QStringLiteral("Звук клавиатуры:"),
                     QStringLiteral("Выберите язык:"), QStringLiteral("Английский"),
                     QStringLiteral("Русский"), 1});
    appDelegate->TranslateScreenToRussian();
}

// Rows out of view have no cell; they are captioned in the new language when they come in.
void SettingViewController::translateScreen(const ScreenTexts &texts)
{
    appDelegate->setCurrentLanguage(texts.language);
    setTitle(texts.title);
    lblWaitForCallBackDelay->setText(texts.waitForCallbackDelay);
    if (UITableViewCell *cell = tblSettings->cellForRowAtIndexPath({autoAnswerSection, 0}))
        setCaption(cell, texts.autoAnswer);
    if (UITableViewCell *cell = tblSettings->cellForRowAtIndexPath({keypadToneSection, 0}))
        setCaption(cell, texts.keypadTone);
    if (UITableViewCell *cell = tblSettings->cellForRowAtIndexPath({languageSection, 0})) {
        if (auto *caption =
                qobject_cast<QLabel *>(::viewWithTag(cell->contentView(), languageCaptionTag)))
            caption->setText(texts.selectLanguage);
        if (auto *languages =
                qobject_cast<UISegmentedControl *>(::viewWithTag(cell, languageControlTag))) {
            languages->setSelectedSegmentIndex(texts.selectedSegment);
            languages->setTitleForSegmentAtIndex(texts.englishSegment, 0);
            languages->setTitleForSegmentAtIndex(texts.russianSegment, 1);
        }
    }
}
