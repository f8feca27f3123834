#pragma once

#include "Platform/AddressBook/ABVCardStore.h"

#include <QDateTime>
#include <QTimer>

class QFileSystemWatcher;

// The folder of vCard files that Plasma Mobile's apps share, $XDG_DATA_HOME/kpeoplevcard: every
// .vcf or .vcard file below it, one person each (the file's first card). New persons go into
// own/, each file is written whole or not at all, and changes made by other apps are picked up
// as they happen.
class ABVCardFolderStore final : public ABVCardStore
{
public:
    static std::unique_ptr<ABVCardFolderStore> open(ABErrorOut error);
    static QString defaultPath();

    ABStoreKind kind() const override { return ABStoreKind::VCardFolder; }
    bool hasMoved() const override { return root != defaultPath(); }

protected:
    std::optional<QStringList> writeCards(const CardWrites &writes, ABErrorOut error) override;

private:
    struct Seen
    {
        QDateTime modified;
        qint64 size;
    };

    explicit ABVCardFolderStore(const QString &root);
    void scan();
    void watch(const QStringList &directories, const QSet<QString> &files);
    bool writeFile(const QString &path, const QList<VCardProperty> &card, ABErrorOut error);
    void remember(const QString &path);

    QString root;
    QFileSystemWatcher *watcher;
    QTimer rescan;
    QHash<QString, Seen> seen; // the files read, as they were then
};
