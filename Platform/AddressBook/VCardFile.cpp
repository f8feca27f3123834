#include "Platform/AddressBook/VCardFile.h"

#include "Platform/AddressBook/ContactsModule.h"
#include "Platform/Files/ReadFileBounded.h"

#include <QFile>

namespace {
constexpr qint64 MaxFileSize = 64 * 1024 * 1024;
constexpr int MaxLineOctets = 75;

QByteArray escapedValue(const QString &value, bool verbatim)
{
    if (verbatim)
        return value.toUtf8();
    // A line break is one \n, whether written CR LF, LF or CR.
    QByteArray utf8 = value.toUtf8().replace("\r\n", "\n").replace('\r', '\n');
    QByteArray escaped;
    escaped.reserve(utf8.size());
    for (const char octet : std::as_const(utf8)) {
        if (octet == '\n')
            escaped += "\\n";
        else if (octet == '\\' || octet == ';' || octet == ',')
            escaped += QByteArray("\\") + octet;
        else
            escaped += octet;
    }
    return escaped;
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

// 3.0 has no data: URIs: a picture goes in as base64 with its type.
VCardProperty asVersion30(const VCardProperty &property)
{
    const QString value = property.values.value(0);
    if (property.name != QLatin1String("PHOTO") ||
        !value.startsWith(QLatin1String("data:"), Qt::CaseInsensitive))
        return property;
    VCardProperty photo = property;
    const QString mediaType = value.section(QLatin1Char(';'), 0, 0).mid(5);
    photo.parameters = {
        {QStringLiteral("ENCODING"), {QStringLiteral("b")}},
        {QStringLiteral("TYPE"), {mediaType.section(QLatin1Char('/'), 1).toUpper()}}};
    photo.values = {value.section(QLatin1Char(','), 1)};
    photo.verbatim = true;
    return photo;
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
    QString unloaded;
    const ContactsModule *module = LoadContactsModule(&unloaded);
    if (!module)
        return refuse(unloaded);
    VCardFileContents contents = module->parse(*bytes);
    if (contents.cards.isEmpty() && contents.unreadable.isEmpty())
        return refuse(QStringLiteral("there is no BEGIN:VCARD in it"));
    return contents;
}

QByteArray VCardWrite(const QList<VCardProperty> &properties, VCardVersion version)
{
    QByteArray text = version == VCardVersion::V40 ? "BEGIN:VCARD\r\nVERSION:4.0\r\n"
                                                   : "BEGIN:VCARD\r\nVERSION:3.0\r\n";
    for (const VCardProperty &property : properties)
        text += propertyLine(version == VCardVersion::V40 ? property : asVersion30(property));
    return text + "END:VCARD\r\n";
}
