#include "Platform/AddressBook/ContactsModule/VCardParser.h"

#include "Platform/AddressBook/ContactsModule/EdsHeaders.h"

#include <utility>

namespace {
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
    bool isBase64 = false;
    for (const auto &[name, values] : std::as_const(property.parameters)) {
        const QString encoding = values.value(0).toLower();
        isBase64 |= name == QLatin1String("ENCODING") &&
                    (encoding == QLatin1String("b") || encoding == QLatin1String("base64"));
    }
    if (isBase64) {
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
    card.properties = VCardPropertiesOf(parsed);
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

} // namespace

QList<VCardProperty> VCardPropertiesOf(EVCard *card)
{
    QList<VCardProperty> properties;
    for (GList *item = e_vcard_get_attributes(card); item; item = item->next)
        properties.append(propertyOf(static_cast<EVCardAttribute *>(item->data)));
    return properties;
}

VCardFileContents VCardParse(const QByteArray &bytes)
{
    return splitAndParse(bytes);
}
