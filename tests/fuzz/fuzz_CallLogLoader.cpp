// Any bytes as the call log file: reading must give a list or nothing, and a list read must
// write and read back.
#include "Platform/Files/PropertyList.h"

#include <QFile>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static QTemporaryDir directory;
    const QString path = directory.filePath(QStringLiteral("calllog.plist"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        return 0;
    file.write(reinterpret_cast<const char *>(data), qint64(size));
    file.close();
    if (const std::optional<QVariantList> list = ReadPropertyListArray(path)) {
        DescribePropertyList(list);
        if (WritePropertyListAtomically(path, *list) && !ReadPropertyListArray(path))
            __builtin_trap();
    }
    return 0;
}
