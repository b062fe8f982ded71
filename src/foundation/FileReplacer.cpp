#include "foundation/FileReplacer.h"

#include "foundation/FileKind.h"

#include <QtCore/QFile>
#include <QtCore/QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <unistd.h>

// Writes a temporary file beside the target and renames it over the target, so the target is
// either the old file or the complete new one. No fsync: the pictures are working files, a
// 70 MB bitmap would wait a second for the disk, and ext4 orders the data of a file that replaces
// another by rename before the rename itself.
QString FileReplacer::replace(const QString& path, const std::function<bool(const ByteSink&)>& produce)
{
    // Renaming over a device node or FIFO would replace it with a plain file.
    if (FileKind::isSpecial(path))
        return QStringLiteral("not a regular file");
    const QByteArray target = QFile::encodeName(path);
    QByteArray temporary;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temporary = target + ".tmp" + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        fd = ::open(temporary.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666); // 0666 minus umask
        if (fd < 0 && errno != EEXIST)
            break;
    }
    if (fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    int failure = 0;
    const ByteSink sink = [fd, &failure](const char* data, qint64 size) {
        while (size > 0) {
            const ssize_t n = ::write(fd, data, size_t(std::min<qint64>(size, 1 << 30)));
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0) {
                failure = n < 0 ? errno : ENOSPC;
                return false;
            }
            data += n, size -= n;
        }
        return true;
    };
    const bool produced = produce(sink);
    if (::close(fd) != 0 && produced)
        failure = errno;
    if (produced && failure == 0 && std::rename(temporary.constData(), target.constData()) == 0)
        return {};
    const int code = failure ? failure : errno;
    ::unlink(temporary.constData());
    return produced || failure ? QString::fromLocal8Bit(std::strerror(code)) : QStringLiteral("encoding failed");
}

QString FileReplacer::replace(const QString& path, const QByteArray& bytes)
{
    return replace(path, [&bytes](const ByteSink& sink) { return sink(bytes.constData(), bytes.size()); });
}
