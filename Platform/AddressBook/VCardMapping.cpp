#include "Platform/AddressBook/VCardMapping.h"

#include <QBuffer>
#include <QFile>
#include <QHash>
#include <QImageReader>
#include <QSet>
#include <QUrl>
#include <functional>
#include <map>

namespace {
// TYPE values that say nothing a label could carry.
const QSet<QString> &typesWithoutLabel()
{
    static const QSet<QString> types{
        QStringLiteral("pref"),   QStringLiteral("voice"),    QStringLiteral("internet"),
        QStringLiteral("x400"),   QStringLiteral("dom"),      QStringLiteral("intl"),
        QStringLiteral("postal"), QStringLiteral("parcel"),   QStringLiteral("msg"),
        QStringLiteral("text"),   QStringLiteral("video"),    QStringLiteral("bbs"),
        QStringLiteral("modem"),  QStringLiteral("car"),      QStringLiteral("isdn"),
        QStringLiteral("pcs"),    QStringLiteral("textphone")};
    return types;
}

const QHash<QString, QString> &servicesByScheme()
{
    static const QHash<QString, QString> services{
        {QStringLiteral("xmpp"), kABPersonInstantMessageServiceJabber},
        {QStringLiteral("jabber"), kABPersonInstantMessageServiceJabber},
        {QStringLiteral("skype"), kABPersonInstantMessageServiceSkype},
        {QStringLiteral("callto"), kABPersonInstantMessageServiceSkype},
        {QStringLiteral("aim"), kABPersonInstantMessageServiceAIM},
        {QStringLiteral("icq"), kABPersonInstantMessageServiceICQ},
        {QStringLiteral("msn"), kABPersonInstantMessageServiceMSN},
        {QStringLiteral("msnim"), kABPersonInstantMessageServiceMSN},
        {QStringLiteral("ymsgr"), kABPersonInstantMessageServiceYahoo},
        {QStringLiteral("yahoo"), kABPersonInstantMessageServiceYahoo},
        {QStringLiteral("gtalk"), kABPersonInstantMessageServiceGoogleTalk},
        {QStringLiteral("google-talk"), kABPersonInstantMessageServiceGoogleTalk},
        {QStringLiteral("qq"), kABPersonInstantMessageServiceQQ},
        {QStringLiteral("gg"), kABPersonInstantMessageServiceGaduGadu},
        {QStringLiteral("gadugadu"), kABPersonInstantMessageServiceGaduGadu},
        {QStringLiteral("facebook"), kABPersonInstantMessageServiceFacebook},
    };
    return services;
}

const QHash<QString, QString> &relationLabels()
{
    static const QHash<QString, QString> labels{
        {QStringLiteral("spouse"), kABPersonSpouseLabel},
        {QStringLiteral("partner"), kABPersonPartnerLabel},
        {QStringLiteral("sweetheart"), kABPersonPartnerLabel},
        {QStringLiteral("parent"), kABPersonParentLabel},
        {QStringLiteral("child"), kABPersonChildLabel},
        {QStringLiteral("friend"), kABPersonFriendLabel},
        {QStringLiteral("manager"), kABPersonManagerLabel},
        {QStringLiteral("assistant"), kABPersonAssistantLabel},
    };
    return labels;
}

// A label of the card's own: "x-assistant" becomes "assistant".
std::optional<QString> customLabel(const QStringList &types)
{
    for (const QString &type : types) {
        if (typesWithoutLabel().contains(type))
            continue;
        return type.startsWith(QLatin1String("x-")) ? type.mid(2) : type;
    }
    return std::nullopt;
}

QString genericLabel(const QStringList &types)
{
    if (types.contains(QLatin1String("home")))
        return kABHomeLabel;
    if (types.contains(QLatin1String("work")))
        return kABWorkLabel;
    return customLabel(types).value_or(kABOtherLabel);
}

QString phoneLabel(const QStringList &types)
{
    const auto has = [&types](const char *type) { return types.contains(QLatin1String(type)); };
    if (has("fax"))
        return has("home")
                   ? kABPersonPhoneHomeFAXLabel
                   : (has("work") ? kABPersonPhoneWorkFAXLabel : kABPersonPhoneOtherFAXLabel);
    if (has("cell") || has("mobile"))
        return kABPersonPhoneMobileLabel;
    if (has("pager"))
        return kABPersonPhonePagerLabel;
    if (has("main"))
        return kABPersonPhoneMainLabel;
    return genericLabel(types);
}

QString withoutScheme(const QString &value, const char *scheme)
{
    const QString prefix = QLatin1String(scheme) + QLatin1Char(':');
    return value.startsWith(prefix, Qt::CaseInsensitive) ? value.mid(prefix.size()) : value;
}

// "1980-05-17", "19800517" or a date-time; a date without a year ("--0517") is not a date here.
std::optional<QDateTime> dateOf(const QString &text)
{
    const QString datePart = text.section(QLatin1Char('T'), 0, 0).trimmed();
    for (const QString &format : {QStringLiteral("yyyy-MM-dd"), QStringLiteral("yyyyMMdd")}) {
        const QDate date = QDate::fromString(datePart, format);
        if (date.isValid())
            return QDateTime(date, QTime(12, 0), Qt::UTC);
    }
    return std::nullopt;
}

constexpr qint64 MaxPictureFileSize = 16 * 1024 * 1024;

// A picture the address book keeps in a file of its own (file:///.../photos/...).
std::optional<QByteArray> pictureFile(const QString &uri)
{
    QFile file(QUrl(uri).toLocalFile());
    if (!file.open(QIODevice::ReadOnly) || file.size() > MaxPictureFileSize)
        return std::nullopt;
    return file.readAll();
}

// The picture's bytes: base64 in the card (2.1, 3.0), a data: URI (4.0) or, from the phone's
// own address book, a file.
std::optional<QByteArray> pictureOf(const VCardProperty &property, VCardPictureLinks links,
                                    QString *why)
{
    QByteArray bytes;
    const QString text = property.values.join(QLatin1Char(';'));
    if (property.decoded) {
        bytes = *property.decoded;
    } else if (text.startsWith(QLatin1String("data:"), Qt::CaseInsensitive) &&
               text.section(QLatin1Char(','), 0, 0).endsWith(QLatin1String(";base64"))) {
        const auto decoded = QByteArray::fromBase64Encoding(
            text.section(QLatin1Char(','), 1).toLatin1(), QByteArray::AbortOnBase64DecodingErrors);
        if (decoded)
            bytes = *decoded;
    } else if (links == VCardPictureLinks::ReadLocalFiles &&
               text.startsWith(QLatin1String("file:"), Qt::CaseInsensitive)) {
        bytes = pictureFile(text).value_or(QByteArray());
    } else {
        *why = QStringLiteral("a link to a picture, not the picture itself");
        return std::nullopt;
    }
    QBuffer buffer(&bytes);
    if (bytes.isEmpty() || !buffer.open(QIODevice::ReadOnly) || !QImageReader(&buffer).canRead()) {
        *why = QStringLiteral("not a picture that can be read");
        return std::nullopt;
    }
    return bytes;
}

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

// Turns one card into a person, noting what it leaves out.
class CardReader
{
public:
    CardReader(const VCard &card, VCardPictureLinks links) : links(links)
    {
        // Read while no address book may be open yet; only the order of a name's parts depends
        // on it.
        person->setAddressBook(nullptr, kABPersonCompositeNameFormatFirstNameFirst);
        for (const VCardProperty &property : card.properties)
            read(property);
        finishNames();
        for (const auto &[property, multiValue] : multiValues)
            ABRecordSetValue(person, property, ABPropertyValue(ABMultiValueRef(multiValue)),
                             nullptr);
    }

