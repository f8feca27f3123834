#pragma once

// Evolution-data-server's headers, as system headers: they use names Qt reserves (signals) and
// declarations our warnings reject. EVCard's headers insist on the umbrella header, which pulls
// in the whole client; the parser alone needs this one declaration first.
#pragma GCC system_header
#define __LIBEBOOK_CONTACTS_H_INSIDE__
#include <libebook-contacts/e-vcard.h>
#undef __LIBEBOOK_CONTACTS_H_INSIDE__
#include <libebook/libebook.h>
