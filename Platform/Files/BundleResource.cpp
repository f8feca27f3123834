#include "Platform/Files/BundleResource.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

namespace {

bool WriteCopy(const QByteArray &content, const QString &destinationPath)
{
    // Written afresh rather than with QFile::copy(), which would carry over the resource's
    // read-only permissions; the copy is the user's file and gets rewritten later.
    QSaveFile file(destinationPath);
    return file.open(QIODevice::WriteOnly) && file.write(content) == content.size() &&
           file.commit();
}

} // namespace

std::optional<QString> PathForResource(const QString &resourceName, const QString &type)
{
    const QString path = QStringLiteral(":/%1.%2").arg(resourceName, type);
    if (!QFileInfo(path).isFile())
        return std::nullopt;
    return path;
}

bool CopyBundleResourceIfMissing(const QString &resourceName, const QString &type,
                                 const QString &destinationPath)
{
    if (QFileInfo::exists(destinationPath))
        return true;
    const std::optional<QString> resourcePath = PathForResource(resourceName, type);
    if (!resourcePath)
        return false;
    QFile resource(*resourcePath);
    if (!resource.open(QIODevice::ReadOnly))
        return false;
    WriteCopy(resource.readAll(), destinationPath);
    return QFileInfo::exists(destinationPath);
}
