#include "Platform/AddressBook/VCardImport.h"

#include "Platform/AddressBook/ABAddressBook.h"
#include "Platform/AddressBook/VCardFile.h"

#include <QBuffer>
#include <QFileInfo>
#include <QHash>
#include <QImageReader>
#include <QSet>
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

// The picture's bytes: base64 in the card (2.1, 3.0) or a data: URI (4.0).
std::optional<QByteArray> pictureOf(const VCardProperty &property, QString *why)
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

// Turns one card into a person, noting what it leaves out.
class CardReader
{
public:
    explicit CardReader(const VCard &card)
    {
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

    bool hasContent() const
    {
        return !person->content().values.empty() || person->content().imageData;
    }

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
        if (const std::optional<QByteArray> picture = pictureOf(property, &why))
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

    std::optional<QString> formattedName;
    std::map<ABPropertyID, ABMutableMultiValueRef> multiValues;
};

// Groups by name: those of the address book first, new ones as they are needed.
class GroupsByName
{
public:
    explicit GroupsByName(const ABAddressBookRef &book) : book(book)
    {
        for (const ABRecordRef &group : ABAddressBookCopyArrayOfAllGroups(book)) {
            const QString name = ABRecordCopyCompositeName(group).value_or(QString());
            if (!groups.contains(name))
                groups.insert(name, group);
        }
    }

    ABRecordRef group(const QString &name)
    {
        if (ABRecordRef existing = groups.value(name)) {
            if (ABRecordGetRecordID(existing) != kABRecordInvalidID)
                joined.insert(name);
            return existing;
        }
        ABRecordRef created = ABGroupCreate();
        ABRecordSetValue(created, kABGroupNameProperty, ABPropertyValue(name), nullptr);
        ABAddressBookAddRecord(book, created, nullptr);
        groups.insert(name, created);
        ++added;
        return created;
    }

    int added = 0;
    QSet<QString> joined;

private:
    ABAddressBookRef book;
    QHash<QString, ABRecordRef> groups;
};

QString cardTitle(const QString &file, const VCard &card, const ABRecordRef &person)
{
    const std::optional<QString> name = ABRecordCopyCompositeName(person);
    return QStringLiteral("%1, card %2%3")
        .arg(file)
        .arg(card.number)
        .arg(name ? QStringLiteral(" (%1)").arg(*name) : QString());
}

void importCard(const QString &file, const VCard &card, const ABAddressBookRef &book,
                GroupsByName &groups, VCardImportReport &report)
{
    CardReader reader(card);
    const QString title = cardTitle(file, card, reader.person);
    if (reader.refusal || !reader.hasContent()) {
        report.skipped.append(QStringLiteral("%1: skipped: %2")
                                  .arg(title, reader.refusal.value_or(QStringLiteral(
                                                  "nothing in it that the address book keeps"))));
        return;
    }
    ABAddressBookAddRecord(book, reader.person, nullptr);
    for (const QString &category : std::as_const(reader.categories))
        ABGroupAddMember(groups.group(category), reader.person, nullptr);
    ++report.personsAdded;
    report.imported.append(title);
    QStringList left = reader.problems;
    if (!reader.notKept.isEmpty())
        left.append(QStringLiteral("%1 (not kept by the address book)")
                        .arg(reader.notKept.join(QStringLiteral(", "))));
    for (const QString &warning : card.parserWarnings)
        left.append(QStringLiteral("parser: %1").arg(warning));
    if (!left.isEmpty())
        report.skipped.append(QStringLiteral("%1: %2").arg(title, left.join(QStringLiteral("; "))));
}
} // namespace

bool ABAddressBookImportVCardFiles(const QStringList &paths, VCardImportReport *report,
                                   ABErrorOut error)
{
    QList<std::pair<QString, VCardFileContents>> files;
    for (const QString &path : paths) {
        QString reason;
        std::optional<VCardFileContents> contents = VCardReadFile(path, &reason);
        if (!contents)
            return ABFail(error, ABError::Code::FileUnreadable,
                          QStringLiteral("%1 cannot be read: %2").arg(path, reason));
        files.append({QFileInfo(path).fileName(), std::move(*contents)});
    }
    const ABAddressBookRef book = ABAddressBookCreateWithOptions(error);
    if (!book)
        return false;
    VCardImportReport done;
    GroupsByName groups(book);
    for (const auto &[file, contents] : files) {
        for (const VCard &card : contents.cards)
            importCard(file, card, book, groups, done);
        for (const QString &reason : contents.unreadable)
            done.skipped.append(QStringLiteral("%1: skipped: %2").arg(file, reason));
    }
    if (!ABAddressBookSave(book, error))
        return false;
    done.groupsAdded = groups.added;
    done.groupsJoined = int(groups.joined.size());
    if (report)
        *report = done;
    return true;
}