    ABRecordRef person = ABPersonCreate();
    QStringList categories;
    QStringList notKept;  // property names
    QStringList problems; // "BDAY: ..."
    std::optional<QString> refusal;

private:
    void read(const VCardProperty &property)
    {
        const QString &name = property.name;
        if (ignored().contains(name))
            return;
        if (const auto handler = handlers().find(name); handler != handlers().end())
            handler->second(*this, property);
        else if (const auto single = textProperties().find(name); single != textProperties().end())
            setString(*single, property.text());
        else if (anniversaryNames().contains(name))
            addDate(property, kABPersonAnniversaryLabel);
        else if (relationByName().contains(name))
            addEntry(kABPersonRelatedNamesProperty, kABMultiStringPropertyType, property.text(),
                     relationByName().value(name));
        else if (const auto service = imServiceByName().find(name);
                 service != imServiceByName().end())
            addInstantMessage(*service, property.text(), genericLabel(property.types()));
        else
            notKept.append(name);
    }

    void setString(ABPropertyID property, const QString &value)
    {
        if (!value.trimmed().isEmpty())
            ABRecordSetValue(person, property, ABPropertyValue(value.trimmed()), nullptr);
    }

    void addEntry(ABPropertyID property, ABPropertyType type, const QVariant &value,
                  const QString &label)
    {
        if (value.typeId() == QMetaType::QString && value.toString().trimmed().isEmpty())
            return;
        auto &multiValue = multiValues[property];
        if (!multiValue)
            multiValue = ABMultiValueCreateMutable(type);
        ABMultiValueAddValueAndLabel(multiValue, value, label);
    }

