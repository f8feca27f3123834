#include "ContactNumberPicking.h"

#include "ABContact.h"
#include "OwnContactsCopyOffer.h"
#include "Platform/AddressBook/ABProperties.h"
#include "Platform/AddressBook/ABStore.h"
#include "Platform/UI/UINavigationBar.h"
#include "Platform/UI/UINavigationController.h"

#include <QLineEdit>
#include <QSet>
#include <QToolButton>

namespace {
// A number stored without a label is of no particular kind, as a card's number without a type.
QString kindOf(const QString &label)
{
    return label.isEmpty() ? kABOtherLabel : label;
}

// The same number of the same kind twice would make two rows alike; the first one stays.
void dropRepeatedNumbers(QStringList &numbers, QStringList &labels)
{
    QSet<std::pair<QString, QString>> seen;
    QStringList keptNumbers, keptLabels;
    for (qsizetype row = 0; row < numbers.size(); ++row) {
        const QString label = labels.value(row);
        const std::pair<QString, QString> shown{numbers[row], kindOf(label)};
        if (seen.contains(shown))
            continue;
        seen.insert(shown);
        keptNumbers << numbers[row];
        keptLabels << label;
    }
    numbers = keptNumbers;
    labels = keptLabels;
}
} // namespace

ContactNumberPicking::ContactNumberPicking(ViewController *presenter, Localizer text)
    : QObject(presenter), presenter(presenter), text(std::move(text))
{
    numberListDelay.setObjectName(QStringLiteral("PhoneNumberOptionsDelay"));
    numberListDelay.setSingleShot(true);
    numberListDelay.setInterval(phoneNumberOptionsDelayMilliseconds);
    connect(&numberListDelay, &QTimer::timeout, this,
            [this] { DisplayPhoneNumberOptions(listedNumbers, listedLabels, listedPerson); });
}

void ContactNumberPicking::start()
{
    showPicker(QString(), true);
    OwnContactsCopyOffer::askIfDue(text, this);
}

void ContactNumberPicking::showPicker(const QString &search, bool animated)
{
    auto *picker = new ABPeoplePickerNavigationController;
    picker->setPeoplePickerDelegate(this);
    picker->setTexts(pickerTexts());
    presenter->presentModalViewController(picker, animated);
    picker->searchField()->setText(search);
}

// Back from a person's numbers: the people again, found by the search as it was left.
void ContactNumberPicking::backToPicker()
{
    presenter->dismissModalViewControllerAnimated(false);
    showPicker(pickerSearch, false);
}

// An empty book says where people are added on this phone: only Molvane's own file is filled
// from the command line.
ABPeoplePickerNavigationController::Texts ContactNumberPicking::pickerTexts() const
{
    ABPeoplePickerNavigationController::Texts texts;
    texts.title = text(u"Contacts", u"Контакты");
    texts.cancel = text(u"Cancel", u"Отмена");
    texts.search = text(u"Search", u"Поиск");
    texts.noMatches = text(u"No matches", u"Ничего не найдено");
    texts.loading = text(u"Loading contacts…", u"Загрузка контактов…");
    switch (ABStore::chosenKind()) {
    case ABStoreKind::PhoneBook:
        texts.emptyBook = text(u"No contacts yet. Add them in the Contacts app.",
                               u"Контактов пока нет. Добавьте их в приложении «Контакты».");
        texts.unavailable =
            text(u"The phone's address book is not available. Molvane keeps trying.",
                 u"Адресная книга телефона недоступна. Molvane продолжает попытки подключения.");
        break;
    case ABStoreKind::VCardFolder:
        texts.emptyBook = text(u"No contacts yet. Add them in the phone book.",
                               u"Контактов пока нет. Добавьте их в телефонной книге.");
        texts.unavailable =
            text(u"The contacts folder cannot be opened.", u"Не удаётся открыть папку контактов.");
        break;
    case ABStoreKind::SQLite:
        texts.emptyBook = text(u"No contacts yet. Import a vCard file with\n"
                               u"molvane --import-contacts FILE.vcf",
                               u"Контактов пока нет.\nЗагрузите файл vCard командой\n"
                               u"molvane --import-contacts ФАЙЛ.vcf");
        texts.unavailable = text(u"Molvane's address book file cannot be opened.",
                                 u"Не удаётся открыть файл адресной книги Molvane.");
        break;
    }
    return texts;
}

