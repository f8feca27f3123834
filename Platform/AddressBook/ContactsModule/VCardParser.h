#pragma once

#include "Platform/AddressBook/VCardFile.h"

typedef struct _EVCard EVCard;

// Every card of a vCard text, through EVCard's parser.
VCardFileContents VCardParse(const QByteArray &text);
// The properties of a card EVCard holds already.
QList<VCardProperty> VCardPropertiesOf(EVCard *card);