    void addInstantMessage(const QString &service, const QString &user, const QString &label)
    {
        if (!user.isEmpty())
            addEntry(kABPersonInstantMessageProperty, kABMultiDictionaryPropertyType,
                     QVariantMap{{kABPersonInstantMessageServiceKey, service},
                                 {kABPersonInstantMessageUsernameKey, user}},
                     label);
    }

    void addDate(const VCardProperty &property, const QString &label)
    {
        if (const std::optional<QDateTime> date = dateOf(property.text()))
            addEntry(kABPersonDateProperty, kABMultiDateTimePropertyType, *date, label);
        else
            problems.append(QStringLiteral("%1: \"%2\" is not a date with a year")
                                .arg(property.name, property.text()));
    }

    void readName(const VCardProperty &property)
    {
        const ABPropertyID parts[] = {kABPersonLastNameProperty, kABPersonFirstNameProperty,
                                      kABPersonMiddleNameProperty, kABPersonPrefixProperty,
                                      kABPersonSuffixProperty};
        for (qsizetype index = 0; index < std::min<qsizetype>(5, property.values.size()); ++index)
            setString(parts[index], property.values[index]);
    }

    void readOrganization(const VCardProperty &property)
    {
        setString(kABPersonOrganizationProperty, property.values.value(0));
        setString(kABPersonDepartmentProperty, property.values.mid(1).join(QStringLiteral(", ")));
    }

    void readBirthday(const VCardProperty &property)
    {
        if (const std::optional<QDateTime> date = dateOf(property.text()))
            ABRecordSetValue(person, kABPersonBirthdayProperty, ABPropertyValue(*date), nullptr);
        else
            problems.append(
                QStringLiteral("BDAY: \"%1\" is not a date with a year").arg(property.text()));
    }

    void readAddress(const VCardProperty &property)
    {
        const QStringList parts = property.values;
        QStringList street;
        for (qsizetype index = 0; index < 3; ++index) {
            if (!parts.value(index).trimmed().isEmpty())
                street.append(parts.value(index).trimmed());
        }
        QVariantMap address;
        const auto put = [&address](const QString &key, const QString &value) {
            if (!value.trimmed().isEmpty())
                address.insert(key, value.trimmed());
        };
        put(kABPersonAddressStreetKey, street.join(QLatin1Char('\n')));
        put(kABPersonAddressCityKey, parts.value(3));
        put(kABPersonAddressStateKey, parts.value(4));
        put(kABPersonAddressZIPKey, parts.value(5));
        put(kABPersonAddressCountryKey, parts.value(6));
        if (!address.isEmpty())
            addEntry(kABPersonAddressProperty, kABMultiDictionaryPropertyType, address,
                     genericLabel(property.types()));
    }

    void readImpp(const VCardProperty &property)
    {
        const QString text = property.text();
        const QString scheme = text.section(QLatin1Char(':'), 0, 0).toLower();
        const bool hasScheme = text.contains(QLatin1Char(':'));
        const QString service =
            property.parameter(QStringLiteral("X-SERVICE-TYPE"))
                .value(0, servicesByScheme().value(scheme, hasScheme ? scheme : kABOtherLabel));
        addInstantMessage(service, hasScheme ? text.section(QLatin1Char(':'), 1) : text,
                          genericLabel(property.types()));
    }

    void readRelated(const VCardProperty &property)
    {
        const bool isLink = property.parameter(QStringLiteral("VALUE"))
                                .contains(QLatin1String("uri"), Qt::CaseInsensitive) ||
                            property.text().contains(QLatin1Char(':'));
        if (isLink) {
            problems.append(QStringLiteral("RELATED: a link to a card, not a name"));
            return;
        }
        QString label = kABOtherLabel;
        for (const QString &type : property.types())
            label = relationLabels().value(type, label);
        addEntry(kABPersonRelatedNamesProperty, kABMultiStringPropertyType, property.text(), label);
    }

