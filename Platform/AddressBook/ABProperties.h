#pragma once

#include <QString>
#include <QtGlobal>

// Identifiers and types of the address book's records and properties. The wrappers compare
// with these names only: the numbers are the platform's business and are kept by the store.

using ABRecordID = qint32;
using ABRecordType = quint32;
using ABPropertyID = qint32;
using ABPropertyType = quint32;
using ABMultiValueIdentifier = qint32;
using ABPersonSortOrdering = quint32;
using ABPersonCompositeNameFormat = quint32;

inline constexpr ABRecordID kABRecordInvalidID = -1;
inline constexpr ABPropertyID kABPropertyInvalidID = -1;

inline constexpr ABRecordType kABPersonType = 0;
inline constexpr ABRecordType kABGroupType = 1;

inline constexpr ABPropertyType kABInvalidPropertyType = 0x0;
inline constexpr ABPropertyType kABStringPropertyType = 0x1;
inline constexpr ABPropertyType kABIntegerPropertyType = 0x2;
inline constexpr ABPropertyType kABRealPropertyType = 0x3;
inline constexpr ABPropertyType kABDateTimePropertyType = 0x4;
inline constexpr ABPropertyType kABDictionaryPropertyType = 0x5;
inline constexpr ABPropertyType kABMultiValueMask = 0x100;
inline constexpr ABPropertyType kABMultiStringPropertyType =
    kABMultiValueMask | kABStringPropertyType;
inline constexpr ABPropertyType kABMultiIntegerPropertyType =
    kABMultiValueMask | kABIntegerPropertyType;
inline constexpr ABPropertyType kABMultiRealPropertyType = kABMultiValueMask | kABRealPropertyType;
inline constexpr ABPropertyType kABMultiDateTimePropertyType =
    kABMultiValueMask | kABDateTimePropertyType;
inline constexpr ABPropertyType kABMultiDictionaryPropertyType =
    kABMultiValueMask | kABDictionaryPropertyType;

inline constexpr ABPersonCompositeNameFormat kABPersonCompositeNameFormatFirstNameFirst = 0;
inline constexpr ABPersonCompositeNameFormat kABPersonCompositeNameFormatLastNameFirst = 1;

inline constexpr ABPersonSortOrdering kABPersonSortByFirstName = 0;
inline constexpr ABPersonSortOrdering kABPersonSortByLastName = 1;

// Person properties.
extern const ABPropertyID kABPersonFirstNameProperty;
extern const ABPropertyID kABPersonLastNameProperty;
extern const ABPropertyID kABPersonMiddleNameProperty;
extern const ABPropertyID kABPersonPrefixProperty;
extern const ABPropertyID kABPersonSuffixProperty;
extern const ABPropertyID kABPersonNicknameProperty;
extern const ABPropertyID kABPersonFirstNamePhoneticProperty;
extern const ABPropertyID kABPersonLastNamePhoneticProperty;
extern const ABPropertyID kABPersonMiddleNamePhoneticProperty;
extern const ABPropertyID kABPersonOrganizationProperty;
extern const ABPropertyID kABPersonJobTitleProperty;
extern const ABPropertyID kABPersonDepartmentProperty;
extern const ABPropertyID kABPersonEmailProperty;
extern const ABPropertyID kABPersonBirthdayProperty;
extern const ABPropertyID kABPersonNoteProperty;
extern const ABPropertyID kABPersonCreationDateProperty;
extern const ABPropertyID kABPersonModificationDateProperty;
extern const ABPropertyID kABPersonAddressProperty;
extern const ABPropertyID kABPersonDateProperty;
extern const ABPropertyID kABPersonKindProperty;
extern const ABPropertyID kABPersonPhoneProperty;
extern const ABPropertyID kABPersonInstantMessageProperty;
extern const ABPropertyID kABPersonURLProperty;
extern const ABPropertyID kABPersonRelatedNamesProperty;
// Group properties.
extern const ABPropertyID kABGroupNameProperty;

// Values of kABPersonKindProperty.
inline constexpr qint64 kABPersonKindPerson = 0;
inline constexpr qint64 kABPersonKindOrganization = 1;

// Keys of the dictionaries stored in the address and instant-message properties.
extern const QString kABPersonAddressStreetKey;
extern const QString kABPersonAddressCityKey;
extern const QString kABPersonAddressStateKey;
extern const QString kABPersonAddressZIPKey;
extern const QString kABPersonAddressCountryKey;
extern const QString kABPersonAddressCountryCodeKey;
extern const QString kABPersonInstantMessageServiceKey;
extern const QString kABPersonInstantMessageUsernameKey;

// Instant-message services.
extern const QString kABPersonInstantMessageServiceAIM;
extern const QString kABPersonInstantMessageServiceFacebook;
extern const QString kABPersonInstantMessageServiceGaduGadu;
extern const QString kABPersonInstantMessageServiceGoogleTalk;
extern const QString kABPersonInstantMessageServiceICQ;
extern const QString kABPersonInstantMessageServiceJabber;
extern const QString kABPersonInstantMessageServiceMSN;
extern const QString kABPersonInstantMessageServiceQQ;
extern const QString kABPersonInstantMessageServiceSkype;
extern const QString kABPersonInstantMessageServiceYahoo;

// Labels of multi-value entries.
extern const QString kABHomeLabel;
extern const QString kABWorkLabel;
extern const QString kABOtherLabel;
extern const QString kABPersonPhoneMobileLabel;
extern const QString kABPersonPhoneMainLabel;
extern const QString kABPersonPhoneHomeFAXLabel;
extern const QString kABPersonPhoneWorkFAXLabel;
extern const QString kABPersonPhoneOtherFAXLabel;
extern const QString kABPersonPhonePagerLabel;
extern const QString kABPersonHomePageLabel;
extern const QString kABPersonAnniversaryLabel;
extern const QString kABPersonSpouseLabel;
extern const QString kABPersonPartnerLabel;
extern const QString kABPersonParentLabel;
extern const QString kABPersonChildLabel;
extern const QString kABPersonFriendLabel;
extern const QString kABPersonManagerLabel;
extern const QString kABPersonAssistantLabel;

// What the platform knows of a property: the kind of record that has it and its value type.
struct ABPropertyDescription
{
    ABPropertyID property;
    ABRecordType recordType;
    ABPropertyType type;
    const char *localizedName;
    // Creation and modification dates are kept by the store and cannot be written.
    bool keptByStore;
};

// The description of a property, or nullptr for an identifier the platform does not know.
const ABPropertyDescription *ABPropertyDescribe(ABPropertyID property);

ABPropertyType ABPersonGetTypeOfProperty(ABPropertyID property);
// The name people see for a property; empty for an unknown identifier.
QString ABPersonCopyLocalizedPropertyName(ABPropertyID property);
