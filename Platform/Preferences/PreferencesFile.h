#pragma once

#include <QSettings>

// The preferences file's own reading and writing for QSettings: the familiar "[General]",
// "key=value" text, whose values are only ever text, numbers, truth values or lists of text.
// Unlike the stock INI format it never decodes "@Variant(...)" values, whose binary contents
// a damaged or hostile file could make ask for gigabytes; they read as plain text.
QSettings::Format PreferencesFileFormat();

bool ReadPreferencesFile(QIODevice &device, QSettings::SettingsMap &map);
bool WritePreferencesFile(QIODevice &device, const QSettings::SettingsMap &map);