    void readPhoto(const VCardProperty &property)
    {
        if (person->content().imageData) {
            problems.append(QStringLiteral("PHOTO: only the first picture is kept"));
            return;
        }
        QString why;
        if (const std::optional<QByteArray> picture = pictureOf(property, links, &why))
            ABPersonSetImageData(person, *picture, nullptr);
        else
            problems.append(QStringLiteral("PHOTO: %1").arg(why));
    }

    void readKind(const VCardProperty &property)
    {
        const QString kind = property.text().toLower();
        if (kind == QLatin1String("org") || kind == QLatin1String("organization"))
            ABRecordSetValue(person, kABPersonKindProperty,
                             ABPropertyValue(kABPersonKindOrganization), nullptr);
        else if (kind == QLatin1String("group") || kind == QLatin1String("location"))
            refusal = QStringLiteral("the card describes a %1, not a person").arg(kind);
    }

    void readAndroidCustom(const VCardProperty &property)
    {
        if (property.values.value(0) == QLatin1String("vnd.android.cursor.item/nickname"))
            setString(kABPersonNicknameProperty, property.values.value(1));
        else
            notKept.append(QStringLiteral("X-ANDROID-CUSTOM (%1)").arg(property.values.value(0)));
    }

    // Only a card without N takes its formatted name, as the first name.
    void finishNames()
    {
        const auto &content = person->content();
        const bool hasName =
            content.find(kABPersonFirstNameProperty) || content.find(kABPersonLastNameProperty);
        const bool sameAsCompany = formattedName == ABRecordCopyCompositeName(person) &&
                                   content.find(kABPersonOrganizationProperty);
        if (!hasName && !sameAsCompany)
            setString(kABPersonFirstNameProperty, formattedName.value_or(QString()));
    }

    using Handler = std::function<void(CardReader &, const VCardProperty &)>;
    static const std::map<QString, Handler> &handlers()
    {
        static const std::map<QString, Handler> table{
            {QStringLiteral("N"), &CardReader::readName},
            {QStringLiteral("FN"),
             [](CardReader &r, const VCardProperty &p) { r.formattedName = p.text(); }},
            {QStringLiteral("NICKNAME"),
             [](CardReader &r, const VCardProperty &p) {
                 r.setString(kABPersonNicknameProperty, p.values.join(QStringLiteral(", ")));
             }},
            {QStringLiteral("ORG"), &CardReader::readOrganization},
            {QStringLiteral("BDAY"), &CardReader::readBirthday},
            {QStringLiteral("X-DATE"),
             [](CardReader &r, const VCardProperty &p) { r.addDate(p, genericLabel(p.types())); }},
            {QStringLiteral("TEL"),
             [](CardReader &r, const VCardProperty &p) {
                 r.addEntry(kABPersonPhoneProperty, kABMultiStringPropertyType,
                            withoutScheme(p.text(), "tel"), phoneLabel(p.types()));
             }},
            {QStringLiteral("EMAIL"),
             [](CardReader &r, const VCardProperty &p) {
                 r.addEntry(kABPersonEmailProperty, kABMultiStringPropertyType,
                            withoutScheme(p.text(), "mailto"), genericLabel(p.types()));
             }},
            {QStringLiteral("URL"),
             [](CardReader &r, const VCardProperty &p) {
                 r.addEntry(kABPersonURLProperty, kABMultiStringPropertyType, p.text(),
                            genericLabel(p.types()));
             }},
            {QStringLiteral("ADR"), &CardReader::readAddress},
            {QStringLiteral("IMPP"), &CardReader::readImpp},
            {QStringLiteral("RELATED"), &CardReader::readRelated},
            {QStringLiteral("PHOTO"), &CardReader::readPhoto},
            {QStringLiteral("KIND"), &CardReader::readKind},
            {QStringLiteral("X-ANDROID-CUSTOM"), &CardReader::readAndroidCustom},
            {QStringLiteral("CATEGORIES"),
             [](CardReader &r, const VCardProperty &p) {
                 for (const QString &value : p.values)
                     for (const QString &category :
                          value.split(QLatin1Char(','), Qt::SkipEmptyParts))
                         if (!category.trimmed().isEmpty())
                             r.categories.append(category.trimmed());
             }},
        };
        return table;
    }

