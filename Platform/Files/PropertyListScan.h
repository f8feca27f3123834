#pragma once

#include <QByteArray>

// Whether libplist can be given content without running out of stack or memory. Its parsers
// and plist_free() recurse once per nesting level, and its binary parser copies an object
// shared by many references once per reference, so a small file can expand without bound.
// Content refused here is treated like content that is not a property list.
bool IsWithinParseLimits(const QByteArray &content);
