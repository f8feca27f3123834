#include "CallLogStore.h"

#include "MolvaneAppDelegate.h"

namespace {
const QString callLogName = QStringLiteral("calllog");
} // namespace

CallLogStore &CallLogStore::shared()
{
    static CallLogStore store;
    return store;
}

std::optional<CallLog> CallLogStore::load() const
{
    return MolvaneAppDelegate::GetDataFromPlistFile(callLogName);
}

std::optional<CallLog> CallLogStore::record(const CallLogEntry &entry)
{
    std::optional<CallLog> log = load();
    if (!log)
        return std::nullopt;
    dropFirstEntryFor(*log, entry.phoneNumber().value_or(QString()));
    log->append(entry.toVariant());
    save(*log);
    return log;
}

void CallLogStore::clear()
{
    save(CallLog());
}

void CallLogStore::dropFirstEntryFor(CallLog &log, const QString &number)
{
    const QString wanted = number.toLower();
    for (qsizetype position = 0; position < log.size(); ++position) {
        const auto logged = CallLogEntry(log.at(position)).phoneNumber();
        if (logged && logged->toLower() == wanted) {
            log.removeAt(position);
            return;
        }
    }
}

void CallLogStore::save(const CallLog &log)
{
    MolvaneAppDelegate::SaveDictDataToPlistFile(log, callLogName);
    Q_EMIT changed();
}