    static const QHash<QString, ABPropertyID> &textProperties()
    {
        static const QHash<QString, ABPropertyID> properties{
            {QStringLiteral("TITLE"), kABPersonJobTitleProperty},
            {QStringLiteral("NOTE"), kABPersonNoteProperty},
            {QStringLiteral("X-PHONETIC-FIRST-NAME"), kABPersonFirstNamePhoneticProperty},
            {QStringLiteral("X-PHONETIC-MIDDLE-NAME"), kABPersonMiddleNamePhoneticProperty},
            {QStringLiteral("X-PHONETIC-LAST-NAME"), kABPersonLastNamePhoneticProperty},
        };
        return properties;
    }

    static const QSet<QString> &anniversaryNames()
    {
        static const QSet<QString> names{QStringLiteral("ANNIVERSARY"),
                                         QStringLiteral("X-ANNIVERSARY"),
                                         QStringLiteral("X-EVOLUTION-ANNIVERSARY")};
        return names;
    }

    static const QSet<QString> &ignored()
    {
        static const QSet<QString> names{QStringLiteral("BEGIN"),      QStringLiteral("END"),
                                         QStringLiteral("VERSION"),    QStringLiteral("PRODID"),
                                         QStringLiteral("REV"),        QStringLiteral("UID"),
                                         QStringLiteral("SORT-STRING")};
        return names;
    }

    static const QHash<QString, QString> &relationByName()
    {
        static const QHash<QString, QString> names{
            {QStringLiteral("X-SPOUSE"), kABPersonSpouseLabel},
            {QStringLiteral("X-EVOLUTION-SPOUSE"), kABPersonSpouseLabel},
            {QStringLiteral("X-MANAGER"), kABPersonManagerLabel},
            {QStringLiteral("X-EVOLUTION-MANAGER"), kABPersonManagerLabel},
            {QStringLiteral("X-ASSISTANT"), kABPersonAssistantLabel},
            {QStringLiteral("X-EVOLUTION-ASSISTANT"), kABPersonAssistantLabel},
        };
        return names;
    }

    static const QHash<QString, QString> &imServiceByName()
    {
        static const QHash<QString, QString> names{
            {QStringLiteral("X-JABBER"), kABPersonInstantMessageServiceJabber},
            {QStringLiteral("X-SKYPE"), kABPersonInstantMessageServiceSkype},
            {QStringLiteral("X-SKYPE-USERNAME"), kABPersonInstantMessageServiceSkype},
            {QStringLiteral("X-AIM"), kABPersonInstantMessageServiceAIM},
            {QStringLiteral("X-ICQ"), kABPersonInstantMessageServiceICQ},
            {QStringLiteral("X-MSN"), kABPersonInstantMessageServiceMSN},
            {QStringLiteral("X-YAHOO"), kABPersonInstantMessageServiceYahoo},
            {QStringLiteral("X-GOOGLE-TALK"), kABPersonInstantMessageServiceGoogleTalk},
            {QStringLiteral("X-QQ"), kABPersonInstantMessageServiceQQ},
            {QStringLiteral("X-GADUGADU"), kABPersonInstantMessageServiceGaduGadu},
        };
        return names;
    }

    VCardPictureLinks links;
    std::optional<QString> formattedName;
    std::map<ABPropertyID, ABMutableMultiValueRef> multiValues;

    friend bool ::VCardIsMappedProperty(const QString &name);
};

} // namespace

VCardPerson VCardReadPerson(const VCard &card, VCardPictureLinks links)
{
    CardReader reader(card, links);
    return {reader.person, reader.categories, reader.notKept, reader.problems, reader.refusal};
}

bool VCardPerson::hasContent() const
{
    return !person->content().values.empty() || person->content().imageData;
}

bool VCardIsMappedProperty(const QString &name)
{
    return CardReader::handlers().count(name) || CardReader::textProperties().contains(name) ||
           CardReader::anniversaryNames().contains(name) ||
           CardReader::relationByName().contains(name) ||
           CardReader::imServiceByName().contains(name);
}

QList<VCardProperty> VCardPropertiesOfPerson(const ABRecordRef &person,
                                             const QStringList &categories)
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
