#pragma once

#include <QLoggingCategory>
#include <QString>

// The application's one diagnostic log. Lines carry no levels of their own meaning.
Q_DECLARE_LOGGING_CATEGORY(lcMolvane)

// Writes one diagnostic line.
inline void NSLog(const QString &line)
{
    qCInfo(lcMolvane).noquote() << line;
}
