#pragma once

#include "Platform/AddressBook/ABStore.h"

class QFileSystemWatcher;
struct sqlite3;

// The SQLite file of Molvane's own address book, $XDG_DATA_HOME/molvane/addressbook.sqlite.
// One connection per process; the latest snapshot is kept and reused until the file changes,
// here or in another process.
class ABSQLiteStore final : public ABStore
{
public:
    // Opened (and created) at the current documents directory; nothing, with the reason.
    static std::unique_ptr<ABSQLiteStore> open(ABErrorOut error);
    static QString defaultPath();

    ~ABSQLiteStore() override;

    ABStoreKind kind() const override { return ABStoreKind::SQLite; }
    bool hasMoved() const override { return filePath != defaultPath(); }
    QString path() const { return filePath; }
    std::shared_ptr<const ABStoreSnapshot> snapshot(ABErrorOut error) override;
    // Writes the changes in one transaction; nothing is written when it fails.
    std::optional<ABStoreCommit> commit(const ABStoreChanges &changes, ABErrorOut error) override;

private:
    explicit ABSQLiteStore(const QString &path);
    bool openFile(ABErrorOut error);
    void watchFile();
    void fileChanged();

    QString filePath;
    sqlite3 *database = nullptr;
    std::shared_ptr<const ABStoreSnapshot> latest;
    QFileSystemWatcher *watcher = nullptr;
};
