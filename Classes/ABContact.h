#pragma once

#include "Platform/AddressBook/ABError.h"
#include "Platform/AddressBook/ABMultiValue.h"
#include "Platform/AddressBook/ABRecord.h"
#include "Platform/AddressBook/NSPredicate.h"

#include <QDateTime>
#include <QImage>
#include <QList>
#include <QString>
#include <QStringList>
#include <QVariantMap>
#include <memory>
#include <optional>

class ABContact;
// Wrappers are shared: whoever holds one keeps it alive.
using ABContactRef = std::shared_ptr<ABContact>;

// One person of the address book, its fields as plain values. Setters change the record only;
// nothing is saved until the record is added to, or removed from, an address book and saved.
class ABContact : public NSKeyValueCoding
{
public:
    // Takes its own reference on the record.
    explicit ABContact(ABRecordRef record);

    static ABContactRef contactWithRecord(const ABRecordRef &record);
    // Null when no person has that identifier.
    static ABContactRef contactWithRecordID(ABRecordID recordID);
    // A new, empty person that belongs to no address book yet.
    static ABContactRef contact();

    ABRecordRef record() const { return wrappedRecord; }
    ABRecordID recordID() const;
    ABRecordType recordType() const;
    bool isPerson() const;

    std::optional<QString> firstname() const;
    std::optional<QString> lastname() const;
    std::optional<QString> middlename() const;
    std::optional<QString> prefix() const;
    std::optional<QString> suffix() const;
    std::optional<QString> nickname() const;
    std::optional<QString> firstnamephonetic() const;
    std::optional<QString> lastnamephonetic() const;
    std::optional<QString> middlenamephonetic() const;
    std::optional<QString> organization() const;
    std::optional<QString> jobtitle() const;
    std::optional<QString> department() const;
    std::optional<QString> note() const;
    void setFirstname(const std::optional<QString> &firstname);
    void setLastname(const std::optional<QString> &lastname);
    void setMiddlename(const std::optional<QString> &middlename);
    void setPrefix(const std::optional<QString> &prefix);
    void setSuffix(const std::optional<QString> &suffix);
    void setNickname(const std::optional<QString> &nickname);
    void setFirstnamephonetic(const std::optional<QString> &firstnamephonetic);
    void setLastnamephonetic(const std::optional<QString> &lastnamephonetic);
    void setMiddlenamephonetic(const std::optional<QString> &middlenamephonetic);
    void setOrganization(const std::optional<QString> &organization);
    void setJobtitle(const std::optional<QString> &jobtitle);
    void setDepartment(const std::optional<QString> &department);
    void setNote(const std::optional<QString> &note);

    // The display name: prefix, first name, "nickname", last name, ", suffix", organization.
    QString contactName() const;
    std::optional<QString> compositeName() const;

    std::optional<QDateTime> birthday() const;
    void setBirthday(const std::optional<QDateTime> &birthday);
    std::optional<QDateTime> creationDate() const;
    std::optional<QDateTime> modificationDate() const;

    std::optional<QStringList> emailArray() const;
    QStringList emailLabels() const;
    std::optional<QStringList> phoneArray() const;
    QStringList phoneLabels() const;
    std::optional<QStringList> relatedNameArray() const;
    QStringList relatedNameLabels() const;
    std::optional<QStringList> urlArray() const;
    QStringList urlLabels() const;
    std::optional<QList<QDateTime>> dateArray() const;
    QStringList dateLabels() const;
    std::optional<QList<QVariantMap>> addressArray() const;
    QStringList addressLabels() const;
    std::optional<QList<QVariantMap>> smsArray() const;
    QStringList smsLabels() const;

    // The values joined with single spaces; nothing when there are none.
    std::optional<QString> emailaddresses() const;
    std::optional<QString> phonenumbers() const;
    std::optional<QString> urls() const;

    QList<QVariantMap> emailDictionaries() const;
    QList<QVariantMap> phoneDictionaries() const;
    QList<QVariantMap> relatedNameDictionaries() const;
    QList<QVariantMap> urlDictionaries() const;
    QList<QVariantMap> dateDictionaries() const;
    QList<QVariantMap> addressDictionaries() const;
    QList<QVariantMap> smsDictionaries() const;
    void setEmailDictionaries(const QList<QVariantMap> &dictionaries);
    void setPhoneDictionaries(const QList<QVariantMap> &dictionaries);
    void setRelatedNameDictionaries(const QList<QVariantMap> &dictionaries);
    void setUrlDictionaries(const QList<QVariantMap> &dictionaries);
    void setDateDictionaries(const QList<QVariantMap> &dictionaries);
    void setAddressDictionaries(const QList<QVariantMap> &dictionaries);
    void setSmsDictionaries(const QList<QVariantMap> &dictionaries);

    std::optional<QImage> image() const;
    // Stores the picture as PNG; nothing deletes the stored picture.
    void setImage(const std::optional<QImage> &image);

    std::optional<QString> getRecordString(ABPropertyID property) const;
    std::optional<QDateTime> getRecordDate(ABPropertyID property) const;
    std::optional<QVariantList> arrayForProperty(ABPropertyID property) const;
    // The entries' labels; an entry without a label gives "".
    QStringList labelsForProperty(ABPropertyID property) const;
    QList<QVariantMap> dictionaryArrayForProperty(ABPropertyID property) const;

    bool setString(const std::optional<QString> &string, ABPropertyID property);
    bool setDate(const std::optional<QDateTime> &date, ABPropertyID property);
    bool setMulti(const ABMultiValueRef &multi, ABPropertyID property);
    ABMutableMultiValueRef createMultiValueFromArray(const QList<QVariantMap> &array,
                                                     ABPropertyType type) const;

    bool removeSelfFromAddressBook(ABErrorOut error);

    static std::optional<QString> propertyString(ABPropertyID property);
    static bool propertyIsMultivalue(ABPropertyID property);
    static QString propertyTypeString(ABPropertyID property);
    static ABPropertyType propertyType(ABPropertyID property);
    static QString localizedPropertyName(ABPropertyID property);
    static std::optional<ABPropertyValue> objectForProperty(ABPropertyID property,
                                                            const ABRecordRef &record);
    static std::optional<QVariantList> arrayForProperty(ABPropertyID property,
                                                        const ABRecordRef &record);

    static QVariantMap dictionaryWithValue(const std::optional<QVariant> &value,
                                           const std::optional<QString> &label);
    static QVariantMap smsWithService(const std::optional<QString> &service,
                                      const std::optional<QString> &user);
    static QVariantMap
    addressWithStreet(const std::optional<QString> &street, const std::optional<QString> &city,
                      const std::optional<QString> &state, const std::optional<QString> &zip,
                      const std::optional<QString> &country, const std::optional<QString> &code);

    // The string properties by name, for predicates: "firstname", "phonenumbers" ...
    std::optional<QString> valueForKey(const QString &key) const override;

private:
    ABRecordRef wrappedRecord;
};
