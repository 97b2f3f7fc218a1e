#pragma once

#include <QString>

// Putting a finished file in place so that a power cut never leaves a
// half-written one under its final name, and making one process at a time do
// it when several start at once.
namespace DurableFile {

// Flushes the file's contents to the disk; throws DataError when it cannot.
void sync(const QString &path);
// Flushes the folder holding `path`, so a rename in it survives a power cut.
void syncFolderOf(const QString &path);

// Syncs `finished`, renames it to `target` (replacing it when `replace`, else
// failing when `target` exists, leaving `finished` as it is) and syncs the
// folder. Returns false only when `target` existed and was not replaced.
bool install(const QString &finished, const QString &target, bool replace);

// A name beside `path` that no other process uses: for work files that must
// never be removed by a second process running at the same time.
QString uniqueWorkName(const QString &path, const QString &suffix);

// Holds an exclusive lock on a folder while it lives; a second holder waits.
// Used around creating the store, never held while the store is in use.
class FolderLock
{
public:
    explicit FolderLock(const QString &folder);
    ~FolderLock();
    FolderLock(const FolderLock &) = delete;
    FolderLock &operator=(const FolderLock &) = delete;

private:
    int m_fd = -1;
};

} // namespace DurableFile