bool ContactNumberPicking::shouldContinueAfterSelectingPerson(
    ABPeoplePickerNavigationController *picker, const ABRecordRef &person)
{
    const ABContactRef contact = ABContact::contactWithRecord(person);
    QStringList phoneNumbers = contact->phoneArray().value_or(QStringList());
    QStringList phoneLabels = contact->phoneLabels();
    dropRepeatedNumbers(phoneNumbers, phoneLabels);
    pickerSearch = picker->searchField()->text();
    presenter->dismissModalViewControllerAnimated(false);
    if (phoneNumbers.size() == 1) {
        Q_EMIT numberPicked(phoneNumbers.first());
    } else if (phoneNumbers.size() > 1) {
        listedNumbers = phoneNumbers;
        listedLabels = phoneLabels;
        listedPerson = contact->compositeName().value_or(QString());
        numberListDelay.start();
    }
    return false;
}

bool ContactNumberPicking::shouldContinueAfterSelectingPerson(ABPeoplePickerNavigationController *,
                                                              const ABRecordRef &, ABPropertyID,
                                                              ABMultiValueIdentifier)
{
    presenter->dismissModalViewControllerAnimated(true);
    return false;
}

void ContactNumberPicking::peoplePickerNavigationControllerDidCancel(
    ABPeoplePickerNavigationController *)
{
    presenter->dismissModalViewControllerAnimated(true);
}

// A number's kind in the screen's language; a label the person's card made up is its own.
QString ContactNumberPicking::phoneLabelText(const QString &label) const
{
    const QString kind = kindOf(label);
    struct Kind
    {
        const QString &label;
        const char16_t *english;
        const char16_t *russian;
    };
    const Kind kinds[] = {
        {kABPersonPhoneMobileLabel, u"Mobile", u"Мобильный"},
        {kABHomeLabel, u"Home", u"Домашний"},
        {kABWorkLabel, u"Work", u"Рабочий"},
        {kABOtherLabel, u"Other", u"Другой"},
        {kABPersonPhoneMainLabel, u"Main", u"Основной"},
        {kABPersonPhonePagerLabel, u"Pager", u"Пейджер"},
        {kABPersonPhoneHomeFAXLabel, u"Home fax", u"Домашний факс"},
        {kABPersonPhoneWorkFAXLabel, u"Work fax", u"Рабочий факс"},
        {kABPersonPhoneOtherFAXLabel, u"Fax", u"Факс"},
    };
    for (const Kind &known : kinds) {
        if (kind == known.label)
            return text(known.english, known.russian);
    }
    return kind;
}

void ContactNumberPicking::DisplayPhoneNumberOptions(const QStringList &phoneNumbers,
                                                     const QStringList &phoneLabels,
                                                     const QString &personName)
{
    auto *list = new ContactPhoneNumbers;
    list->setTitle(personName);
    list->delegate = this;
    list->arrPhoneNumbers = phoneNumbers;
    for (qsizetype row = 0; row < phoneNumbers.size(); ++row)
        list->arrPhoneLabels.append(phoneLabelText(phoneLabels.value(row)));
    auto *navigation = new UINavigationController;
    navigation->setRootViewController(list);
    navigation->setRootBackButtonTitle(pickerTexts().title);
    navigation->navigationBar()->backButton()->setAccessibleName(text(u"Back", u"Назад"));
    connect(navigation, &UINavigationController::rootBackPressed, this,
            &ContactNumberPicking::backToPicker);
    presenter->presentModalViewController(navigation, true);
}

void ContactNumberPicking::phoneNumberSelected(const QString &phoneNumber)
{
    Q_EMIT numberPicked(phoneNumber);
}
