#include "Platform/AddressBook/ABSQLiteStore.h"

#include "Platform/Files/DocumentsDirectory.h"

#include <QFile>
#include <QFileSystemWatcher>
#include <QJsonDocument>
#include <QJsonObject>
#include <algorithm>
#include <limits>
#include <sqlite3.h>

namespace {
constexpr int SchemaVersion = 1;

// Dates of the store and of date values: milliseconds since 1970 in UTC.
const char *const Schema = R"sql(
CREATE TABLE meta (key TEXT PRIMARY KEY, value INTEGER NOT NULL) WITHOUT ROWID;
INSERT INTO meta VALUES ('generation', 0), ('composite_name_format', 0);
-- AUTOINCREMENT: an identifier is never given twice, even after the record is removed.
CREATE TABLE records (
  id INTEGER PRIMARY KEY AUTOINCREMENT,
  type INTEGER NOT NULL,
  created INTEGER NOT NULL,
  modified INTEGER NOT NULL,
  image BLOB);
CREATE TABLE record_values (
  record_id INTEGER NOT NULL REFERENCES records(id) ON DELETE CASCADE,
  property INTEGER NOT NULL,
  value NOT NULL,
  PRIMARY KEY (record_id, property)) WITHOUT ROWID;
CREATE TABLE multivalue_entries (
  record_id INTEGER NOT NULL REFERENCES records(id) ON DELETE CASCADE,
  property INTEGER NOT NULL,
  position INTEGER NOT NULL,
  identifier INTEGER NOT NULL,
  label TEXT,
  value NOT NULL,
  PRIMARY KEY (record_id, property, position)) WITHOUT ROWID;
CREATE TABLE group_members (
  group_id INTEGER NOT NULL REFERENCES records(id) ON DELETE CASCADE,
  position INTEGER NOT NULL,
  person_id INTEGER NOT NULL REFERENCES records(id) ON DELETE CASCADE,
  PRIMARY KEY (group_id, position)) WITHOUT ROWID;
CREATE INDEX group_members_by_person ON group_members (person_id);
)sql";

QString sqliteMessage(sqlite3 *database)
{
    return QString::fromUtf8(sqlite3_errmsg(database));
}

// One prepared statement, finalized when it goes out of scope.
class Statement
{
public:
    Statement(sqlite3 *database, const char *sql)
    {
        if (sqlite3_prepare_v2(database, sql, -1, &statement, nullptr) != SQLITE_OK)
            statement = nullptr;
    }
    ~Statement() { sqlite3_finalize(statement); }
    Statement(const Statement &) = delete;
    Statement &operator=(const Statement &) = delete;

    bool isValid() const { return statement != nullptr; }

    Statement &bind(int index, qint64 value)
    {
        sqlite3_bind_int64(statement, index, value);
        return *this;
    }
    Statement &bind(int index, const QString &text)
    {
        const QByteArray utf8 = text.toUtf8();
        sqlite3_bind_text(statement, index, utf8.constData(), int(utf8.size()), SQLITE_TRANSIENT);
        return *this;
    }
    Statement &bind(int index, const std::optional<QString> &text)
    {
        if (text)
            return bind(index, *text);
        sqlite3_bind_null(statement, index);
        return *this;
    }
    Statement &bindBlob(int index, const std::optional<QByteArray> &bytes)
    {
        if (bytes)
            sqlite3_bind_blob64(statement, index, bytes->constData(), sqlite3_uint64(bytes->size()),
                                SQLITE_TRANSIENT);
        else
            sqlite3_bind_null(statement, index);
        return *this;
    }

    // Runs a statement that returns no rows; resets it for the next use.
    bool run()
    {
        if (!statement)
            return false;
        const int status = sqlite3_step(statement);
        reset();
        return status == SQLITE_DONE;
    }
    void reset()
    {
        sqlite3_reset(statement);
        sqlite3_clear_bindings(statement);
    }
    // Steps to the next row; false at the end or on an error (see failed()).
    bool next()
    {
        if (!statement)
            return false;
        lastStatus = sqlite3_step(statement);
        return lastStatus == SQLITE_ROW;
    }
    bool failed() const
    {
        return !statement || (lastStatus != SQLITE_DONE && lastStatus != SQLITE_ROW);
    }

