#include "Platform/AddressBook/VCardFile.h"

#include "Platform/Files/ReadFileBounded.h"

#include <QFile>
#include <memory>

// EVCard's headers insist on being reached through the library's umbrella header, which pulls
// in much more than the parser; this is the one declaration the umbrella adds before them.
#define __LIBEBOOK_CONTACTS_H_INSIDE__
#include <libebook-contacts/e-vcard.h>
#undef __LIBEBOOK_CONTACTS_H_INSIDE__

namespace {
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;
constexpr int MaxLineOctets = 75;

struct GFreeDeleter
{
    void operator()(gchar *text) const { g_free(text); }
};
using GText = std::unique_ptr<gchar, GFreeDeleter>;

// The parser reports oddities of a card through GLib's log; they are collected for the report.
class ParserWarnings
{
public:
    explicit ParserWarnings(QStringList &into)
    {
        handler = g_log_set_handler(
            "libebook-contacts",
            GLogLevelFlags(G_LOG_LEVEL_CRITICAL | G_LOG_LEVEL_WARNING | G_LOG_LEVEL_MESSAGE),
            &ParserWarnings::collect, &into);
    }
    ~ParserWarnings() { g_log_remove_handler("libebook-contacts", handler); }
    ParserWarnings(const ParserWarnings &) = delete;
    ParserWarnings &operator=(const ParserWarnings &) = delete;

private:
    static void collect(const gchar *, GLogLevelFlags, const gchar *message, gpointer data)
    {
        static_cast<QStringList *>(data)->append(QString::fromUtf8(message));
    }
    guint handler;
};

QString fromGText(const gchar *text)
{
    return QString::fromUtf8(text ? text : "");
}

bool isMarker(const QByteArray &line, const char *marker)
{
    return line.trimmed().compare(marker, Qt::CaseInsensitive) == 0;
}

QList<std::pair<QString, QStringList>> parametersOf(EVCardAttribute *attribute)
{
    QList<std::pair<QString, QStringList>> parameters;
    for (GList *item = e_vcard_attribute_get_params(attribute); item; item = item->next) {
        auto *parameter = static_cast<EVCardAttributeParam *>(item->data);
        QStringList values;
        for (GList *value = e_vcard_attribute_param_get_values(parameter); value;
             value = value->next)
            values.append(fromGText(static_cast<const gchar *>(value->data)));
        parameters.append(
            {fromGText(e_vcard_attribute_param_get_name(parameter)).toUpper(), values});
    }
    return parameters;
}

VCardProperty propertyOf(EVCardAttribute *attribute)
{
    VCardProperty property;
    property.name = fromGText(e_vcard_attribute_get_name(attribute)).toUpper();
    property.parameters = parametersOf(attribute);
    for (GList *value = e_vcard_attribute_get_values(attribute); value; value = value->next)
        property.values.append(fromGText(static_cast<const gchar *>(value->data)));
    const QString encoding = property.parameter(QStringLiteral("ENCODING")).value(0).toLower();
    if (encoding == QLatin1String("b") || encoding == QLatin1String("base64")) {
        GList *decoded = e_vcard_attribute_get_values_decoded(attribute);
        if (decoded) {
            const auto *bytes = static_cast<const GString *>(decoded->data);
            property.decoded = QByteArray(bytes->str, qsizetype(bytes->len));
        }
    }
    return property;
}

VCard parseCard(const QByteArray &text, int number, int firstLine)
{
    VCard card{number, firstLine, {}, {}};
    ParserWarnings warnings(card.parserWarnings);
    EVCard *parsed = e_vcard_new_from_string(text.constData());
    for (GList *item = e_vcard_get_attributes(parsed); item; item = item->next)
        card.properties.append(propertyOf(static_cast<EVCardAttribute *>(item->data)));
    g_object_unref(parsed);
    return card;
}

// Splits the file into the text of each card. Only the BEGIN and END lines are looked at; the
// parser reads everything between them. Cards nested in a property (2.1 AGENT) stay inside.
VCardFileContents splitAndParse(const QByteArray &bytes)
{
    VCardFileContents contents;
    const QList<QByteArray> lines = bytes.split('\n');
    int depth = 0;
    int firstLine = 0;
    QByteArray card;
    for (int index = 0; index < lines.size(); ++index) {
        const QByteArray line =
            lines[index].endsWith('\r') ? lines[index].chopped(1) : lines[index];
        if (isMarker(line, "BEGIN:VCARD") && depth++ == 0) {
            firstLine = index + 1;
            card.clear();
        }
        if (depth > 0)
            card += line + "\r\n";
        if (isMarker(line, "END:VCARD") && depth > 0 && --depth == 0)
            contents.cards.append(parseCard(card, int(contents.cards.size()) + 1, firstLine));
    }
    if (depth > 0)
        contents.unreadable.append(
            QStringLiteral("the card that begins on line %1 has no END:VCARD (the file is cut "
                           "short?)")
                .arg(firstLine));
    return contents;
}

QByteArray escapedValue(const QString &value, bool verbatim)
{
    if (verbatim)
        return value.toUtf8();
    const GText escaped(e_vcard_escape_string(value.toUtf8().constData()));
    return QByteArray(escaped.get());
}

QByteArray parameterValue(const QString &value)
{
    const QByteArray utf8 = value.toUtf8();
    const bool needsQuotes = utf8.contains(':') || utf8.contains(';') || utf8.contains(',');
    return needsQuotes ? '"' + QByteArray(utf8).replace('"', '\'') + '"' : utf8;
}

// Lines longer than 75 octets continue on lines that begin with a space, never inside a
// UTF-8 sequence.
QByteArray folded(const QByteArray &line)
{
    QByteArray result;
    qsizetype start = 0;
    int limit = MaxLineOctets;
    while (line.size() - start > limit) {
        qsizetype end = start + limit;
        while (end > start && (uchar(line[end]) & 0xC0) == 0x80)
            --end;
        result += line.mid(start, end - start) + "\r\n ";
        start = end;
        limit = MaxLineOctets - 1;
    }
    return result + line.mid(start) + "\r\n";
}

QByteArray propertyLine(const VCardProperty &property)
{
    QByteArray line = property.name.toUtf8();
    for (const auto &[name, values] : property.parameters) {
        QList<QByteArray> written;
        for (const QString &value : values)
            written.append(parameterValue(value));
        line += ';' + name.toUtf8() + '=' + written.join(',');
    }
    QList<QByteArray> values;
    for (const QString &value : property.values)
        values.append(escapedValue(value, property.verbatim));
    return folded(line + ':' + values.join(property.separator));
}
} // namespace

