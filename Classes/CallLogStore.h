#pragma once

#include "CallLogEntry.h"

#include <QObject>
#include <optional>

// The persistent call log: the requests made, oldest first, one entry per number. It alone
// knows the file; the screens that show or change the log go through here and follow
// `changed`, which carries the log as written, so that none of them reads the file again.
class CallLogStore : public QObject
{
    Q_OBJECT

public:
    static CallLogStore &shared();
    static QString path();

    // Nothing when the file cannot be read.
    std::optional<CallLog> load() const;
    // Appends the entry after dropping an earlier one for the same number, and saves: one read
    // and one write. Nothing, and the file left as it is, when the log could not be read.
    std::optional<CallLog> record(const CallLogEntry &entry);
    void save(const CallLog &log);
    void clear();

    // Numbers match without regard to letter case; only the oldest match goes.
    static void dropFirstEntryFor(CallLog &log, const QString &number);

    // A list kept as the call log is, under another base name: seeded on first use from the
    // bundled file of that name, written whole and atomically. Saving under the call log's own
    // name is a save of the call log.
    static std::optional<CallLog> loadList(const QString &baseName);
    static void saveList(const CallLog &list, const QString &baseName);

Q_SIGNALS:
    void changed(const CallLog &log);
};
