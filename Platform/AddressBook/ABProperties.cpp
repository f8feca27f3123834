#include "Platform/AddressBook/ABProperties.h"

#include <array>

// The identifiers are written into the address-book file: never renumber one.
const ABPropertyID kABPersonFirstNameProperty = 0;
const ABPropertyID kABPersonLastNameProperty = 1;
const ABPropertyID kABPersonMiddleNameProperty = 6;
const ABPropertyID kABPersonPrefixProperty = 10;
const ABPropertyID kABPersonSuffixProperty = 11;
const ABPropertyID kABPersonNicknameProperty = 19;
const ABPropertyID kABPersonFirstNamePhoneticProperty = 7;
const ABPropertyID kABPersonLastNamePhoneticProperty = 8;
const ABPropertyID kABPersonMiddleNamePhoneticProperty = 9;
const ABPropertyID kABPersonOrganizationProperty = 14;
const ABPropertyID kABPersonJobTitleProperty = 18;
const ABPropertyID kABPersonDepartmentProperty = 15;
const ABPropertyID kABPersonEmailProperty = 4;
const ABPropertyID kABPersonBirthdayProperty = 17;
const ABPropertyID kABPersonNoteProperty = 16;
const ABPropertyID kABPersonCreationDateProperty = 27;
const ABPropertyID kABPersonModificationDateProperty = 28;
const ABPropertyID kABPersonAddressProperty = 5;
const ABPropertyID kABPersonDateProperty = 12;
const ABPropertyID kABPersonKindProperty = 13;
const ABPropertyID kABPersonPhoneProperty = 3;
const ABPropertyID kABPersonInstantMessageProperty = 20;
const ABPropertyID kABPersonURLProperty = 22;
const ABPropertyID kABPersonRelatedNamesProperty = 23;
const ABPropertyID kABGroupNameProperty = 1000;

const QString kABPersonAddressStreetKey = QStringLiteral("Street");
const QString kABPersonAddressCityKey = QStringLiteral("City");
const QString kABPersonAddressStateKey = QStringLiteral("State");
const QString kABPersonAddressZIPKey = QStringLiteral("ZIP");
const QString kABPersonAddressCountryKey = QStringLiteral("Country");
const QString kABPersonAddressCountryCodeKey = QStringLiteral("CountryCode");
const QString kABPersonInstantMessageServiceKey = QStringLiteral("service");
const QString kABPersonInstantMessageUsernameKey = QStringLiteral("username");

const QString kABPersonInstantMessageServiceAIM = QStringLiteral("AIM");
const QString kABPersonInstantMessageServiceFacebook = QStringLiteral("Facebook");
const QString kABPersonInstantMessageServiceGaduGadu = QStringLiteral("GaduGadu");
const QString kABPersonInstantMessageServiceGoogleTalk = QStringLiteral("GoogleTalk");
const QString kABPersonInstantMessageServiceICQ = QStringLiteral("ICQ");
const QString kABPersonInstantMessageServiceJabber = QStringLiteral("Jabber");
const QString kABPersonInstantMessageServiceMSN = QStringLiteral("MSN");
const QString kABPersonInstantMessageServiceQQ = QStringLiteral("QQ");
const QString kABPersonInstantMessageServiceSkype = QStringLiteral("Skype");
const QString kABPersonInstantMessageServiceYahoo = QStringLiteral("Yahoo");

const QString kABHomeLabel = QStringLiteral("home");
const QString kABWorkLabel = QStringLiteral("work");
const QString kABOtherLabel = QStringLiteral("other");
const QString kABPersonPhoneMobileLabel = QStringLiteral("mobile");
const QString kABPersonPhoneMainLabel = QStringLiteral("main");
const QString kABPersonPhoneHomeFAXLabel = QStringLiteral("home fax");
const QString kABPersonPhoneWorkFAXLabel = QStringLiteral("work fax");
const QString kABPersonPhoneOtherFAXLabel = QStringLiteral("other fax");
const QString kABPersonPhonePagerLabel = QStringLiteral("pager");
const QString kABPersonHomePageLabel = QStringLiteral("homepage");
const QString kABPersonAnniversaryLabel = QStringLiteral("anniversary");
const QString kABPersonSpouseLabel = QStringLiteral("spouse");
const QString kABPersonPartnerLabel = QStringLiteral("partner");
const QString kABPersonParentLabel = QStringLiteral("parent");
const QString kABPersonChildLabel = QStringLiteral("child");
const QString kABPersonFriendLabel = QStringLiteral("friend");
const QString kABPersonManagerLabel = QStringLiteral("manager");
const QString kABPersonAssistantLabel = QStringLiteral("assistant");

