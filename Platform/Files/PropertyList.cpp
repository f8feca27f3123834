#include "Platform/Files/PropertyList.h"

#include "Platform/Files/PropertyListNodes.h"
#include "Platform/Files/PropertyListScan.h"

#include <QFile>
#include <QSaveFile>

namespace {

// The whole file, or nothing when it cannot be read or exceeds the size cap.
std::optional<QByteArray> ReadWholeFile(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    // Reading one byte past the cap tells an oversized file without trusting its stated size.
    QByteArray content = file.read(PropertyListMaxFileSize + 1);
    if (file.error() != QFileDevice::NoError || content.size() > PropertyListMaxFileSize)
        return std::nullopt;
    return content;
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

} // namespace

std::optional<QVariantList> ReadPropertyListArray(const QString &path)
{
    const std::optional<QByteArray> content = ReadWholeFile(path);
    if (!content)
        return std::nullopt;
    const PlistNode root = ParsePropertyList(*content);
    if (!root || plist_get_node_type(root.get()) != PLIST_ARRAY)
        return std::nullopt;
    const std::optional<QVariant> value = VariantFromPlistNode(root.get());
    if (!value)
        return std::nullopt;
    return value->toList();
}

bool WritePropertyListAtomically(const QString &path, const QVariantList &list)
{
    const std::optional<QByteArray> content = XmlForm(list);
    if (!content)
        return false;
    QSaveFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(*content) == content->size() &&
           file.commit();
}
