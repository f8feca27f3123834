#pragma once

#include "CallLogEntry.h"

#include <QObject>
#include <optional>

// The persistent call log: the requests made, oldest first, one entry per number. The screens
// that show or change it all go through here, and follow its changes.
class CallLogStore : public QObject
{
    Q_OBJECT

public:
    static CallLogStore &shared();

    // Nothing when the file cannot be read.
    std::optional<CallLog> load() const;
    // Appends the entry after dropping an earlier one for the same number, and saves. Nothing,
    // and the file left as it is, when the log could not be read.
    std::optional<CallLog> record(const CallLogEntry &entry);
    void clear();

    // Numbers match without regard to letter case; only the oldest match goes.
    static void dropFirstEntryFor(CallLog &log, const QString &number);

Q_SIGNALS:
    void changed();

private:
    void save(const CallLog &log);
};