QStringList VCardProperty::parameter(const QString &name) const
{
    QStringList all;
    for (const auto &[parameterName, values] : parameters) {
        if (parameterName != name)
            continue;
        for (const QString &value : values) {
            for (const QString &part : value.split(QLatin1Char(','), Qt::SkipEmptyParts))
                all.append(part.trimmed());
        }
    }
    return all;
}

QStringList VCardProperty::types() const
{
    QStringList types;
    for (const QString &type : parameter(QStringLiteral("TYPE")))
        types.append(type.toLower());
    return types;
}

QString VCardProperty::text() const
{
    return values.join(QLatin1Char(';')).trimmed();
}

std::optional<VCardFileContents> VCardReadFile(const QString &path, QString *reason)
{
    const auto refuse = [reason](const QString &why) {
        if (reason)
            *reason = why;
        return std::nullopt;
    };
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return refuse(file.errorString());
    const std::optional<QByteArray> bytes = ReadFileBounded(file, MaxFileSize);
    if (!bytes && file.error() != QFileDevice::NoError)
        return refuse(file.errorString());
    if (!bytes)
        return refuse(QStringLiteral("the file is larger than %1 MiB").arg(MaxFileSize >> 20));
    if (bytes->contains('\0'))
        return refuse(QStringLiteral("this is not a text file"));
    VCardFileContents contents = splitAndParse(*bytes);
    if (contents.cards.isEmpty() && contents.unreadable.isEmpty())
        return refuse(QStringLiteral("there is no BEGIN:VCARD in it"));
    return contents;
}

QByteArray VCardWrite(const QList<VCardProperty> &properties)
{
    QByteArray text = "BEGIN:VCARD\r\nVERSION:4.0\r\n";
    for (const VCardProperty &property : properties)
        text += propertyLine(property);
    return text + "END:VCARD\r\n";
}
