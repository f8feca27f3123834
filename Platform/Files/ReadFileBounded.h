#pragma once

#include <QByteArray>
#include <QFile>
#include <optional>

// Reads an open file to its end, but no further than `limit` bytes: a file may grow while it is
// read, or not know its size at all (a pipe, /dev/zero). Nothing when the file holds more, or a
// read fails; the file's error() tells the two apart.
std::optional<QByteArray> ReadFileBounded(QFile &file, qint64 limit);
