#pragma once

#include <QString>
#include <optional>

// The path of the bundled resource "<resourceName>.<type>" (":/..."), or nothing without one.
std::optional<QString> PathForResource(const QString &resourceName, const QString &type);

// Copies the bundled resource ":/<resourceName>.<type>" to destinationPath unless a file is
// already there; an existing file is never touched. The copy is written atomically and is
// writable by its owner. Returns whether a file exists at destinationPath afterwards.
bool CopyBundleResourceIfMissing(const QString &resourceName, const QString &type,
                                 const QString &destinationPath);
