#include "Platform/AddressBook/ContactsModule.h"

#include "Platform/Files/HelperModule.h"

const ContactsModule *LoadContactsModule(QString *reason)
{
    static const ContactsModule *const module = [] {
        const auto entry = reinterpret_cast<ContactsModuleEntry>(
            ResolveHelperModule(contactsModuleName, contactsModuleSymbol));
        return entry ? entry() : nullptr;
    }();
    if (!module && reason)
        *reason = QStringLiteral("the contacts module %1 cannot be loaded")
                      .arg(QLatin1String(contactsModuleName));
    return module;
}
