#include "foundation/FileReplacer.h"

#include "foundation/FileKind.h"
#include "foundation/PathBytes.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QRandomGenerator>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// A temporary file is the target's name, this marker and a random number in base 36.
constexpr char marker[] = ".pictorel~";

bool sameFile(const struct stat& a, const struct stat& b)
{
    return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Whether the open file is still the one the name points at.
bool stillNamed(int fd, const char* name)
{
    struct stat open
    {
    }, named{};
    return ::fstat(fd, &open) == 0 && ::lstat(name, &named) == 0 && sameFile(open, named);
}

// A new temporary file beside the target, locked for as long as it exists: the lock tells a
// cleaner that its writer is alive, and the kernel drops it when the writer dies. The lock is held
// through a descriptor of its own, so the written one can be closed (and its errors seen) before
// the rename.
struct Temporary
{
    QByteArray name;
    int fd = -1;
    int lock = -1;
};

Temporary createTemporary(const QByteArray& target)
{
    Temporary t;
    for (int attempt = 0; attempt < 100; ++attempt) {
        t.name = target + marker + QByteArray::number(QRandomGenerator::global()->generate(), 36);
        t.fd = ::open(t.name.constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (t.fd < 0 && errno == EEXIST)
            continue;
        if (t.fd < 0)
            return t;
        t.lock = ::open(t.name.constData(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
        // A cleaner may have taken the file between its creation and the lock: then make another.
        if (t.lock >= 0 && ::flock(t.lock, LOCK_EX) == 0 && stillNamed(t.lock, t.name.constData()))
            return t;
        ::close(t.fd);
        if (t.lock >= 0)
            ::close(t.lock);
        t = Temporary{};
    }
    errno = EEXIST;
    return Temporary{};
}

// Removes one leftover if it is a plain file of ours that no writer holds.
bool removeIfAbandoned(const QByteArray& path)
{
    const int fd = ::open(path.constData(), O_RDONLY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0)
        return false;
    struct stat info
    {
    };
    const bool abandoned = ::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_uid == ::geteuid() &&
                           ::flock(fd, LOCK_EX | LOCK_NB) == 0 && stillNamed(fd, path.constData());
    const bool removed = abandoned && ::unlink(path.constData()) == 0;
    ::close(fd);
    return removed;
}

} // namespace

bool FileReplacer::isTemporaryName(const QString& fileName)
{
    const qsizetype at = fileName.lastIndexOf(QLatin1String(marker));
    if (at <= 0)
        return false;
    const QStringView number = QStringView(fileName).mid(at + qsizetype(sizeof marker) - 1);
    return !number.isEmpty() && number.size() <= 7 && std::all_of(number.begin(), number.end(), [](QChar c) {
        return (c >= QLatin1Char('0') && c <= QLatin1Char('9')) || (c >= QLatin1Char('a') && c <= QLatin1Char('z'));
    });
}

int FileReplacer::removeLeftovers(const QString& folder)
{
    const QByteArray dirName = PathBytes::toBytes(folder.isEmpty() ? QStringLiteral(".") : folder);
    DIR* dir = ::opendir(dirName.constData());
    if (!dir)
        return 0;
    int removed = 0;
    while (const dirent* entry = ::readdir(dir)) {
        const QByteArray name(entry->d_name);
        if (name.contains(marker) && isTemporaryName(QFile::decodeName(name)))
            removed += removeIfAbandoned(dirName + '/' + name) ? 1 : 0;
    }
    ::closedir(dir);
    return removed;
}

// Writes a temporary file beside the target and renames it over the target, so the target is
// either the old file or the complete new one. No fsync: the pictures are working files, a
// 70 MB bitmap would wait a second for the disk, and ext4 orders the data of a file that replaces
// another by rename before the rename itself.
QString FileReplacer::replace(const QString& path, const std::function<bool(const ByteSink&)>& produce,
                              std::optional<mode_t> mode)
{
    // Renaming over a device node or FIFO would replace it with a plain file.
    if (FileKind::isSpecial(path))
        return QStringLiteral("not a regular file");
    removeLeftovers(QFileInfo(path).path());
    const QByteArray target = PathBytes::toBytes(path);
    const Temporary temporary = createTemporary(target);
    if (temporary.fd < 0)
        return QString::fromLocal8Bit(std::strerror(errno));
    const int fd = temporary.fd;
    int failure = mode && ::fchmod(fd, *mode) != 0 ? errno : 0;
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
    const bool produced = failure == 0 && produce(sink);
    if (::close(fd) != 0 && produced)
        failure = errno;
    const bool renamed = produced && failure == 0 && std::rename(temporary.name.constData(), target.constData()) == 0;
    const int code = failure ? failure : errno;
    if (!renamed)
        ::unlink(temporary.name.constData());
    ::close(temporary.lock);
    if (renamed)
        return {};
    return produced || failure ? QString::fromLocal8Bit(std::strerror(code)) : QStringLiteral("encoding failed");
}

QString FileReplacer::replace(const QString& path, const QByteArray& bytes, std::optional<mode_t> mode)
{
    return replace(
        path, [&bytes](const ByteSink& sink) { return sink(bytes.constData(), bytes.size()); }, mode);
}
