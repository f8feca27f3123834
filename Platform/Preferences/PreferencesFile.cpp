#include "Platform/Preferences/PreferencesFile.h"

#include "Platform/Files/ReadFileBounded.h"

#include <QFile>
#include <algorithm>

namespace {
// A preferences file is a few lines; anything larger is not one.
constexpr qint64 maxFileSize = 1024 * 1024;
const QString generalSection = QStringLiteral("General");

// Keys are written with every other byte as %XX, so no key can break a line or a section.
QByteArray escapedKey(const QString &key)
{
    return key.toUtf8().toPercentEncoding("_-./");
}

QString unescapedKey(const QByteArray &key)
{
    return QString::fromUtf8(QByteArray::fromPercentEncoding(key.trimmed()));
}

// A value is written bare when it reads back the same, and quoted with escapes otherwise.
QByteArray escapedText(const QString &text)
{
    const QByteArray utf8 = text.toUtf8();
    const bool bare = !utf8.isEmpty() && utf8 == utf8.trimmed() && !utf8.startsWith('@') &&
                      std::none_of(utf8.begin(), utf8.end(), [](char byte) {
                          return byte == ',' || byte == ';' || byte == '"' || byte == '\\' ||
                                 uchar(byte) < 0x20 || byte == 0x7f;
                      });
    if (bare)
        return utf8;
    QByteArray quoted = "\"";
    for (const char byte : utf8) {
        switch (byte) {
        case '"':
            quoted += "\\\"";
            break;
        case '\\':
            quoted += "\\\\";
            break;
        case '\n':
            quoted += "\\n";
            break;
        case '\r':
            quoted += "\\r";
            break;
        case '\t':
            quoted += "\\t";
            break;
        default:
            if (uchar(byte) < 0x20 || byte == 0x7f)
                quoted += "\\x" + QByteArray::number(uchar(byte), 16).rightJustified(2, '0');
            else
                quoted += byte;
        }
    }
    return quoted + '"';
}

QByteArray escapedValue(const QVariant &value)
{
    if (value.typeId() != QMetaType::QStringList)
        return escapedText(value.toString());
    const QStringList items = value.toStringList();
    QByteArrayList written;
    for (const QString &item : items)
        written << escapedText(item);
    // One item still needs a comma, or it would read back as text.
    return written.join(", ") + (items.size() == 1 ? "," : "");
}

// Reads one quoted or bare item of a value from position; stops after its comma.
QString readItem(const QByteArray &value, qsizetype &position, bool &sawComma)
{
    QByteArray item;
    bool quoted = false;
    bool wasQuoted = false;
    sawComma = false;
    for (; position < value.size(); ++position) {
        const char byte = value.at(position);
        if (!quoted && byte == ',') {
            sawComma = true;
            ++position;
            break;
        }
        if (byte == '"') {
            quoted = !quoted;
            wasQuoted = true;
            continue;
        }
        if (quoted && byte == '\\' && position + 1 < value.size()) {
            const char escaped = value.at(++position);
            if (escaped == 'n')
                item += '\n';
            else if (escaped == 'r')
                item += '\r';
            else if (escaped == 't')
                item += '\t';
            else if (escaped == 'x' && position + 2 < value.size()) {
                item += char(value.mid(position + 1, 2).toInt(nullptr, 16));
                position += 2;
            } else
                item += escaped;
            continue;
        }
        item += byte;
    }
    return QString::fromUtf8(wasQuoted ? item : item.trimmed());
}

QVariant parsedValue(const QByteArray &text)
{
    const QByteArray value = text.trimmed();
    QStringList items;
    bool list = false;
    for (qsizetype position = 0; position < value.size();) {
        bool sawComma = false;
        items << readItem(value, position, sawComma);
        list = list || sawComma;
    }
    if (list)
        return items;
    const QString single = items.value(0);
    return single.startsWith(QLatin1String("@@")) ? single.mid(1) : single;
}
} // namespace

QSettings::Format PreferencesFileFormat()
{
    static const QSettings::Format format =
        QSettings::registerFormat(QStringLiteral("ini"), ReadPreferencesFile, WritePreferencesFile);
    return format;
}

bool ReadPreferencesFile(QIODevice &device, QSettings::SettingsMap &map)
{
    auto *file = qobject_cast<QFile *>(&device);
    const std::optional<QByteArray> content =
        file ? ReadFileBounded(*file, maxFileSize) : device.read(maxFileSize + 1);
    if (!content || content->size() > maxFileSize)
        return false;
    QString section;
    for (const QByteArray &rawLine : content->split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(';') || line.startsWith('#'))
            continue;
        if (line.startsWith('[') && line.endsWith(']')) {
            section = unescapedKey(line.mid(1, line.size() - 2));
            continue;
        }
        const qsizetype equals = line.indexOf('=');
        if (equals <= 0)
            continue;
        const QString key = unescapedKey(line.left(equals));
        const bool general = section.isEmpty() || section == generalSection;
        map.insert(general ? key : section + QLatin1Char('/') + key,
                   parsedValue(line.mid(equals + 1)));
    }
    return true;
}

bool WritePreferencesFile(QIODevice &device, const QSettings::SettingsMap &map)
{
    QByteArray text;
    QString section;
    bool first = true;
    // The map is sorted, so each section's keys come together; top-level keys go to General.
    for (auto entry = map.cbegin(); entry != map.cend(); ++entry) {
        const qsizetype slash = entry.key().lastIndexOf(QLatin1Char('/'));
        const QString keySection = slash < 0 ? generalSection : entry.key().left(slash);
        if (first || keySection != section) {
            text += (first ? "[" : "\n[") + escapedKey(keySection) + "]\n";
            section = keySection;
            first = false;
        }
        text += escapedKey(entry.key().mid(slash + 1)) + '=' + escapedValue(entry.value()) + '\n';
    }
    return device.write(text) == text.size();
}
