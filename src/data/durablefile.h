#pragma once

#include <QIODevice>
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

// A file written whole or not at all. The bytes go to a work file beside the
// target; every write and the final flush are checked, and only a complete,
// synced file replaces the earlier one, which stays as it was on any failure
// or when the writer is dropped uncommitted. A target that is no regular file
// (a device, a pipe) is written in place, with the same checks.
class Output : public QIODevice
{
public:
    // Opens the work file; throws DataError naming `target` when it cannot.
    explicit Output(const QString &target);
    ~Output() override;

    // Puts the finished file in place; throws DataError with what the system
    // said when any write, the flush or the rename failed.
    void commit();
    // The first failure so far ("No space left on device"); empty when none.
    QString failure() const { return m_failure; }

protected:
    qint64 readData(char *, qint64) override { return -1; }
    qint64 writeData(const char *data, qint64 size) override;

private:
    bool drain();
    void fail(const QString &reason);
    [[noreturn]] void throwFailure();

    QString m_target;
    QString m_final;
    QString m_work;
    int m_fd = -1;
    bool m_inPlace = false;
    QByteArray m_buffer;
    QString m_failure;
};

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
