#include "OwnContactsCopyOffer.h"

#include "Platform/AddressBook/ABOwnFileCopy.h"
#include "Platform/Log.h"
#include "Preferences.h"

namespace {
constexpr int copyButton = 1; // after the cancel button
} // namespace

void OwnContactsCopyOffer::askIfDue(const Localizer &text, QObject *context)
{
    if (Preferences::shared().ownContactsCopyOffered())
        return;
    const int persons = ABOwnFilePersonCount();
    if (persons == 0)
        return;
    (new OwnContactsCopyOffer(text, context))->ask(persons);
}

OwnContactsCopyOffer::OwnContactsCopyOffer(const Localizer &text, QObject *context)
    : QObject(context), text(text)
{
}

void OwnContactsCopyOffer::ask(int persons)
{
    Preferences::shared().setOwnContactsCopyOffered();
    auto *alert = new UIAlertView(
        text(QStringLiteral("Copy your contacts?"), QStringLiteral("Скопировать контакты?")),
        text(QStringLiteral("Contacts in Molvane's own address book: %1. Copy them into the "
                            "phone's address book? Those already there are skipped, and "
                            "Molvane's file is kept either way.")
                 .arg(persons),
             QStringLiteral("В собственной адресной книге Molvane контактов: %1. Скопировать их "
                            "в адресную книгу телефона? Уже имеющиеся будут пропущены, а файл "
                            "Molvane останется в любом случае.")
                 .arg(persons)),
        this, text(QStringLiteral("Not now"), QStringLiteral("Не сейчас")),
        {text(QStringLiteral("Copy"), QStringLiteral("Скопировать"))});
    alert->show();
}

void OwnContactsCopyOffer::clickedButtonAtIndex(UIAlertView *, int buttonIndex)
{
    if (buttonIndex == copyButton)
        copy();
    deleteLater();
}

void OwnContactsCopyOffer::copy()
{
    std::optional<ABError> error;
    const std::optional<ABOwnFileCopyReport> report = ABOwnFileCopyIntoAddressBook(&error);
    if (report) {
        NSLog(QStringLiteral("Copied %1 contacts into the address book, skipped %2 already there")
                  .arg(report->copied)
                  .arg(report->skipped));
        return;
    }
    auto *alert = new UIAlertView(text(QStringLiteral("The contacts were not copied"),
                                       QStringLiteral("Контакты не скопированы")),
                                  error->localizedDescription(), nullptr, std::nullopt,
                                  {QStringLiteral("OK")});
    alert->show();
}
