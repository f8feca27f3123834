#include "Platform/Files/PropertyList.h"

#include "Platform/Files/PlainStringsXml.h"
#include "Platform/Files/PropertyListNodes.h"
#include "Platform/Files/PropertyListScan.h"
#include "Platform/Files/ReadFileBounded.h"

#include <QFile>
#include <QHash>
#include <QMutex>
#include <QSaveFile>

namespace {

// The last list read from or written to each file, with the bytes it was read from. A file
// whose bytes are unchanged gives the same list without being parsed again; anything that
// changed the file, by whatever means, changes its bytes.
struct ParsedFile
{
    QByteArray content;
    QVariantList list;
};

class ParsedFiles
{
public:
    std::optional<QVariantList> find(const QString &path, const QByteArray &content)
    {
        const QMutexLocker locker(&mutex);
        const auto found = files.constFind(path);
        if (found == files.cend() || found->content != content)
            return std::nullopt;
        return found->list;
    }

    void remember(const QString &path, const QByteArray &content, const QVariantList &list)
    {
        const QMutexLocker locker(&mutex);
        // A handful of files at most are ever read; forget them all rather than grow.
        if (files.size() >= 8 && !files.contains(path))
            files.clear();
        files.insert(path, {content, list});
    }

    void forget(const QString &path)
    {
        const QMutexLocker locker(&mutex);
        files.remove(path);
    }

private:
    QMutex mutex;
    QHash<QString, ParsedFile> files;
};

ParsedFiles &parsedFiles()
{
    static ParsedFiles cache;
    return cache;
}

// The whole file, or nothing when it cannot be read or exceeds the size cap.
std::optional<QByteArray> ReadWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return ReadFileBounded(file, PropertyListMaxFileSize);
}

PlistNode ParsePropertyList(const QByteArray &content)
{
    if (content.isEmpty() || !IsWithinParseLimits(content))
        return nullptr;
    plist_t root = nullptr;
    plist_from_memory(content.constData(), static_cast<uint32_t>(content.size()), &root);
    return PlistNode(root);
}

std::optional<QByteArray> XmlForm(const QVariantList &list)
{
    const PlistNode root = PlistNodeFromVariant(list);
    if (!root)
        return std::nullopt;
    char *xml = nullptr;
    uint32_t length = 0;
    plist_to_xml(root.get(), &xml, &length);
    if (xml == nullptr)
        return std::nullopt;
    QByteArray content(xml, static_cast<qsizetype>(length));
    plist_to_xml_free(xml);
    return content;
}

std::optional<QVariantList> ParseArray(const QByteArray &content)
{
    const PlistNode root = ParsePropertyList(content);
    if (!root || plist_get_node_type(root.get()) != PLIST_ARRAY)
        return std::nullopt;
    const std::optional<QVariant> value = VariantFromPlistNode(root.get());
    if (!value)
        return std::nullopt;
    return value->toList();
}

bool WriteAtomically(const QString &path, const QByteArray &content)
{
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.commit();
}

} // namespace

std::optional<QVariantList> ReadPropertyListArray(const QString &path)
{
    const std::optional<QByteArray> content = ReadWholeFile(path);
    if (!content)
        return std::nullopt;
    if (std::optional<QVariantList> known = parsedFiles().find(path, *content))
        return known;
    std::optional<QVariantList> list = ParseArray(*content);
    if (list)
        parsedFiles().remember(path, *content, *list);
    return list;
}

bool WritePropertyListAtomically(const QString &path, const QVariantList &list)
{
    // Plain lists read back exactly as written, so what is written is what a read would give.
    if (const std::optional<QByteArray> plain = PlainStringsXml(list)) {
        const bool written = WriteAtomically(path, *plain);
        if (written)
            parsedFiles().remember(path, *plain, list);
        return written;
    }
    parsedFiles().forget(path);
    const std::optional<QByteArray> content = XmlForm(list);
    return content && WriteAtomically(path, *content);
}
