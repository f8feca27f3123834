#include "Platform/Files/PlainStringsXml.h"

#include <QVariantMap>
#include <algorithm>
#include <cstring>
#include <string_view>

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

// Appends into room made ahead for the worst case, so that each byte is a single store.
class XmlBuffer
{
public:
    explicit XmlBuffer(qsizetype expected) { bytes.resize(expected); }

    void append(std::string_view text)
    {
        makeRoom(qsizetype(text.size()));
        used = std::copy(text.cbegin(), text.cend(), bytes.data() + used) - bytes.data();
    }

    void appendTabs(int count)
    {
        makeRoom(count);
        used = std::fill_n(bytes.data() + used, count, '\t') - bytes.data();
    }

    // libplist escapes exactly these three characters.
    void appendEscaped(const QString &text)
    {
        const bool isAscii =
            std::all_of(text.cbegin(), text.cend(), [](QChar c) { return c.unicode() < 0x80; });
        if (!isAscii) {
            appendEscapedBytes(text.toUtf8());
            return;
        }
        makeRoom(text.size() * longestEscape);
        char *out = bytes.data() + used;
        for (const QChar c : text)
            out = escape(char(c.unicode()), out);
        used = out - bytes.data();
    }

    QByteArray take()
    {
        bytes.truncate(used);
        return std::move(bytes);
    }

private:
    static constexpr qsizetype longestEscape = 5;

    void appendEscapedBytes(const QByteArray &utf8)
    {
        makeRoom(utf8.size() * longestEscape);
        char *out = bytes.data() + used;
        for (const char c : utf8)
            out = escape(c, out);
        used = out - bytes.data();
    }

    static char *escape(char c, char *out)
    {
        const auto put = [out](std::string_view entity) {
            return std::copy(entity.cbegin(), entity.cend(), out);
        };
        switch (c) {
        case '&':
            return put("&amp;");
        case '<':
            return put("&lt;");
        case '>':
            return put("&gt;");
        default:
            *out = c;
            return out + 1;
        }
    }

    void makeRoom(qsizetype more)
    {
        if (bytes.size() - used < more)
            bytes.resize(std::max(bytes.size() * 2, used + more));
    }

    QByteArray bytes;
    qsizetype used = 0;
};

bool AppendElement(XmlBuffer &xml, std::string_view tag, const QString &text, int depth)
{
    if (!ReadsBackExactly(text))
        return false;
    xml.appendTabs(depth);
    xml.append("<");
    xml.append(tag);
    xml.append(">");
    xml.appendEscaped(text);
    xml.append("</");
    xml.append(tag);
    xml.append(">\n");
    return true;
}

bool AppendDictionary(XmlBuffer &xml, const QVariantMap &entries)
{
    if (entries.isEmpty()) {
        xml.append("\t<dict/>\n");
        return true;
    }
    xml.append("\t<dict>\n");
    for (auto entry = entries.cbegin(); entry != entries.cend(); ++entry) {
        if (entry.value().typeId() != QMetaType::QString ||
            !AppendElement(xml, "key", entry.key(), 2) ||
            !AppendElement(xml, "string", entry.value().toString(), 2))
            return false;
    }
    xml.append("\t</dict>\n");
    return true;
}

bool AppendItem(XmlBuffer &xml, const QVariant &item)
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
    // About what a two-key entry takes, so the buffer rarely grows.
    XmlBuffer xml(qsizetype(std::strlen(header)) + list.size() * 112 + 32);
    xml.append(header);
    if (list.isEmpty()) {
        xml.append("<array/>\n</plist>\n");
        return xml.take();
    }
    xml.append("<array>\n");
    for (const QVariant &item : list) {
        if (!AppendItem(xml, item))
            return std::nullopt;
    }
    xml.append("</array>\n</plist>\n");
    return xml.take();
}
