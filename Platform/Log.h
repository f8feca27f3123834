#pragma once

#include <QLoggingCategory>
#include <QString>

// The application's one diagnostic log. Its lines may carry numbers and call-log content, so
// only warnings are written unless asked for: QT_LOGGING_RULES="molvane=true" writes them all.
Q_DECLARE_LOGGING_CATEGORY(lcMolvane)

// Writes one diagnostic line. A macro so that the line, which may describe a whole call log,
// is only built when debug lines are switched on.
#define NSLog(line) qCDebug(lcMolvane).noquote() << (line)
