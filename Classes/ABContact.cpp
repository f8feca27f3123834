#include "ABContact.h"

#include "Platform/AddressBook/ABAddressBook.h"
#include "Platform/Log.h"

#include <QBuffer>
#include <utility>

namespace {
const QString ValueKey = QStringLiteral("value");
const QString LabelKey = QStringLiteral("label");

void logError(const std::optional<ABError> &error)
{
    NSLog(QStringLiteral("Error: %1").arg(error ? error->localizedDescription() : QString()));
}

template <typename Value>
std::optional<QList<Value>> convertedList(const std::optional<QVariantList> &values)
{
    if (!values)
        return std::nullopt;
    QList<Value> converted;
    converted.reserve(values->size());
    for (const QVariant &value : *values)
        converted.append(value.value<Value>());
    return converted;
}

std::optional<QStringList> stringList(const std::optional<QVariantList> &values)
{
    const std::optional<QList<QString>> strings = convertedList<QString>(values);
    return strings ? std::optional<QStringList>(QStringList(*strings)) : std::nullopt;
}

std::optional<QString> joined(const std::optional<QStringList> &values)
{
    return values ? std::optional<QString>(values->join(QLatin1Char(' '))) : std::nullopt;
}

std::optional<QString> asString(const std::optional<QVariant> &value)
{
    if (!value || !value->isValid())
        return std::nullopt;
    return value->toString();
}

void insertPresent(QVariantMap &dictionary, const QString &key, const std::optional<QString> &value)
{
    if (value)
        dictionary.insert(key, *value);
}

const std::vector<std::pair<ABPropertyID, const char *>> &propertyNames()
{
    static const std::vector<std::pair<ABPropertyID, const char *>> names{
        {kABPersonFirstNameProperty, "First Name"},
        {kABPersonLastNameProperty, "Last Name"},
        {kABPersonMiddleNameProperty, "Middle Name"},
        {kABPersonPrefixProperty, "Prefix"},
        {kABPersonSuffixProperty, "Suffix"},
        {kABPersonNicknameProperty, "Nickname"},
        {kABPersonFirstNamePhoneticProperty, "Phonetic First Name"},
        {kABPersonLastNamePhoneticProperty, "Phonetic Last Name"},
        {kABPersonMiddleNamePhoneticProperty, "Phonetic Middle Name"},
        {kABPersonOrganizationProperty, "Organization"},
        {kABPersonJobTitleProperty, "Job Title"},
        {kABPersonDepartmentProperty, "Department"},
        {kABPersonEmailProperty, "Email"},
        {kABPersonBirthdayProperty, "Birthday"},
        {kABPersonNoteProperty, "Note"},
        {kABPersonCreationDateProperty, "Creation Date"},
        {kABPersonModificationDateProperty, "Modification Date"},
        {kABPersonAddressProperty, "Address"},
        {kABPersonDateProperty, "Date"},
        {kABPersonKindProperty, "Kind"},
        {kABPersonPhoneProperty, "Phone"},
        {kABPersonInstantMessageProperty, "Instant Message"},
        {kABPersonURLProperty, "URL"},
        {kABPersonRelatedNamesProperty, "Related Name"},
    };
    return names;
}

// The properties that hold one value: the strings and the dates.
const std::vector<ABPropertyID> &singleValueProperties()
{
    static const std::vector<ABPropertyID> properties{
        kABPersonFirstNameProperty,
        kABPersonLastNameProperty,
        kABPersonMiddleNameProperty,
        kABPersonPrefixProperty,
        kABPersonSuffixProperty,
        kABPersonNicknameProperty,
        kABPersonFirstNamePhoneticProperty,
        kABPersonLastNamePhoneticProperty,
        kABPersonMiddleNamePhoneticProperty,
        kABPersonOrganizationProperty,
        kABPersonJobTitleProperty,
        kABPersonDepartmentProperty,
        kABPersonBirthdayProperty,
        kABPersonNoteProperty,
        kABPersonCreationDateProperty,
        kABPersonModificationDateProperty,
    };
    return properties;
}

using StringGetter = std::optional<QString> (ABContact::*)() const;

const std::vector<std::pair<QString, StringGetter>> &keyedGetters()
{
    static const std::vector<std::pair<QString, StringGetter>> getters{
        {QStringLiteral("firstname"), &ABContact::firstname},
        {QStringLiteral("lastname"), &ABContact::lastname},
        {QStringLiteral("middlename"), &ABContact::middlename},
        {QStringLiteral("nickname"), &ABContact::nickname},
        {QStringLiteral("prefix"), &ABContact::prefix},
        {QStringLiteral("suffix"), &ABContact::suffix},
        {QStringLiteral("firstnamephonetic"), &ABContact::firstnamephonetic},
        {QStringLiteral("lastnamephonetic"), &ABContact::lastnamephonetic},
        {QStringLiteral("middlenamephonetic"), &ABContact::middlenamephonetic},
        {QStringLiteral("organization"), &ABContact::organization},
        {QStringLiteral("jobtitle"), &ABContact::jobtitle},
        {QStringLiteral("department"), &ABContact::department},
        {QStringLiteral("note"), &ABContact::note},
        {QStringLiteral("phonenumbers"), &ABContact::phonenumbers},
        {QStringLiteral("emailaddresses"), &ABContact::emailaddresses},
        {QStringLiteral("urls"), &ABContact::urls},
        {QStringLiteral("compositeName"), &ABContact::compositeName},
    };
    return getters;
}
} // namespace

