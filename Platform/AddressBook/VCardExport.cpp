#include "Platform/AddressBook/ABAddressBook.h"
#include "Platform/AddressBook/VCardFile.h"
#include "Platform/AddressBook/VCardImport.h"

#include <QBuffer>
#include <QHash>
#include <QImageReader>
#include <QSaveFile>

namespace {
std::optional<QString> stringOf(const ABRecordRef &person, ABPropertyID property)
{
    const std::optional<ABPropertyValue> value = ABRecordCopyValue(person, property);
    const auto *text = value ? std::get_if<QString>(&*value) : nullptr;
    return text ? std::optional<QString>(*text) : std::nullopt;
}

ABMultiValueRef multiValueOf(const ABRecordRef &person, ABPropertyID property)
{
    const std::optional<ABPropertyValue> value = ABRecordCopyValue(person, property);
    const auto *multiValue = value ? std::get_if<ABMultiValueRef>(&*value) : nullptr;
    return multiValue ? *multiValue : nullptr;
}

QString vCardDate(const QDateTime &date)
{
    return date.toUTC().date().toString(QStringLiteral("yyyyMMdd"));
}

// TYPE values for a label; labels of the card's own go out as x-names.
QStringList typesFor(const std::optional<QString> &label)
{
    static const QHash<QString, QStringList> known{
        {kABHomeLabel, {QStringLiteral("home")}},
        {kABWorkLabel, {QStringLiteral("work")}},
        {kABPersonPhoneMobileLabel, {QStringLiteral("cell")}},
        {kABPersonPhoneMainLabel, {QStringLiteral("x-main")}},
        {kABPersonPhoneHomeFAXLabel, {QStringLiteral("home"), QStringLiteral("fax")}},
        {kABPersonPhoneWorkFAXLabel, {QStringLiteral("work"), QStringLiteral("fax")}},
        {kABPersonPhoneOtherFAXLabel, {QStringLiteral("fax")}},
        {kABPersonPhonePagerLabel, {QStringLiteral("pager")}},
        {kABPersonSpouseLabel, {QStringLiteral("spouse")}},
        {kABPersonPartnerLabel, {QStringLiteral("sweetheart")}},
        {kABPersonParentLabel, {QStringLiteral("parent")}},
        {kABPersonChildLabel, {QStringLiteral("child")}},
        {kABPersonFriendLabel, {QStringLiteral("friend")}},
    };
    if (!label || label->isEmpty() || *label == kABOtherLabel)
        return {};
    if (known.contains(*label))
        return known.value(*label);
    QString name = label->toLower();
    for (QChar &character : name) {
        if (!character.isLetterOrNumber() && character != QLatin1Char('-'))
            character = QLatin1Char('-');
    }
    return {QStringLiteral("x-") + name};
}

VCardProperty property(const QString &name, const QStringList &values,
                       const std::optional<QString> &label = std::nullopt)
{
    VCardProperty property;
    property.name = name;
    property.values = values;
    const QStringList types = typesFor(label);
    if (!types.isEmpty())
        property.parameters.append({QStringLiteral("TYPE"), types});
    return property;
}

QString schemeFor(const QString &service)
{
    static const QHash<QString, QString> schemes{
        {kABPersonInstantMessageServiceJabber, QStringLiteral("xmpp")},
        {kABPersonInstantMessageServiceSkype, QStringLiteral("skype")},
        {kABPersonInstantMessageServiceAIM, QStringLiteral("aim")},
        {kABPersonInstantMessageServiceICQ, QStringLiteral("icq")},
        {kABPersonInstantMessageServiceMSN, QStringLiteral("msnim")},
        {kABPersonInstantMessageServiceYahoo, QStringLiteral("ymsgr")},
        {kABPersonInstantMessageServiceGoogleTalk, QStringLiteral("gtalk")},
        {kABPersonInstantMessageServiceQQ, QStringLiteral("qq")},
        {kABPersonInstantMessageServiceGaduGadu, QStringLiteral("gg")},
        {kABPersonInstantMessageServiceFacebook, QStringLiteral("facebook")},
    };
    return schemes.value(service, service.toLower());
}

// URIs (web pages) are written as they are; text values get the vCard escapes.
void addEntries(QList<VCardProperty> &card, const ABRecordRef &person, ABPropertyID source,
                const QString &name, bool isURI = false)
{
    const ABMultiValueRef multiValue = multiValueOf(person, source);
    if (!multiValue)
        return;
    for (const ABMultiValue::Entry &entry : multiValue->entries()) {
        VCardProperty added = property(name, {entry.value.toString()}, entry.label);
        added.verbatim = isURI;
        card.append(added);
    }
}

void addAddresses(QList<VCardProperty> &card, const ABRecordRef &person)
{
    const ABMultiValueRef multiValue = multiValueOf(person, kABPersonAddressProperty);
    if (!multiValue)
        return;
    for (const ABMultiValue::Entry &entry : multiValue->entries()) {
        const QVariantMap address = entry.value.toMap();
        card.append(
            property(QStringLiteral("ADR"),
                     {QString(), QString(), address.value(kABPersonAddressStreetKey).toString(),
                      address.value(kABPersonAddressCityKey).toString(),
                      address.value(kABPersonAddressStateKey).toString(),
                      address.value(kABPersonAddressZIPKey).toString(),
                      address.value(kABPersonAddressCountryKey).toString()},
                     entry.label));
    }
}

void addInstantMessages(QList<VCardProperty> &card, const ABRecordRef &person)
{
    const ABMultiValueRef multiValue = multiValueOf(person, kABPersonInstantMessageProperty);
    if (!multiValue)
        return;
    for (const ABMultiValue::Entry &entry : multiValue->entries()) {
        const QVariantMap im = entry.value.toMap();
        VCardProperty impp =
            property(QStringLiteral("IMPP"),
                     {schemeFor(im.value(kABPersonInstantMessageServiceKey).toString()) +
                      QLatin1Char(':') + im.value(kABPersonInstantMessageUsernameKey).toString()},
                     entry.label);
        impp.verbatim = true;
        card.append(impp);
    }
}

void addDates(QList<VCardProperty> &card, const ABRecordRef &person)
{
    const ABMultiValueRef multiValue = multiValueOf(person, kABPersonDateProperty);
    if (!multiValue)
        return;
    for (const ABMultiValue::Entry &entry : multiValue->entries()) {
        const QString date = vCardDate(entry.value.toDateTime());
        if (entry.label == kABPersonAnniversaryLabel)
            card.append(property(QStringLiteral("ANNIVERSARY"), {date}));
        else
            card.append(property(QStringLiteral("X-DATE"), {date}, entry.label));
    }
}

void addPicture(QList<VCardProperty> &card, const ABRecordRef &person)
{
    std::optional<QByteArray> bytes = ABPersonCopyImageData(person);
    if (!bytes)
        return;
    QBuffer buffer(&*bytes);
    buffer.open(QIODevice::ReadOnly);
    const QByteArray format = QImageReader::imageFormat(&buffer);
    const QString type = format.isEmpty() ? QStringLiteral("application/octet-stream")
                                          : QStringLiteral("image/") + QString::fromLatin1(format);
    VCardProperty photo = property(
        QStringLiteral("PHOTO"),
        {QStringLiteral("data:%1;base64,%2").arg(type, QString::fromLatin1(bytes->toBase64()))});
    photo.verbatim = true;
    card.append(photo);
}

QList<VCardProperty> cardOf(const ABRecordRef &person, const QStringList &categories)
{
    const auto text = [&person](ABPropertyID property) {
        return stringOf(person, property).value_or(QString());
    };
    QList<VCardProperty> card;
    const std::optional<ABPropertyValue> kind = ABRecordCopyValue(person, kABPersonKindProperty);
    if (kind && std::get_if<qint64>(&*kind) && std::get<qint64>(*kind) == kABPersonKindOrganization)
        card.append(property(QStringLiteral("KIND"), {QStringLiteral("org")}));
    card.append(
        property(QStringLiteral("FN"), {ABRecordCopyCompositeName(person).value_or(QString())}));
    card.append(property(QStringLiteral("N"),
                         {text(kABPersonLastNameProperty), text(kABPersonFirstNameProperty),
                          text(kABPersonMiddleNameProperty), text(kABPersonPrefixProperty),
                          text(kABPersonSuffixProperty)}));
    const std::pair<ABPropertyID, const char *> singles[] = {
        {kABPersonNicknameProperty, "NICKNAME"},
        {kABPersonJobTitleProperty, "TITLE"},
        {kABPersonNoteProperty, "NOTE"},
        {kABPersonFirstNamePhoneticProperty, "X-PHONETIC-FIRST-NAME"},
        {kABPersonMiddleNamePhoneticProperty, "X-PHONETIC-MIDDLE-NAME"},
        {kABPersonLastNamePhoneticProperty, "X-PHONETIC-LAST-NAME"}};
    for (const auto &[source, name] : singles) {
        if (const std::optional<QString> value = stringOf(person, source))
            card.append(property(QString::fromLatin1(name), {*value}));
    }
    if (stringOf(person, kABPersonOrganizationProperty) ||
        stringOf(person, kABPersonDepartmentProperty))
        card.append(property(QStringLiteral("ORG"), {text(kABPersonOrganizationProperty),
                                                     text(kABPersonDepartmentProperty)}));
    const std::optional<ABPropertyValue> birthday =
        ABRecordCopyValue(person, kABPersonBirthdayProperty);
    if (birthday)
        card.append(property(QStringLiteral("BDAY"), {vCardDate(std::get<QDateTime>(*birthday))}));
    addEntries(card, person, kABPersonPhoneProperty, QStringLiteral("TEL"));
    addEntries(card, person, kABPersonEmailProperty, QStringLiteral("EMAIL"));
    addEntries(card, person, kABPersonURLProperty, QStringLiteral("URL"), true);
    addEntries(card, person, kABPersonRelatedNamesProperty, QStringLiteral("RELATED"));
    addAddresses(card, person);
    addInstantMessages(card, person);
    addDates(card, person);
    addPicture(card, person);
    if (!categories.isEmpty()) {
        VCardProperty list = property(QStringLiteral("CATEGORIES"), categories);
        list.separator = ',';
        card.append(list);
    }
    return card;
}

QHash<ABRecordID, QStringList> categoriesByPerson(const ABAddressBookRef &book)
{
    QHash<ABRecordID, QStringList> categories;
    for (const ABRecordRef &group : ABAddressBookCopyArrayOfAllGroups(book)) {
        const QString name = ABRecordCopyCompositeName(group).value_or(QString());
        for (const ABRecordID personID : group->content().members)
            categories[personID].append(name);
    }
    return categories;
}
} // namespace

std::optional<int> ABAddressBookExportVCardFile(const QString &path, ABErrorOut error)
{
    const ABAddressBookRef book = ABAddressBookCreateWithOptions(error);
    if (!book)
        return std::nullopt;
    const QHash<ABRecordID, QStringList> categories = categoriesByPerson(book);
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly)) {
        ABFail(error, ABError::Code::FileNotWritten,
               QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    const QList<ABRecordRef> people = ABAddressBookCopyArrayOfAllPeople(book);
    for (const ABRecordRef &person : people)
        file.write(VCardWrite(cardOf(person, categories.value(ABRecordGetRecordID(person)))));
    if (!file.commit()) {
        ABFail(error, ABError::Code::FileNotWritten,
               QStringLiteral("%1 cannot be written: %2").arg(path, file.errorString()));
        return std::nullopt;
    }
    return int(people.size());
}
