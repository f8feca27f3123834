#pragma once

#include <QLoggingCategory>
#include <QString>

// The application's one diagnostic log. Lines carry no levels of their own meaning.
Q_DECLARE_LOGGING_CATEGORY(lcMolvane)

// Writes one diagnostic line. A macro so that the line, which may describe a whole call log,
// is only built when the log is switched on (QT_LOGGING_RULES="molvane.info=false" is off).
#define NSLog(line) qCInfo(lcMolvane).noquote() << (line)