ABContact::ABContact(ABRecordRef record) : wrappedRecord(std::move(record)) {}

ABContactRef ABContact::contactWithRecord(const ABRecordRef &record)
{
    return std::make_shared<ABContact>(record);
}

ABContactRef ABContact::contactWithRecordID(ABRecordID recordID)
{
    const ABAddressBookRef addressBook = ABAddressBookCreate();
    const ABRecordRef person = ABAddressBookGetPersonWithRecordID(addressBook, recordID);
    return person ? contactWithRecord(person) : nullptr;
}

ABContactRef ABContact::contact()
{
    return contactWithRecord(ABPersonCreate());
}

ABRecordID ABContact::recordID() const
{
    return ABRecordGetRecordID(wrappedRecord);
}

ABRecordType ABContact::recordType() const
{
    return ABRecordGetRecordType(wrappedRecord);
}

bool ABContact::isPerson() const
{
    return recordType() == kABPersonType;
}

// clang-format off
std::optional<QString> ABContact::firstname() const { return getRecordString(kABPersonFirstNameProperty); }
std::optional<QString> ABContact::lastname() const { return getRecordString(kABPersonLastNameProperty); }
std::optional<QString> ABContact::middlename() const { return getRecordString(kABPersonMiddleNameProperty); }
std::optional<QString> ABContact::prefix() const { return getRecordString(kABPersonPrefixProperty); }
std::optional<QString> ABContact::suffix() const { return getRecordString(kABPersonSuffixProperty); }
std::optional<QString> ABContact::nickname() const { return getRecordString(kABPersonNicknameProperty); }
std::optional<QString> ABContact::firstnamephonetic() const { return getRecordString(kABPersonFirstNamePhoneticProperty); }
std::optional<QString> ABContact::lastnamephonetic() const { return getRecordString(kABPersonLastNamePhoneticProperty); }
std::optional<QString> ABContact::middlenamephonetic() const { return getRecordString(kABPersonMiddleNamePhoneticProperty); }
std::optional<QString> ABContact::organization() const { return getRecordString(kABPersonOrganizationProperty); }
std::optional<QString> ABContact::jobtitle() const { return getRecordString(kABPersonJobTitleProperty); }
std::optional<QString> ABContact::department() const { return getRecordString(kABPersonDepartmentProperty); }
std::optional<QString> ABContact::note() const { return getRecordString(kABPersonNoteProperty); }

