#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>
#include <utility>

// One property of a card as the parser gives it: escapes, folding, quoted-printable and
// character sets already undone.
struct VCardProperty
{
    QString name;                                      // upper case: "TEL", "X-JABBER"
    QList<std::pair<QString, QStringList>> parameters; // names upper case, values as written
    QStringList values;                                // the ";"-separated parts
    std::optional<QByteArray> decoded;                 // the bytes of a base64-encoded value
    bool verbatim = false;                             // a URI: written without text escapes
    char separator = ';';                              // ',' for lists such as CATEGORIES

    // All values of the parameter, split at commas.
    QStringList parameter(const QString &name) const;
    // The lower-case TYPE values: "cell", "home" ...
    QStringList types() const;
    // The values joined back as one text.
    QString text() const;
};

struct VCard
{
    int number;    // 1 for the first card of its file
    int firstLine; // where its BEGIN:VCARD stands
    QList<VCardProperty> properties;
    QStringList parserWarnings;
};

struct VCardFileContents
{
    QList<VCard> cards;
    // Cards that could not be taken whole, with the reason.
    QStringList unreadable;
};

// Reads every card of a .vcf file (vCard 2.1, 3.0 or 4.0). Nothing, with the reason, when the
// file cannot be read at all: missing, too large, not text, or holding no card.
std::optional<VCardFileContents> VCardReadFile(const QString &path, QString *reason);

enum class VCardVersion
{
    V30, // what the phone's address books take
    V40,
};

// A card's properties written as a vCard text.
QByteArray VCardWrite(const QList<VCardProperty> &properties,
                      VCardVersion version = VCardVersion::V40);
