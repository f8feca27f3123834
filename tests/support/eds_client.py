#!/usr/bin/python3
"""Another app on the session bus: reads and writes the default evolution-data-server address
book, as a contacts app would. Every command that returns data prints one JSON line.

  add FILE.vcf             the file's vCard 3.0 cards; prints their UIDs
  add-json                 stdin: [{"given", "family", "phones": [[kind, number]], "categories"}],
                           kind one of cell, home, work, voice; prints the UIDs
  fill N                   N contacts with distinct Latin and Cyrillic names; prints the UIDs
  modify UID FIELD VALUE   FIELD: given, family (the full name follows), fn, phone (the first
                           number), or any other text field by its EContact name (nickname, ...)
  remove UID...
  remove-all
  list                     [{"uid", "name", "phones": [{"types", "number"}], "categories",
                           "photo": null, "inline" or "uri"}], sorted by name
"""

import json
import re
import sys

import gi

gi.require_version("EDataServer", "1.2")
gi.require_version("EBook", "1.2")
gi.require_version("EBookContacts", "1.2")
from gi.repository import EBook, EBookContacts, EDataServer  # noqa: E402

Field = EBookContacts.ContactField
NO_FLAGS = EBookContacts.BookOperationFlags.NONE
ALL = EBookContacts.BookQuery.any_field_contains("").to_string()
BATCH = 1000

# How a contacts app types each kind of number it saves.
PHONE_TYPES = {
    "cell": "CELL",
    "home": "HOME,VOICE",
    "work": "WORK,VOICE",
    "voice": "VOICE",
}


def escape(value):
    return re.sub(r"([\\,;])", r"\\\1", value).replace("\n", "\\n")


def make_contact(given, family, phones, categories=()):
    lines = [
        "BEGIN:VCARD",
        "VERSION:3.0",
        f"N:{escape(family)};{escape(given)};;;",
        "FN:" + escape(" ".join(part for part in (given, family) if part)),
    ]
    lines += [f"TEL;TYPE={PHONE_TYPES[kind]}:{escape(number)}" for kind, number in phones]
    if categories:
        lines.append("CATEGORIES:" + ",".join(escape(name) for name in categories))
    lines.append("END:VCARD")
    return EBookContacts.Contact.new_from_vcard("\r\n".join(lines))


def add(client, contacts):
    uids = []
    for start in range(0, len(contacts), BATCH):
        ok, added = client.add_contacts_sync(contacts[start : start + BATCH], NO_FLAGS, None)
        uids += added
    print(json.dumps(uids))


def add_file(client, path):
    with open(path, encoding="utf-8") as file:
        cards = re.findall(r"BEGIN:VCARD.*?END:VCARD", file.read(), re.DOTALL | re.IGNORECASE)
    add(client, [EBookContacts.Contact.new_from_vcard(card) for card in cards])


def add_json(client):
    add(
        client,
        [
            make_contact(
                entry.get("given", ""),
                entry.get("family", ""),
                entry.get("phones", []),
                entry.get("categories", []),
            )
            for entry in json.load(sys.stdin)
        ],
    )


GIVEN = [
    "Anna Boris Clara David Elena Felix Greta Hugo Irene Jonas".split(),
    "Алина Богдан Вера Глеб Дарья Егор Жанна Зоя Игорь Ксения".split(),
]
SYLLABLES = [
    "ba ko li mer no pa ri san to vel ya zu".split(),
    "ба ко ли мер но па ри сан то вел я зу".split(),
]


def family_name(number, syllables):
    # Number written in syllables, at least two, so that no two numbers share a name.
    parts = []
    while number or len(parts) < 2:
        number, digit = divmod(number, len(syllables))
        parts.append(syllables[digit])
    return "".join(parts).capitalize()


def fill(client, count):
    contacts = []
    for i in range(int(count)):
        script, k = i % 2, i // 2
        given = GIVEN[script][k % len(GIVEN[script])]
        family = family_name(k // len(GIVEN[script]), SYLLABLES[script])
        phones = [("cell", f"+7 916 {i:07d}")]
        if i % 3 == 0:
            phones.append(("home" if i % 2 else "work", f"+7 495 {i:07d}"))
        contacts.append(make_contact(given, family, phones))
    add(client, contacts)


def modify(client, uid, field, value):
    ok, contact = client.get_contact_sync(uid, None)
    if field == "phone":
        numbers = contact.get_attributes(Field.TEL)
        # The old number's E.164 form would outlive it.
        numbers[0].remove_param("X-EVOLUTION-E164")
        numbers[0].remove_values()
        numbers[0].add_value(value)
        contact.set_attributes(Field.TEL, numbers)
    else:
        name = {"given": "given_name", "family": "family_name", "fn": "full_name"}.get(field, field)
        contact.set_property(name.replace("_", "-"), value)
        if field in ("given", "family"):
            parts = (contact.props.given_name, contact.props.family_name)
            contact.props.full_name = " ".join(part for part in parts if part)
    client.modify_contact_sync(contact, NO_FLAGS, None)


def remove(client, *uids):
    if uids:
        client.remove_contacts_sync(list(uids), NO_FLAGS, None)


def describe(contact):
    categories = contact.get_attribute("CATEGORIES")
    photo = contact.get_attribute("PHOTO")
    if photo:
        # The local backend keeps a photo it was given inline as a file of its own.
        values = [value.upper() for value in photo.get_param("VALUE") or []]
        photo = "uri" if "URI" in values else "inline"
    return {
        "uid": contact.props.id,
        "name": contact.props.full_name,
        "phones": [
            {
                "types": [t.upper() for t in attribute.get_param("TYPE") or []],
                "number": attribute.get_value(),
            }
            for attribute in contact.get_attributes(Field.TEL)
        ],
        "categories": categories.get_values() if categories else [],
        "photo": photo,
    }


def list_contacts(client):
    ok, contacts = client.get_contacts_sync(ALL, None)
    described = sorted((describe(c) for c in contacts), key=lambda c: c["name"] or "")
    print(json.dumps(described, ensure_ascii=False))


def remove_all(client):
    ok, uids = client.get_contacts_uids_sync(ALL, None)
    remove(client, *uids)


COMMANDS = {
    "add": add_file,
    "add-json": add_json,
    "fill": fill,
    "modify": modify,
    "remove": remove,
    "remove-all": remove_all,
    "list": list_contacts,
}


def main(argv):
    if len(argv) < 2 or argv[1] not in COMMANDS:
        sys.exit(__doc__)
    registry = EDataServer.SourceRegistry.new_sync(None)
    source = registry.ref_default_address_book()
    if source is None:
        sys.exit("no address book: is evolution-source-registry running?")
    # Without a main loop, waiting for "connected" sleeps the whole timeout; (guint32) -1 skips it.
    client = EBook.BookClient.connect_sync(source, 2**32 - 1, None)
    COMMANDS[argv[1]](client, *argv[2:])


if __name__ == "__main__":
    main(sys.argv)
