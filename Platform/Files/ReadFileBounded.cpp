#include "Platform/Files/ReadFileBounded.h"

#include <algorithm>

std::optional<QByteArray> ReadFileBounded(QFile &file, qint64 limit)
{
    constexpr qint64 chunkSize = 1 << 20;
    QByteArray content;
    // The stated size is only a hint for the first allocation.
    content.reserve(qsizetype(std::clamp<qint64>(file.size(), 0, limit) + 1));
    // One byte past the limit tells an oversized file.
    while (content.size() <= limit) {
        const QByteArray chunk = file.read(std::min(chunkSize, limit + 1 - content.size()));
        if (file.error() != QFileDevice::NoError)
            return std::nullopt;
        if (chunk.isEmpty())
            return content;
        content += chunk;
    }
    return std::nullopt;
}
