#include "Platform/Files/PropertyListScan.h"

#include "Platform/Files/PropertyList.h"

#include <optional>
#include <plist/plist.h>
#include <vector>

namespace {

// A file nested to the accepted limit reaches one level further with its leaves, and its XML
// form one more with the <plist> element; anything deeper is refused before parsing.
constexpr int MaxXmlElementDepth = PropertyListMaxNesting + 2;
constexpr int MaxBinaryObjectDepth = PropertyListMaxNesting + 1;
// Nodes a binary file may expand to, a little more than an XML file of the size cap holds.
constexpr quint64 MaxBinaryNodes = 8 * 1024 * 1024;

qsizetype IndexAfter(const QByteArray &xml, qsizetype from, const char *terminator)
{
    const qsizetype found = xml.indexOf(terminator, from);
    return found < 0 ? xml.size() : found + qstrlen(terminator);
}

// Index after the '>' closing the tag that starts at `from`; a quoted '>' does not close it.
qsizetype TagEnd(const QByteArray &xml, qsizetype from)
{
    char quote = 0;
    for (qsizetype i = from + 1; i < xml.size(); ++i) {
        const char c = xml.at(i);
        if (quote != 0) {
            if (c == quote)
                quote = 0;
        } else if (c == '"' || c == '\'') {
            quote = c;
        } else if (c == '>') {
            return i + 1;
        }
    }
    return xml.size();
}

// Element nesting as an XML reader sees it: comments, CDATA sections, processing instructions
// and declarations hold no elements.
bool XmlWithinLimits(const QByteArray &xml)
{
    int depth = 0;
    qsizetype at = xml.indexOf('<');
    while (at >= 0) {
        const QByteArrayView markup = QByteArrayView(xml).sliced(at);
        if (markup.startsWith("<!--")) {
            at = IndexAfter(xml, at + 4, "-->");
        } else if (markup.startsWith("<![CDATA[")) {
            at = IndexAfter(xml, at + 9, "]]>");
        } else if (markup.startsWith("<?")) {
            at = IndexAfter(xml, at + 2, "?>");
        } else {
            const qsizetype end = TagEnd(xml, at);
            const bool isDeclaration = markup.startsWith("<!");
            const bool isClosing = markup.startsWith("</");
            const bool isSelfClosing =
                end - at >= 3 && xml.at(end - 1) == '>' && xml.at(end - 2) == '/';
            if (isClosing)
                depth = qMax(0, depth - 1);
            else if (!isDeclaration && !isSelfClosing && ++depth > MaxXmlElementDepth)
                return false;
            at = end;
        }
        at = xml.indexOf('<', at);
    }
    return true;
}

quint64 ReadBigEndian(const QByteArray &bytes, quint64 at, int width)
{
    quint64 value = 0;
    for (int i = 0; i < width; ++i)
        value = (value << 8) | static_cast<uchar>(bytes.at(static_cast<qsizetype>(at) + i));
    return value;
}

// The object table of a binary property list, from its 32-byte trailer.
struct BinaryLayout
{
    int offsetWidth = 0;
    int referenceWidth = 0;
    quint64 objectCount = 0;
    quint64 topObject = 0;
    quint64 offsetTable = 0;
};

constexpr quint64 BinaryHeaderSize = 8;
constexpr quint64 BinaryTrailerSize = 32;

std::optional<BinaryLayout> ReadBinaryLayout(const QByteArray &bytes)
{
    const auto size = static_cast<quint64>(bytes.size());
    if (size < BinaryHeaderSize + 1 + BinaryTrailerSize)
        return std::nullopt;
    const quint64 trailer = size - BinaryTrailerSize;
    BinaryLayout layout;
    layout.offsetWidth = static_cast<uchar>(bytes.at(static_cast<qsizetype>(trailer) + 6));
    layout.referenceWidth = static_cast<uchar>(bytes.at(static_cast<qsizetype>(trailer) + 7));
    layout.objectCount = ReadBigEndian(bytes, trailer + 8, 8);
    layout.topObject = ReadBigEndian(bytes, trailer + 16, 8);
    layout.offsetTable = ReadBigEndian(bytes, trailer + 24, 8);
    const bool widthsValid = layout.offsetWidth >= 1 && layout.offsetWidth <= 8 &&
                             layout.referenceWidth >= 1 && layout.referenceWidth <= 8;
    // More objects than the node limit cannot make an acceptable tree.
    if (!widthsValid || layout.objectCount == 0 || layout.objectCount > MaxBinaryNodes ||
        layout.topObject >= layout.objectCount || layout.offsetTable <= BinaryHeaderSize ||
        layout.offsetTable > trailer ||
        layout.objectCount * layout.offsetWidth > trailer - layout.offsetTable)
        return std::nullopt;
    return layout;
}

// An object's marker type, its element or character count, and where its contents start.
struct BinaryObjectHeader
{
    int type = 0;
    quint64 count = 0;
    quint64 contents = 0;
};

std::optional<BinaryObjectHeader> ReadObjectHeader(const QByteArray &bytes,
                                                   const BinaryLayout &layout, quint64 object)
{
    const quint64 offset =
        ReadBigEndian(bytes, layout.offsetTable + object * layout.offsetWidth, layout.offsetWidth);
    if (offset < BinaryHeaderSize || offset >= layout.offsetTable)
        return std::nullopt;
    const uchar marker = static_cast<uchar>(bytes.at(static_cast<qsizetype>(offset)));
    BinaryObjectHeader header{marker >> 4, quint64(marker & 0xF), offset + 1};
    if (header.count == 0xF) {
        // The count follows as an integer object of 1, 2, 4 or 8 bytes.
        const quint64 at = header.contents;
        if (at >= layout.offsetTable)
            return std::nullopt;
        const uchar countMarker = static_cast<uchar>(bytes.at(static_cast<qsizetype>(at)));
        const int width = 1 << (countMarker & 0xF);
        if ((countMarker >> 4) != 0x1 || width > 8 || at + 1 + width > layout.offsetTable)
            return std::nullopt;
        header.count = ReadBigEndian(bytes, at + 1, width);
        header.contents = at + 1 + width;
    }
    return header;
}

// libplist hands dictionary keys back as C strings and aborts on one holding a NUL, so such a
// key, or one that is not a string at all, makes the file unreadable.
bool IsUsableKey(const QByteArray &bytes, const BinaryLayout &layout, quint64 object)
{
    const std::optional<BinaryObjectHeader> key = ReadObjectHeader(bytes, layout, object);
    if (!key || (key->type != 0x5 && key->type != 0x6))
        return false;
    const quint64 unit = key->type == 0x6 ? 2 : 1;
    if (key->count > (layout.offsetTable - key->contents) / unit)
        return false;
    for (quint64 at = key->contents; at < key->contents + key->count * unit; at += unit) {
        if (ReadBigEndian(bytes, at, int(unit)) == 0)
            return false;
    }
    return true;
}

// The objects that `object` refers to (none for a scalar), or nothing when it is malformed.
std::optional<std::vector<quint64>> BinaryChildren(const QByteArray &bytes,
                                                   const BinaryLayout &layout, quint64 object)
{
    const std::optional<BinaryObjectHeader> header = ReadObjectHeader(bytes, layout, object);
    if (!header)
        return std::nullopt;
    const bool isArrayOrSet = header->type == 0xA || header->type == 0xC;
    const bool isDictionary = header->type == 0xD;
    if (!isArrayOrSet && !isDictionary)
        return std::vector<quint64>();

    const quint64 at = header->contents;
    const quint64 referencesPerEntry = isDictionary ? 2 : 1;
    if (header->count > (layout.offsetTable - at) / layout.referenceWidth / referencesPerEntry)
        return std::nullopt;
    const quint64 references = header->count * referencesPerEntry;

    std::vector<quint64> children;
    children.reserve(references);
    for (quint64 i = 0; i < references; ++i) {
        const quint64 child =
            ReadBigEndian(bytes, at + i * layout.referenceWidth, layout.referenceWidth);
        // A dictionary lists its keys first, then its values.
        if (child >= layout.objectCount ||
            (isDictionary && i < header->count && !IsUsableKey(bytes, layout, child)))
            return std::nullopt;
        children.push_back(child);
    }
    return children;
}

struct BinaryObjectSize
{
    enum State : quint8
    {
        Unvisited,
        Open,
        Done
    };
    State state = Unvisited;
    quint16 depth = 0;
    quint32 nodes = 0;
};

// Depth and expanded node count of every reachable object, measured without recursion and
// with each shared object measured once; a reference cycle is refused like libplist does.
bool BinaryWithinLimits(const QByteArray &bytes)
{
    const std::optional<BinaryLayout> layout = ReadBinaryLayout(bytes);
    if (!layout)
        return false;
    std::vector<BinaryObjectSize> sizes(layout->objectCount);
    struct Frame
    {
        quint64 object;
        std::vector<quint64> children;
        size_t next = 0;
    };
    std::vector<Frame> path;

    auto open = [&](quint64 object) {
        std::optional<std::vector<quint64>> children = BinaryChildren(bytes, *layout, object);
        if (!children || path.size() >= MaxBinaryObjectDepth)
            return false;
        sizes[object].state = BinaryObjectSize::Open;
        path.push_back(Frame{object, std::move(*children)});
        return true;
    };
    auto close = [&](const Frame &frame) {
        quint64 nodes = 1;
        int depth = 0;
        for (const quint64 child : frame.children) {
            nodes += sizes[child].nodes;
            depth = qMax(depth, static_cast<int>(sizes[child].depth));
        }
        if (nodes > MaxBinaryNodes || depth + 1 > MaxBinaryObjectDepth)
            return false;
        sizes[frame.object] = {BinaryObjectSize::Done, static_cast<quint16>(depth + 1),
                               static_cast<quint32>(nodes)};
        return true;
    };

    if (!open(layout->topObject))
        return false;
    while (!path.empty()) {
        Frame &frame = path.back();
        if (frame.next == frame.children.size()) {
            if (!close(frame))
                return false;
            path.pop_back();
            continue;
        }
        const quint64 child = frame.children[frame.next++];
        if (sizes[child].state == BinaryObjectSize::Open)
            return false;
        if (sizes[child].state == BinaryObjectSize::Unvisited && !open(child))
            return false;
    }
    return true;
}

} // namespace

bool IsWithinParseLimits(const QByteArray &content)
{
    const bool isBinary =
        plist_is_binary(content.constData(), static_cast<uint32_t>(content.size())) != 0;
    return isBinary ? BinaryWithinLimits(content) : XmlWithinLimits(content);
}