void ABContact::setFirstname(const std::optional<QString> &firstname) { setString(firstname, kABPersonFirstNameProperty); }
void ABContact::setLastname(const std::optional<QString> &lastname) { setString(lastname, kABPersonLastNameProperty); }
void ABContact::setMiddlename(const std::optional<QString> &middlename) { setString(middlename, kABPersonMiddleNameProperty); }
void ABContact::setPrefix(const std::optional<QString> &prefix) { setString(prefix, kABPersonPrefixProperty); }
void ABContact::setSuffix(const std::optional<QString> &suffix) { setString(suffix, kABPersonSuffixProperty); }
void ABContact::setNickname(const std::optional<QString> &nickname) { setString(nickname, kABPersonNicknameProperty); }
void ABContact::setFirstnamephonetic(const std::optional<QString> &firstnamephonetic) { setString(firstnamephonetic, kABPersonFirstNamePhoneticProperty); }
void ABContact::setLastnamephonetic(const std::optional<QString> &lastnamephonetic) { setString(lastnamephonetic, kABPersonLastNamePhoneticProperty); }
void ABContact::setMiddlenamephonetic(const std::optional<QString> &middlenamephonetic) { setString(middlenamephonetic, kABPersonMiddleNamePhoneticProperty); }
void ABContact::setOrganization(const std::optional<QString> &organization) { setString(organization, kABPersonOrganizationProperty); }
void ABContact::setJobtitle(const std::optional<QString> &jobtitle) { setString(jobtitle, kABPersonJobTitleProperty); }
void ABContact::setDepartment(const std::optional<QString> &department) { setString(department, kABPersonDepartmentProperty); }
void ABContact::setNote(const std::optional<QString> &note) { setString(note, kABPersonNoteProperty); }

std::optional<QDateTime> ABContact::birthday() const { return getRecordDate(kABPersonBirthdayProperty); }
void ABContact::setBirthday(const std::optional<QDateTime> &birthday) { setDate(birthday, kABPersonBirthdayProperty); }
std::optional<QDateTime> ABContact::creationDate() const { return getRecordDate(kABPersonCreationDateProperty); }
std::optional<QDateTime> ABContact::modificationDate() const { return getRecordDate(kABPersonModificationDateProperty); }

std::optional<QStringList> ABContact::emailArray() const { return stringList(arrayForProperty(kABPersonEmailProperty)); }
QStringList ABContact::emailLabels() const { return labelsForProperty(kABPersonEmailProperty); }
std::optional<QStringList> ABContact::phoneArray() const { return stringList(arrayForProperty(kABPersonPhoneProperty)); }
QStringList ABContact::phoneLabels() const { return labelsForProperty(kABPersonPhoneProperty); }
std::optional<QStringList> ABContact::relatedNameArray() const { return stringList(arrayForProperty(kABPersonRelatedNamesProperty)); }
QStringList ABContact::relatedNameLabels() const { return labelsForProperty(kABPersonRelatedNamesProperty); }
std::optional<QStringList> ABContact::urlArray() const { return stringList(arrayForProperty(kABPersonURLProperty)); }
QStringList ABContact::urlLabels() const { return labelsForProperty(kABPersonURLProperty); }
std::optional<QList<QDateTime>> ABContact::dateArray() const { return convertedList<QDateTime>(arrayForProperty(kABPersonDateProperty)); }
QStringList ABContact::dateLabels() const { return labelsForProperty(kABPersonDateProperty); }
std::optional<QList<QVariantMap>> ABContact::addressArray() const { return convertedList<QVariantMap>(arrayForProperty(kABPersonAddressProperty)); }
QStringList ABContact::addressLabels() const { return labelsForProperty(kABPersonAddressProperty); }
std::optional<QList<QVariantMap>> ABContact::smsArray() const { return convertedList<QVariantMap>(arrayForProperty(kABPersonInstantMessageProperty)); }
QStringList ABContact::smsLabels() const { return labelsForProperty(kABPersonInstantMessageProperty); }

std::optional<QString> ABContact::emailaddresses() const { return joined(emailArray()); }
std::optional<QString> ABContact::phonenumbers() const { return joined(phoneArray()); }
std::optional<QString> ABContact::urls() const { return joined(urlArray()); }

