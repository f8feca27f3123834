#include "ContactNumberPicking.h"

#include "ABContact.h"
#include "OwnContactsCopyOffer.h"
#include "Platform/AddressBook/ABProperties.h"
#include "Platform/AddressBook/ABStore.h"
#include "Platform/UI/UINavigationController.h"

ContactNumberPicking::ContactNumberPicking(ViewController *presenter, Localizer text)
    : QObject(presenter), presenter(presenter), text(std::move(text))
{
    numberListDelay.setObjectName(QStringLiteral("PhoneNumberOptionsDelay"));
    numberListDelay.setSingleShot(true);
    numberListDelay.setInterval(phoneNumberOptionsDelayMilliseconds);
    connect(&numberListDelay, &QTimer::timeout, this,
            [this] { DisplayPhoneNumberOptions(listedNumbers, listedLabels); });
}

void ContactNumberPicking::start()
{
    auto *picker = new ABPeoplePickerNavigationController;
    picker->setPeoplePickerDelegate(this);
    picker->setTexts(pickerTexts());
    presenter->presentModalViewController(picker, true);
    OwnContactsCopyOffer::askIfDue(text, this);
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

bool ContactNumberPicking::shouldContinueAfterSelectingPerson(ABPeoplePickerNavigationController *,
                                                              const ABRecordRef &person)
{
    const ABContactRef contact = ABContact::contactWithRecord(person);
    const QStringList phoneNumbers = contact->phoneArray().value_or(QStringList());
    presenter->dismissModalViewControllerAnimated(false);
    if (phoneNumbers.size() == 1) {
        Q_EMIT numberPicked(phoneNumbers.first());
    } else if (phoneNumbers.size() > 1) {
        listedNumbers = phoneNumbers;
        listedLabels = contact->phoneLabels();
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
    for (const Kind &kind : kinds) {
        if (label == kind.label)
            return text(kind.english, kind.russian);
    }
    return label;
}

void ContactNumberPicking::DisplayPhoneNumberOptions(const QStringList &phoneNumbers,
                                                     const QStringList &phoneLabels)
{
    auto *list = new ContactPhoneNumbers;
    auto *navigation = new UINavigationController;
    navigation->setRootViewController(list);
    list->delegate = this;
    list->arrPhoneNumbers = phoneNumbers;
    for (const QString &label : phoneLabels)
        list->arrPhoneLabels.append(phoneLabelText(label));
    presenter->presentModalViewController(navigation, true);
}

void ContactNumberPicking::phoneNumberSelected(const QString &phoneNumber)
{
    Q_EMIT numberPicked(phoneNumber);
}
