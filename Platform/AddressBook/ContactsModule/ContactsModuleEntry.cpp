#include "Platform/AddressBook/ContactsModule.h"
#include "Platform/AddressBook/ContactsModule/PhoneBook.h"
#include "Platform/AddressBook/ContactsModule/VCardParser.h"

namespace {
class Module final : public ContactsModule
{
public:
    VCardFileContents parse(const QByteArray &text) const override { return VCardParse(text); }
    std::unique_ptr<PhoneBookConnection>
    connectPhoneBook(PhoneBookListener *listener) const override
    {
        return std::make_unique<EdsPhoneBook>(listener);
    }
};
} // namespace

extern "C" Q_DECL_EXPORT const ContactsModule *molvaneContactsModule()
{
    static const Module module;
    return &module;
}
