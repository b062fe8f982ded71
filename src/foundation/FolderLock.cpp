#include "foundation/FolderLock.h"

#include <QtCore/QDir>
#include <QtCore/QFile>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

FolderLock::~FolderLock()
{
    release();
}

bool FolderLock::acquire(const QString& folder)
{
    release();
    const QByteArray path = QFile::encodeName(QDir(folder).filePath(fileName()));
    const int fd = ::open(path.constData(), O_RDWR | O_CREAT | O_CLOEXEC, 0666);
    if (fd < 0) {
        std::fprintf(stderr, "pictorel: cannot create %s: %s\n", path.constData(), std::strerror(errno));
        return true;
    }
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        ::close(fd);
        return false;
    }
    fd_ = fd;
    return true;
}

void FolderLock::release()
{
    if (fd_ >= 0)
        ::close(fd_);
    fd_ = -1;
}
