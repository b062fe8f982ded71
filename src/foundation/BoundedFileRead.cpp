#include "foundation/BoundedFileRead.h"

#include <QtCore/QFile>

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

QString lastError()
{
    return QString::fromLocal8Bit(std::strerror(errno));
}

} // namespace

BoundedFileRead::BoundedFileRead(const QString& path, qint64 maxBytes)
{
    // Non-blocking, so that a FIFO put there between any check and the open cannot hold us.
    const int fd = ::open(QFile::encodeName(path).constData(), O_RDONLY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        outcome_ = errno == ENOENT ? Outcome::Missing : Outcome::Refused;
        problem_ = outcome_ == Outcome::Refused ? lastError() : QString();
        return;
    }
    struct stat info
    {
    };
    outcome_ = Outcome::Refused;
    if (::fstat(fd, &info) != 0)
        problem_ = lastError();
    else if (!S_ISREG(info.st_mode))
        problem_ = QStringLiteral("not a regular file");
    else if (info.st_size > maxBytes)
        problem_ = QStringLiteral("larger than %1 bytes").arg(maxBytes);
    if (!problem_.isEmpty()) {
        ::close(fd);
        return;
    }
    // The file may grow while it is read: never more than the bound plus one byte is taken.
    const qsizetype most = qsizetype(maxBytes) + 1;
    bytes_.resize(std::min<qsizetype>(qsizetype(info.st_size) + 1, most));
    qsizetype done = 0;
    for (;;) {
        if (done == bytes_.size() && bytes_.size() < most)
            bytes_.resize(std::min<qsizetype>(bytes_.size() * 2, most));
        const ssize_t n = done < bytes_.size() ? ::read(fd, bytes_.data() + done, size_t(bytes_.size() - done)) : 0;
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0)
            problem_ = lastError();
        if (n <= 0)
            break;
        done += n;
    }
    ::close(fd);
    if (problem_.isEmpty() && done > maxBytes)
        problem_ = QStringLiteral("larger than %1 bytes").arg(maxBytes);
    if (!problem_.isEmpty()) {
        bytes_.clear();
        return;
    }
    bytes_.truncate(done);
    outcome_ = Outcome::Read;
}