    bool isNull(int column) const { return sqlite3_column_type(statement, column) == SQLITE_NULL; }
    bool isInteger(int column) const
    {
        return sqlite3_column_type(statement, column) == SQLITE_INTEGER;
    }
    qint64 integer(int column) const { return sqlite3_column_int64(statement, column); }
    QString text(int column) const
    {
        const auto *utf8 = reinterpret_cast<const char *>(sqlite3_column_text(statement, column));
        return QString::fromUtf8(utf8, sqlite3_column_bytes(statement, column));
    }
    std::optional<QString> optionalText(int column) const
    {
        return isNull(column) ? std::nullopt : std::optional<QString>(text(column));
    }
    std::optional<QByteArray> blob(int column) const
    {
        if (isNull(column))
            return std::nullopt;
        const auto *bytes = static_cast<const char *>(sqlite3_column_blob(statement, column));
        return QByteArray(bytes, sqlite3_column_bytes(statement, column));
    }

private:
    sqlite3_stmt *statement = nullptr;
    int lastStatus = SQLITE_OK;
};

bool execute(sqlite3 *database, const char *sql)
{
    return sqlite3_exec(database, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

std::optional<qint64> metaValue(sqlite3 *database, const char *key)
{
    Statement select(database, "SELECT value FROM meta WHERE key = ?");
    select.bind(1, QString::fromLatin1(key));
    if (!select.next())
        return std::nullopt;
    return select.integer(0);
}

QDateTime dateFromStore(qint64 milliseconds)
{
    return QDateTime::fromMSecsSinceEpoch(milliseconds, Qt::UTC);
}

// ---- values to and from columns --------------------------------------------------------------

QVariant entryValueFromStore(const Statement &row, int column, ABPropertyType type)
{
    switch (type) {
    case kABMultiDateTimePropertyType:
        return dateFromStore(row.integer(column));
    case kABMultiDictionaryPropertyType:
        return QJsonDocument::fromJson(row.text(column).toUtf8()).object().toVariantMap();
    default:
        return row.text(column);
    }
}

void bindEntryValue(Statement &statement, int index, const QVariant &value)
{
    switch (value.typeId()) {
    case QMetaType::QDateTime:
        statement.bind(index, value.toDateTime().toMSecsSinceEpoch());
        break;
    case QMetaType::QVariantMap:
        statement.bind(index,
                       QString::fromUtf8(QJsonDocument(QJsonObject::fromVariantMap(value.toMap()))
                                             .toJson(QJsonDocument::Compact)));
        break;
    default:
        statement.bind(index, value.toString());
    }
}

std::optional<ABPropertyValue> singleValueFromStore(const Statement &row, int column,
                                                    ABPropertyType type)
{
    switch (type) {
    case kABStringPropertyType:
        return ABPropertyValue(row.text(column));
    case kABDateTimePropertyType:
        return ABPropertyValue(dateFromStore(row.integer(column)));
    case kABIntegerPropertyType:
        return ABPropertyValue(row.integer(column));
    default:
        return std::nullopt;
    }
}

void bindSingleValue(Statement &statement, int index, const ABPropertyValue &value)
{
    if (const auto *text = std::get_if<QString>(&value))
        statement.bind(index, *text);
    else if (const auto *date = std::get_if<QDateTime>(&value))
        statement.bind(index, date->toMSecsSinceEpoch());
    else if (const auto *number = std::get_if<qint64>(&value))
        statement.bind(index, *number);
}

// ---- reading the whole store -----------------------------------------------------------------

// Records being read, by ascending identifier; rows of the other tables come in the same order.
struct LoadingRecord
{
    ABRecordID recordID;
    ABRecordType type;
    std::shared_ptr<ABRecordContent> content;
};

class RecordCursor
{
public:
    explicit RecordCursor(std::vector<LoadingRecord> &records) : records(records) {}
    ABRecordContent *find(qint64 recordID)
    {
        while (position < records.size() && records[position].recordID < recordID)
            ++position;
        if (position < records.size() && records[position].recordID == recordID)
            return records[position].content.get();
        return nullptr;
    }

private:
    std::vector<LoadingRecord> &records;
    size_t position = 0;
};

bool loadRecords(sqlite3 *database, std::vector<LoadingRecord> &records)
{
    Statement select(database,
                     "SELECT id, type, created, modified, image FROM records ORDER BY id");
    while (select.next()) {
        auto content = std::make_shared<ABRecordContent>();
        const auto type = ABRecordType(select.integer(1));
        if (type == kABPersonType) {
            content->set(kABPersonCreationDateProperty, dateFromStore(select.integer(2)));
            content->set(kABPersonModificationDateProperty, dateFromStore(select.integer(3)));
            content->imageData = select.blob(4);
        }
        records.push_back({ABRecordID(select.integer(0)), type, std::move(content)});
    }
    return !select.failed();
}

bool loadValues(sqlite3 *database, std::vector<LoadingRecord> &records)
{
    Statement select(database, "SELECT record_id, property, value FROM record_values "
                               "ORDER BY record_id, property");
    RecordCursor cursor(records);
    while (select.next()) {
        ABRecordContent *content = cursor.find(select.integer(0));
        const ABPropertyDescription *description =
            ABPropertyDescribe(ABPropertyID(select.integer(1)));
        if (!content || !description)
            continue;
        if (auto value = singleValueFromStore(select, 2, description->type))
            content->set(description->property, std::move(*value));
    }
    return !select.failed();
}

bool loadMultiValues(sqlite3 *database, std::vector<LoadingRecord> &records)
{
    Statement select(database, "SELECT record_id, property, identifier, label, value "
                               "FROM multivalue_entries ORDER BY record_id, property, position");
    RecordCursor cursor(records);
    ABRecordContent *building = nullptr;
    ABPropertyID buildingProperty = kABPropertyInvalidID;
    std::shared_ptr<ABMultiValue> multiValue;
    auto finish = [&] {
        if (building && multiValue)
            building->set(buildingProperty, ABMultiValueRef(std::move(multiValue)));
        multiValue.reset();
    };
    while (select.next()) {
        ABRecordContent *content = cursor.find(select.integer(0));
        const auto property = ABPropertyID(select.integer(1));
        const ABPropertyDescription *description = ABPropertyDescribe(property);
        if (!content || !description || !(description->type & kABMultiValueMask))
            continue;
        if (content != building || property != buildingProperty) {
            finish();
            building = content;
            buildingProperty = property;
            multiValue = std::make_shared<ABMultiValue>(description->type);
        }
        multiValue->restore(ABMultiValueIdentifier(select.integer(2)),
                            entryValueFromStore(select, 4, description->type),
                            select.optionalText(3));
    }
    finish();
    return !select.failed();
}

bool loadMembers(sqlite3 *database, std::vector<LoadingRecord> &records)
{
    Statement select(database,
                     "SELECT group_id, person_id FROM group_members ORDER BY group_id, position");
    RecordCursor cursor(records);
    while (select.next()) {
        if (ABRecordContent *content = cursor.find(select.integer(0)))
            content->members.append(ABRecordID(select.integer(1)));
    }
    return !select.failed();
}

std::shared_ptr<ABStoreSnapshot> loadSnapshot(sqlite3 *database)
{
    if (!execute(database, "BEGIN"))
        return nullptr;
    auto snapshot = std::make_shared<ABStoreSnapshot>();
    std::vector<LoadingRecord> records;
    const std::optional<qint64> generation = metaValue(database, "generation");
    const std::optional<qint64> nameFormat = metaValue(database, "composite_name_format");
    const bool loaded = generation && nameFormat && loadRecords(database, records) &&
                        loadValues(database, records) && loadMultiValues(database, records) &&
                        loadMembers(database, records);
    execute(database, "COMMIT");
    if (!loaded)
        return nullptr;
    snapshot->generation = *generation;
    snapshot->compositeNameFormat = ABPersonCompositeNameFormat(*nameFormat);
    for (LoadingRecord &record : records) {
        if (record.type == kABPersonType || record.type == kABGroupType)
            snapshot->records(record.type).push_back({record.recordID, std::move(record.content)});
    }
    return snapshot;
}

// ---- writing ---------------------------------------------------------------------------------

qint64 creationOf(const ABRecordContent &content, qint64 fallback)
{
    const ABPropertyValue *created = content.find(kABPersonCreationDateProperty);
    const auto *date = created ? std::get_if<QDateTime>(created) : nullptr;
    return date ? date->toMSecsSinceEpoch() : fallback;
}

class Writer
{
public:
    Writer(sqlite3 *database, qint64 now) : database(database), now(now) {}

    bool isValid() const
    {
        return insertRecord.isValid() && updateRecord.isValid() && deleteRecord.isValid() &&
               insertValue.isValid() && insertEntry.isValid() && insertMember.isValid() &&
               clearValues.isValid() && clearEntries.isValid() && clearMembers.isValid();
    }

    bool remove(ABRecordID recordID) { return deleteRecord.bind(1, recordID).run(); }

    // The record as written, or an invalid identifier when a changed record no longer exists.
    // Earlier writes of the same commit give the identifiers of new members.
    std::optional<ABStoreSnapshot::Record>
    write(const ABStoreChanges::Write &change, const std::vector<ABStoreSnapshot::Record> &earlier)
    {
        auto stored = std::make_shared<ABRecordContent>(*change.content);
        stored->unsavedMembers.clear();
        for (const size_t position : change.newMembers) {
            if (position < earlier.size() && earlier[position].recordID != kABRecordInvalidID)
                stored->members.append(earlier[position].recordID);
        }
        std::optional<ABRecordID> recordID = change.recordID == kABRecordInvalidID
                                                 ? insert(change.type, *stored)
                                                 : update(change.recordID, change.type, *stored);
        if (!recordID)
            return std::nullopt;
        if (*recordID == kABRecordInvalidID)
            return ABStoreSnapshot::Record{kABRecordInvalidID, nullptr};
        if (!writeValues(*recordID, *stored) || !writeMembers(*recordID, *stored))
            return std::nullopt;
        return ABStoreSnapshot::Record{*recordID, std::move(stored)};
    }

private:
    std::optional<ABRecordID> insert(ABRecordType type, ABRecordContent &content)
    {
        const qint64 created = creationOf(content, now);
        insertRecord.bind(1, qint64(type))
            .bind(2, created)
            .bind(3, now)
            .bindBlob(4, content.imageData);
        if (!insertRecord.run())
            return std::nullopt;
        const qint64 recordID = sqlite3_last_insert_rowid(database);
        if (recordID > std::numeric_limits<ABRecordID>::max())
            return std::nullopt;
        stampDates(type, content, created);
        return ABRecordID(recordID);
    }

    std::optional<ABRecordID> update(ABRecordID recordID, ABRecordType type,
                                     ABRecordContent &content)
    {
        updateRecord.bind(1, now)
            .bindBlob(2, content.imageData)
            .bind(3, recordID)
            .bind(4, qint64(type));
        std::optional<qint64> created;
        if (updateRecord.next())
            created = updateRecord.integer(0);
        const bool failed = updateRecord.failed();
        updateRecord.reset();
        if (failed)
            return std::nullopt;
        if (!created)
            return kABRecordInvalidID;
        stampDates(type, content, *created);
        const bool cleared = clearValues.bind(1, recordID).run() &&
                             clearEntries.bind(1, recordID).run() &&
                             clearMembers.bind(1, recordID).run();
        return cleared ? std::optional<ABRecordID>(recordID) : std::nullopt;
    }

    void stampDates(ABRecordType type, ABRecordContent &content, qint64 created) const
    {
        if (type != kABPersonType)
            return;
        content.set(kABPersonCreationDateProperty, dateFromStore(created));
        content.set(kABPersonModificationDateProperty, dateFromStore(now));
    }

    bool writeValues(ABRecordID recordID, const ABRecordContent &content)
    {
        for (const auto &[property, value] : content.values) {
            const ABPropertyDescription *description = ABPropertyDescribe(property);
            if (!description || description->keptByStore)
                continue;
            const bool written =
                std::holds_alternative<ABMultiValueRef>(value)
                    ? writeEntries(recordID, property, *std::get<ABMultiValueRef>(value))
                    : writeSingleValue(recordID, property, value);
            if (!written)
                return false;
        }
        return true;
    }

    bool writeSingleValue(ABRecordID recordID, ABPropertyID property, const ABPropertyValue &value)
    {
        insertValue.bind(1, recordID).bind(2, property);
        bindSingleValue(insertValue, 3, value);
        return insertValue.run();
    }

    bool writeEntries(ABRecordID recordID, ABPropertyID property, const ABMultiValue &multiValue)
    {
        qint64 position = 0;
        for (const ABMultiValue::Entry &entry : multiValue.entries()) {
            insertEntry.bind(1, recordID).bind(2, property).bind(3, position++);
            insertEntry.bind(4, entry.identifier).bind(5, entry.label);
            bindEntryValue(insertEntry, 6, entry.value);
            if (!insertEntry.run())
                return false;
        }
        return true;
    }

    // Persons removed meanwhile are left out, and so out of the stored content too.
    bool writeMembers(ABRecordID groupID, ABRecordContent &content)
    {
        QList<ABRecordID> stored;
        for (const ABRecordID personID : std::as_const(content.members)) {
            insertMember.bind(1, groupID).bind(2, qint64(stored.size())).bind(3, personID);
            if (!insertMember.run())
                return false;
            if (sqlite3_changes(database) > 0)
                stored.append(personID);
        }
        content.members = stored;
        return true;
    }

    sqlite3 *database;
    qint64 now;
    Statement insertRecord{
        database, "INSERT INTO records (type, created, modified, image) VALUES (?, ?, ?, ?)"};
    Statement updateRecord{database, "UPDATE records SET modified = ?, image = ? "
                                     "WHERE id = ? AND type = ? RETURNING created"};
    Statement deleteRecord{database, "DELETE FROM records WHERE id = ?"};
    Statement clearValues{database, "DELETE FROM record_values WHERE record_id = ?"};
    Statement clearEntries{database, "DELETE FROM multivalue_entries WHERE record_id = ?"};
    Statement clearMembers{database, "DELETE FROM group_members WHERE group_id = ?"};
    Statement insertValue{
        database, "INSERT INTO record_values (record_id, property, value) VALUES (?, ?, ?)"};
    Statement insertEntry{database, "INSERT INTO multivalue_entries "
                                    "(record_id, property, position, identifier, label, value) "
                                    "VALUES (?, ?, ?, ?, ?, ?)"};
    Statement insertMember{database, "INSERT INTO group_members (group_id, position, person_id) "
                                     "SELECT ?1, ?2, ?3 WHERE EXISTS "
                                     "(SELECT 1 FROM records WHERE id = ?3 AND type = 0)"};
};

// The previous snapshot with the committed changes applied, without reading the file again.
std::shared_ptr<ABStoreSnapshot> applyChanges(const ABStoreSnapshot &previous,
                                              const ABStoreChanges &changes,
                                              const ABStoreCommit &commit)
{
    auto next = std::make_shared<ABStoreSnapshot>(previous);
    next->generation = previous.generation + 1;
    if (changes.compositeNameFormat)
        next->compositeNameFormat = *changes.compositeNameFormat;
    for (const ABRecordID removed : changes.removals) {
        for (const ABRecordType type : {kABPersonType, kABGroupType}) {
            if (const auto index = next->indexOf(type, removed))
                next->records(type).erase(next->records(type).begin() + qsizetype(*index));
        }
        for (ABStoreSnapshot::Record &group : next->groups) {
            if (!group.content->members.contains(removed))
                continue;
            auto content = std::make_shared<ABRecordContent>(*group.content);
            content->members.removeAll(removed);
            group.content = std::move(content);
        }
    }
    for (size_t i = 0; i < commit.written.size(); ++i) {
        const ABStoreSnapshot::Record &record = commit.written[i];
        if (record.recordID == kABRecordInvalidID)
            continue;
        auto &records = next->records(changes.writes[i].type);
        if (const auto index = next->indexOf(changes.writes[i].type, record.recordID))
            records[*index] = record;
        else
            records.push_back(record); // new identifiers are above every stored one
    }
    return next;
}
} // namespace

QString ABSQLiteStore::defaultPath()
{
    return DocumentsDirectory() + QStringLiteral("/addressbook.sqlite");
}

std::unique_ptr<ABSQLiteStore> ABSQLiteStore::open(ABErrorOut error)
{
    std::unique_ptr<ABSQLiteStore> store(new ABSQLiteStore(defaultPath()));
    if (!store->openFile(error))
        return nullptr;
    store->watchFile();
    return store;
}

ABSQLiteStore::ABSQLiteStore(const QString &path) : filePath(path) {}

ABSQLiteStore::~ABSQLiteStore()
{
    sqlite3_close(database);
}

// Another process's save (molvane-cli importing, say) lands in the write-ahead log.
void ABSQLiteStore::watchFile()
{
    watcher = new QFileSystemWatcher(this);
    watcher->addPaths({filePath, filePath + QStringLiteral("-wal")});
    connect(watcher, &QFileSystemWatcher::fileChanged, this, &ABSQLiteStore::fileChanged);
}

void ABSQLiteStore::fileChanged()
{
    for (const QString &path : {filePath, filePath + QStringLiteral("-wal")}) {
        if (!watcher->files().contains(path) && QFile::exists(path))
            watcher->addPath(path);
    }
    if (!latest || metaValue(database, "generation") != latest->generation)
        Q_EMIT changed();
}

bool ABSQLiteStore::openFile(ABErrorOut error)
{
    const auto fail = [&](const QString &reason) {
        return ABFail(
            error, ABError::Code::StoreUnavailable,
            QStringLiteral("The address book %1 cannot be opened: %2").arg(filePath, reason));
    };
    const int flags = SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE;
    if (sqlite3_open_v2(QFile::encodeName(filePath).constData(), &database, flags, nullptr) !=
        SQLITE_OK)
        return fail(sqliteMessage(database));
    sqlite3_busy_timeout(database, 5000);
    if (!execute(database, "PRAGMA journal_mode = WAL") ||
        !execute(database, "PRAGMA foreign_keys = ON"))
        return fail(sqliteMessage(database));
    Statement version(database, "PRAGMA user_version");
    if (!version.next())
        return fail(sqliteMessage(database));
    const qint64 storedVersion = version.integer(0);
    if (storedVersion > SchemaVersion)
        return fail(QStringLiteral("it was written by a newer version of Molvane"));
    if (storedVersion == SchemaVersion)
        return true;
    const QByteArray create = QByteArray("BEGIN IMMEDIATE;") + Schema +
                              "PRAGMA user_version = " + QByteArray::number(SchemaVersion) +
                              ";COMMIT;";
    if (!execute(database, create.constData())) {
        const QString reason = sqliteMessage(database);
        execute(database, "ROLLBACK");
        return fail(reason);
    }
    return true;
}

std::shared_ptr<const ABStoreSnapshot> ABSQLiteStore::snapshot(ABErrorOut error)
{
    const std::optional<qint64> generation = metaValue(database, "generation");
    if (latest && generation == latest->generation)
        return latest;
    std::shared_ptr<ABStoreSnapshot> loaded = loadSnapshot(database);
    if (!loaded) {
        ABFail(error, ABError::Code::StoreUnavailable,
               QStringLiteral("The address book %1 cannot be read: %2")
                   .arg(filePath, sqliteMessage(database)));
        return nullptr;
    }
    latest = std::move(loaded);
    return latest;
}

std::optional<ABStoreCommit> ABSQLiteStore::commit(const ABStoreChanges &changes, ABErrorOut error)
{
    const auto fail = [&](const QString &reason) -> std::optional<ABStoreCommit> {
        execute(database, "ROLLBACK");
        ABFail(error, ABError::Code::SaveFailed,
               QStringLiteral("The address book could not be saved: %1").arg(reason));
        return std::nullopt;
    };
    if (!execute(database, "BEGIN IMMEDIATE"))
        return fail(sqliteMessage(database));
    const std::optional<qint64> generation = metaValue(database, "generation");
    ABStoreCommit commit;
    {
        Writer writer(database, QDateTime::currentMSecsSinceEpoch());
        if (!generation || !writer.isValid())
            return fail(sqliteMessage(database));
        for (const ABRecordID removed : changes.removals) {
            if (!writer.remove(removed))
                return fail(sqliteMessage(database));
        }
        for (const ABStoreChanges::Write &change : changes.writes) {
            std::optional<ABStoreSnapshot::Record> written = writer.write(change, commit.written);
            if (!written)
                return fail(sqliteMessage(database));
            commit.written.push_back(std::move(*written));
        }
    }
    Statement setFormat(database, "UPDATE meta SET value = ? WHERE key = 'composite_name_format'");
    if (changes.compositeNameFormat && !setFormat.bind(1, *changes.compositeNameFormat).run())
        return fail(sqliteMessage(database));
    Statement setGeneration(database, "UPDATE meta SET value = ? WHERE key = 'generation'");
    if (!setGeneration.bind(1, *generation + 1).run() || !execute(database, "COMMIT"))
        return fail(sqliteMessage(database));

    if (latest && latest->generation == *generation)
        latest = applyChanges(*latest, changes, commit);
    else
        latest = loadSnapshot(database);
    commit.snapshot = latest;
    Q_EMIT changed();
    return commit;
}