QList<QVariantMap> ABContact::emailDictionaries() const { return dictionaryArrayForProperty(kABPersonEmailProperty); }
QList<QVariantMap> ABContact::phoneDictionaries() const { return dictionaryArrayForProperty(kABPersonPhoneProperty); }
QList<QVariantMap> ABContact::relatedNameDictionaries() const { return dictionaryArrayForProperty(kABPersonRelatedNamesProperty); }
QList<QVariantMap> ABContact::urlDictionaries() const { return dictionaryArrayForProperty(kABPersonURLProperty); }
QList<QVariantMap> ABContact::dateDictionaries() const { return dictionaryArrayForProperty(kABPersonDateProperty); }
QList<QVariantMap> ABContact::addressDictionaries() const { return dictionaryArrayForProperty(kABPersonAddressProperty); }
QList<QVariantMap> ABContact::smsDictionaries() const { return dictionaryArrayForProperty(kABPersonInstantMessageProperty); }

void ABContact::setEmailDictionaries(const QList<QVariantMap> &dictionaries) { setMulti(createMultiValueFromArray(dictionaries, kABMultiStringPropertyType), kABPersonEmailProperty); }
void ABContact::setPhoneDictionaries(const QList<QVariantMap> &dictionaries) { setMulti(createMultiValueFromArray(dictionaries, kABMultiStringPropertyType), kABPersonPhoneProperty); }
void ABContact::setRelatedNameDictionaries(const QList<QVariantMap> &dictionaries) { setMulti(createMultiValueFromArray(dictionaries, kABMultiStringPropertyType), kABPersonRelatedNamesProperty); }
void ABContact::setUrlDictionaries(const QList<QVariantMap> &dictionaries) { setMulti(createMultiValueFromArray(dictionaries, kABMultiStringPropertyType), kABPersonURLProperty); }
void ABContact::setDateDictionaries(const QList<QVariantMap> &dictionaries) { setMulti(createMultiValueFromArray(dictionaries, kABMultiDateTimePropertyType), kABPersonDateProperty); }
void ABContact::setAddressDictionaries(const QList<QVariantMap> &dictionaries) { setMulti(createMultiValueFromArray(dictionaries, kABMultiDictionaryPropertyType), kABPersonAddressProperty); }
void ABContact::setSmsDictionaries(const QList<QVariantMap> &dictionaries) { setMulti(createMultiValueFromArray(dictionaries, kABMultiDictionaryPropertyType), kABPersonInstantMessageProperty); }
// clang-format on

QString ABContact::contactName() const
{
    QString name;
    const std::optional<QString> first = firstname();
    const std::optional<QString> last = lastname();
    if (first || last) {
        if (const std::optional<QString> namePrefix = prefix())
            name += QStringLiteral("%1 ").arg(*namePrefix);
        if (first)
            name += QStringLiteral("%1 ").arg(*first);
        if (const std::optional<QString> nick = nickname())
            name += QStringLiteral("\"%1\" ").arg(*nick);
        if (last)
            name += *last;
        const std::optional<QString> nameSuffix = suffix();
        if (nameSuffix && !name.isEmpty())
            name += QStringLiteral(", %1 ").arg(*nameSuffix);
        else
            name += QLatin1Char(' ');
    }
    if (const std::optional<QString> company = organization())
        name += *company;
    return name.trimmed();
}

std::optional<QString> ABContact::compositeName() const
{
    return ABRecordCopyCompositeName(wrappedRecord);
}

std::optional<QImage> ABContact::image() const
{
    if (!ABPersonHasImageData(wrappedRecord))
        return std::nullopt;
    const QImage picture =
        QImage::fromData(ABPersonCopyImageData(wrappedRecord).value_or(QByteArray()));
    return picture.isNull() ? std::nullopt : std::optional<QImage>(picture);
}

