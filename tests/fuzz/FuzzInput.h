#pragma once

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdint>
#include <optional>

// Where a fuzz target writes its files: memory-backed where the machine has it, since the saves
// under test flush to disk and the fuzzer makes thousands of them.
inline QTemporaryDir &scratchDirectory()
{
    static QTemporaryDir directory((QDir(QStringLiteral("/dev/shm")).exists()
                                        ? QStringLiteral("/dev/shm")
                                        : QDir::tempPath()) +
                                   QStringLiteral("/molvane-fuzz-XXXXXX"));
    return directory;
}

// The fuzzer's bytes as a file of that name in the scratch directory; its path.
inline std::optional<QString> writeFuzzInput(const QString &name, const uint8_t *data, size_t size)
{
    const QString path = scratchDirectory().filePath(name);
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        file.write(reinterpret_cast<const char *>(data), qint64(size)) != qint64(size))
        return std::nullopt;
    return path;
}
