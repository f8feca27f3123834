#pragma once

#include <QByteArray>
#include <QVariantList>
#include <optional>

// The XML property-list form of a list whose elements are strings or dictionaries of strings
// (a call log's shape), byte for byte what libplist writes for it, built directly rather
// than through a node tree, which costs several times more for long lists. Nothing when the
// list holds anything else, or text that would not read back exactly (NUL, carriage returns,
// other control characters); libplist then writes it.
std::optional<QByteArray> PlainStringsXml(const QVariantList &list);