void ABContact::setImage(const std::optional<QImage> &image)
{
    std::optional<ABError> error;
    if (!image) {
        if (ABPersonHasImageData(wrappedRecord) && !ABPersonRemoveImageData(wrappedRecord, &error))
            logError(error);
        return;
    }
    QByteArray png;
    QBuffer buffer(&png);
    buffer.open(QIODevice::WriteOnly);
    image->save(&buffer, "PNG");
    if (!ABPersonSetImageData(wrappedRecord, png, &error))
        logError(error);
}

std::optional<QString> ABContact::getRecordString(ABPropertyID property) const
{
    const std::optional<ABPropertyValue> value = ABRecordCopyValue(wrappedRecord, property);
    const auto *text = value ? std::get_if<QString>(&*value) : nullptr;
    return text ? std::optional<QString>(*text) : std::nullopt;
}

std::optional<QDateTime> ABContact::getRecordDate(ABPropertyID property) const
{
    const std::optional<ABPropertyValue> value = ABRecordCopyValue(wrappedRecord, property);
    const auto *date = value ? std::get_if<QDateTime>(&*value) : nullptr;
    return date ? std::optional<QDateTime>(*date) : std::nullopt;
}

std::optional<QVariantList> ABContact::arrayForProperty(ABPropertyID property) const
{
    return arrayForProperty(property, wrappedRecord);
}

QStringList ABContact::labelsForProperty(ABPropertyID property) const
{
    const std::optional<ABPropertyValue> value = ABRecordCopyValue(wrappedRecord, property);
    const auto *multiValue = value ? std::get_if<ABMultiValueRef>(&*value) : nullptr;
    QStringList labels;
    if (!multiValue)
        return labels;
    for (qsizetype index = 0; index < ABMultiValueGetCount(*multiValue); ++index)
        labels.append(ABMultiValueCopyLabelAtIndex(*multiValue, index).value_or(QString()));
    return labels;
}

QList<QVariantMap> ABContact::dictionaryArrayForProperty(ABPropertyID property) const
{
    const QVariantList values = arrayForProperty(property).value_or(QVariantList());
    const QStringList labels = labelsForProperty(property);
    const qsizetype count = std::min(values.size(), labels.size());
    QList<QVariantMap> dictionaries;
    for (qsizetype index = 0; index < count; ++index)
        dictionaries.append(QVariantMap{{ValueKey, values[index]}, {LabelKey, labels[index]}});
    return dictionaries;
}

bool ABContact::setString(const std::optional<QString> &string, ABPropertyID property)
{
    std::optional<ABError> error;
    const std::optional<ABPropertyValue> value =
        string ? std::optional<ABPropertyValue>(*string) : std::nullopt;
    if (ABRecordSetValue(wrappedRecord, property, value, &error))
        return true;
    logError(error);
    return false;
}

bool ABContact::setDate(const std::optional<QDateTime> &date, ABPropertyID property)
{
    std::optional<ABError> error;
    const std::optional<ABPropertyValue> value =
        date ? std::optional<ABPropertyValue>(*date) : std::nullopt;
    if (ABRecordSetValue(wrappedRecord, property, value, &error))
        return true;
    logError(error);
    return false;
}

bool ABContact::setMulti(const ABMultiValueRef &multi, ABPropertyID property)
{
    std::optional<ABError> error;
    const std::optional<ABPropertyValue> value =
        multi ? std::optional<ABPropertyValue>(multi) : std::nullopt;
    if (ABRecordSetValue(wrappedRecord, property, value, &error))
        return true;
    logError(error);
    return false;
}

ABMutableMultiValueRef ABContact::createMultiValueFromArray(const QList<QVariantMap> &array,
                                                            ABPropertyType type) const
{
    ABMutableMultiValueRef multiValue = ABMultiValueCreateMutable(type);
    for (const QVariantMap &dictionary : array)
        ABMultiValueAddValueAndLabel(multiValue, dictionary.value(ValueKey),
                                     asString(dictionary.value(LabelKey)));
    return multiValue;
}

bool ABContact::removeSelfFromAddressBook(ABErrorOut error)
{
    const ABAddressBookRef addressBook = ABAddressBookCreate();
    if (!ABAddressBookRemoveRecord(addressBook, wrappedRecord, error))
        return false;
    return ABAddressBookSave(addressBook, error);
}

