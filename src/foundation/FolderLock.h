#pragma once
// One running program per working folder: two copies would number their undo images alike and
// overwrite each other's. The lock is an flock on a file in the folder, so it ends with the process,
// however that ends, and never goes stale.
#include <QtCore/QString>

class FolderLock
{
  public:
    FolderLock() = default;
    FolderLock(const FolderLock&) = delete;
    FolderLock& operator=(const FolderLock&) = delete;
    ~FolderLock();

    static QString fileName() { return QStringLiteral("pictorel.lock"); }

    // False when another running program holds the folder. A folder the lock file cannot be made in
    // counts as free: nothing can be written there by anyone.
    bool acquire(const QString& folder);
    void release();

  private:
    int fd_ = -1;
};
