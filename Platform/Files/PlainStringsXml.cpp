#include "Platform/Files/PlainStringsXml.h"

#include <QVariantMap>
#include <algorithm>
#include <string>

namespace {

const char *const header = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n"
                           "<!DOCTYPE plist PUBLIC \"-//Apple//DTD PLIST 1.0//EN\" "
                           "\"http://www.apple.com/DTDs/PropertyList-1.0.dtd\">\n"
                           "<plist version=\"1.0\">\n";

// Control characters and the noncharacters U+FFFE and U+FFFF, which XML cannot carry, are left
// to libplist's path, which replaces them.
bool ReadsBackExactly(const QString &text)
{
    for (const QChar c : text) {
        if ((c.unicode() < 0x20 && c != u'\t' && c != u'\n') || c.unicode() >= 0xFFFE)
            return false;
    }
    return true;
}

// libplist escapes exactly these three characters.
void AppendEscapedByte(std::string &xml, char c)
{
    switch (c) {
    case '&':
        xml += "&amp;";
        break;
    case '<':
        xml += "&lt;";
        break;
    case '>':
        xml += "&gt;";
        break;
    default:
        xml += c;
    }
}

void AppendEscaped(std::string &xml, const QString &text)
{
    const bool isAscii =
        std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
    if (isAscii) {
        for (const QChar c : text)
            AppendEscapedByte(xml, char(c.unicode()));
        return;
    }
    const QByteArray utf8 = text.toUtf8();
    for (const char c : utf8)
        AppendEscapedByte(xml, c);
}

bool AppendElement(std::string &xml, const char *tag, const QString &text, int depth)
{
    if (!ReadsBackExactly(text))
        return false;
    xml.append(size_t(depth), '\t');
    xml += '<';
    xml += tag;
    xml += '>';
    AppendEscaped(xml, text);
    xml += "</";
    xml += tag;
    xml += ">\n";
    return true;
}

bool AppendDictionary(std::string &xml, const QVariantMap &entries)
{
    if (entries.isEmpty()) {
        xml += "\t<dict/>\n";
        return true;
    }
    xml += "\t<dict>\n";
    for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry) {
        if (entry.value().typeId() != QMetaType::QString ||
            !AppendElement(xml, "key", entry.key(), 2) ||
            !AppendElement(xml, "string", entry.value().toString(), 2))
            return false;
    }
    xml += "\t</dict>\n";
    return true;
}

bool AppendItem(std::string &xml, const QVariant &item)
{
    switch (item.typeId()) {
    case QMetaType::QString:
        return AppendElement(xml, "string", item.toString(), 1);
    case QMetaType::QVariantMap:
        return AppendDictionary(xml, item.toMap());
    default:
        return false;
    }
}

} // namespace

std::optional<QByteArray> PlainStringsXml(const QVariantList &list)
{
    // Built in a std::string: appending to it is several times cheaper than to a QByteArray.
    std::string xml(header);
    if (list.isEmpty()) {
        xml += "<array/>\n</plist>\n";
        return QByteArray::fromStdString(xml);
    }
    // About what a two-key entry takes, so the buffer rarely grows.
    xml.reserve(xml.size() + size_t(list.size()) * 112 + 32);
    xml += "<array>\n";
    for (const QVariant &item : list) {
        if (!AppendItem(xml, item))
            return std::nullopt;
    }
    xml += "</array>\n</plist>\n";
    return QByteArray::fromStdString(xml);
}