namespace {
const std::array<ABPropertyDescription, 25> &propertyTable()
{
    static const std::array<ABPropertyDescription, 25> table{{
        {kABPersonFirstNameProperty, kABPersonType, kABStringPropertyType, "First name", false},
        {kABPersonLastNameProperty, kABPersonType, kABStringPropertyType, "Last name", false},
        {kABPersonMiddleNameProperty, kABPersonType, kABStringPropertyType, "Middle name", false},
        {kABPersonPrefixProperty, kABPersonType, kABStringPropertyType, "Prefix", false},
        {kABPersonSuffixProperty, kABPersonType, kABStringPropertyType, "Suffix", false},
        {kABPersonNicknameProperty, kABPersonType, kABStringPropertyType, "Nickname", false},
        {kABPersonFirstNamePhoneticProperty, kABPersonType, kABStringPropertyType,
         "First name (phonetic)", false},
        {kABPersonLastNamePhoneticProperty, kABPersonType, kABStringPropertyType,
         "Last name (phonetic)", false},
        {kABPersonMiddleNamePhoneticProperty, kABPersonType, kABStringPropertyType,
         "Middle name (phonetic)", false},
        {kABPersonOrganizationProperty, kABPersonType, kABStringPropertyType, "Company", false},
        {kABPersonJobTitleProperty, kABPersonType, kABStringPropertyType, "Job title", false},
        {kABPersonDepartmentProperty, kABPersonType, kABStringPropertyType, "Department", false},
        {kABPersonEmailProperty, kABPersonType, kABMultiStringPropertyType, "Email", false},
        {kABPersonBirthdayProperty, kABPersonType, kABDateTimePropertyType, "Birthday", false},
        {kABPersonNoteProperty, kABPersonType, kABStringPropertyType, "Notes", false},
        {kABPersonCreationDateProperty, kABPersonType, kABDateTimePropertyType, "Created", true},
        {kABPersonModificationDateProperty, kABPersonType, kABDateTimePropertyType, "Modified",
         true},
        {kABPersonAddressProperty, kABPersonType, kABMultiDictionaryPropertyType, "Address", false},
        {kABPersonDateProperty, kABPersonType, kABMultiDateTimePropertyType, "Dates", false},
        {kABPersonKindProperty, kABPersonType, kABIntegerPropertyType, "Kind", false},
        {kABPersonPhoneProperty, kABPersonType, kABMultiStringPropertyType, "Phone", false},
        {kABPersonInstantMessageProperty, kABPersonType, kABMultiDictionaryPropertyType,
         "Instant message", false},
        {kABPersonURLProperty, kABPersonType, kABMultiStringPropertyType, "Web page", false},
        {kABPersonRelatedNamesProperty, kABPersonType, kABMultiStringPropertyType, "Related people",
         false},
        {kABGroupNameProperty, kABGroupType, kABStringPropertyType, "Group name", false},
    }};
    return table;
}
} // namespace

const ABPropertyDescription *ABPropertyDescribe(ABPropertyID property)
{
    for (const ABPropertyDescription &description : propertyTable()) {
        if (description.property == property)
            return &description;
    }
    return nullptr;
}

ABPropertyType ABPersonGetTypeOfProperty(ABPropertyID property)
{
    const ABPropertyDescription *description = ABPropertyDescribe(property);
    if (!description || description->recordType != kABPersonType)
        return kABInvalidPropertyType;
    return description->type;
}

QString ABPersonCopyLocalizedPropertyName(ABPropertyID property)
{
    const ABPropertyDescription *description = ABPropertyDescribe(property);
    if (!description)
        return {};
    return QString::fromLatin1(description->localizedName);
}
