#pragma once

#include <QVariant>
#include <memory>
#include <optional>
#include <plist/plist.h>

// Conversion between libplist's node trees and Qt values; the mapping is described in
// PropertyList.h. Both directions refuse trees nested deeper than PropertyListMaxNesting.

struct PlistNodeDeleter
{
    void operator()(plist_t node) const { plist_free(node); }
};
using PlistNode = std::unique_ptr<void, PlistNodeDeleter>;

// The value of node, or nothing when it is nested too deeply or holds a node of no known type.
std::optional<QVariant> VariantFromPlistNode(plist_t node);

// A new node tree for value, or null when value cannot be stored.
PlistNode PlistNodeFromVariant(const QVariant &value);