std::optional<QString> ABContact::propertyString(ABPropertyID property)
{
    for (const auto &[identifier, name] : propertyNames()) {
        if (identifier == property)
            return QString::fromLatin1(name);
    }
    return std::nullopt;
}

bool ABContact::propertyIsMultivalue(ABPropertyID property)
{
    const std::vector<ABPropertyID> &single = singleValueProperties();
    return std::find(single.begin(), single.end(), property) == single.end();
}

QString ABContact::propertyTypeString(ABPropertyID property)
{
    switch (propertyType(property)) {
    case kABStringPropertyType:
        return QStringLiteral("String");
    case kABIntegerPropertyType:
        return QStringLiteral("Integer");
    case kABRealPropertyType:
        return QStringLiteral("Float");
    case kABDateTimePropertyType:
        return QStringLiteral("Date");
    case kABDictionaryPropertyType:
        return QStringLiteral("Dictionary");
    case kABMultiStringPropertyType:
        return QStringLiteral("Multi String");
    case kABMultiIntegerPropertyType:
        return QStringLiteral("Multi Integer");
    case kABMultiRealPropertyType:
        return QStringLiteral("Multi Float");
    case kABMultiDateTimePropertyType:
        return QStringLiteral("Multi Date");
    case kABMultiDictionaryPropertyType:
        return QStringLiteral("Multi Dictionary");
    default:
        return QStringLiteral("Invalid Property");
    }
}

ABPropertyType ABContact::propertyType(ABPropertyID property)
{
    return ABPersonGetTypeOfProperty(property);
}

QString ABContact::localizedPropertyName(ABPropertyID property)
{
    return ABPersonCopyLocalizedPropertyName(property);
}

std::optional<ABPropertyValue> ABContact::objectForProperty(ABPropertyID property,
                                                            const ABRecordRef &record)
{
    return ABRecordCopyValue(record, property);
}

std::optional<QVariantList> ABContact::arrayForProperty(ABPropertyID property,
                                                        const ABRecordRef &record)
{
    const std::optional<ABPropertyValue> value = ABRecordCopyValue(record, property);
    const auto *multiValue = value ? std::get_if<ABMultiValueRef>(&*value) : nullptr;
    return multiValue ? ABMultiValueCopyArrayOfAllValues(*multiValue) : std::nullopt;
}

QVariantMap ABContact::dictionaryWithValue(const std::optional<QVariant> &value,
                                           const std::optional<QString> &label)
{
    QVariantMap dictionary;
    if (value)
        dictionary.insert(ValueKey, *value);
    insertPresent(dictionary, LabelKey, label);
    return dictionary;
}

QVariantMap ABContact::smsWithService(const std::optional<QString> &service,
                                      const std::optional<QString> &user)
{
    QVariantMap dictionary;
    insertPresent(dictionary, kABPersonInstantMessageServiceKey, service);
    insertPresent(dictionary, kABPersonInstantMessageUsernameKey, user);
    return dictionary;
}

QVariantMap ABContact::addressWithStreet(const std::optional<QString> &street,
                                         const std::optional<QString> &city,
                                         const std::optional<QString> &state,
                                         const std::optional<QString> &zip,
                                         const std::optional<QString> &country,
                                         const std::optional<QString> &code)
{
    QVariantMap dictionary;
    insertPresent(dictionary, kABPersonAddressStreetKey, street);
    insertPresent(dictionary, kABPersonAddressCityKey, city);
    insertPresent(dictionary, kABPersonAddressStateKey, state);
    insertPresent(dictionary, kABPersonAddressZIPKey, zip);
    insertPresent(dictionary, kABPersonAddressCountryKey, country);
    insertPresent(dictionary, kABPersonAddressCountryCodeKey, code);
    return dictionary;
}

std::optional<QString> ABContact::valueForKey(const QString &key) const
{
    for (const auto &[name, getter] : keyedGetters()) {
        if (name == key)
            return (this->*getter)();
    }
    return std::nullopt;
}
