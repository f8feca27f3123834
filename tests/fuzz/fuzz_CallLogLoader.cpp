// Any bytes as the call log file: reading must give a list or nothing, and a list read must
// write and read back.
#include "FuzzInput.h"
#include "Platform/Files/PropertyList.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const std::optional<QString> path = writeFuzzInput(QStringLiteral("log.plist"), data, size);
    if (!path)
        return 0;
    if (const std::optional<QVariantList> list = ReadPropertyListArray(*path)) {
        DescribePropertyList(list);
        if (WritePropertyListAtomically(*path, *list) && !ReadPropertyListArray(*path))
            __builtin_trap();
    }
    return 0;
}
