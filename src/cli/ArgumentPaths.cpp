#include "cli/ArgumentPaths.h"

#include "foundation/PathBytes.h"

#include <QtCore/QHash>
#include <QtCore/QMutex>

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

QStringList ArgumentPaths::decode(int argc, char** argv)
{
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << PathBytes::fromBytes(QByteArray(argv[i]));
    return arguments;
}

namespace {

bool statOf(const QString& path, struct stat& info)
{
    return ::stat(PathBytes::toBytes(path).constData(), &info) == 0;
}

// The names given for the descriptors that ReadablePath objects hold, for messages from any thread.
QMutex namesLock;
QHash<int, QString> givenNames;

constexpr QLatin1String descriptorFolder("/proc/self/fd/");

QString lastPart(const QString& path)
{
    QString trimmed = path;
    while (trimmed.size() > 1 && trimmed.endsWith(QLatin1Char('/')))
        trimmed.chop(1);
    return trimmed.mid(trimmed.lastIndexOf(QLatin1Char('/')) + 1);
}

} // namespace

bool ArgumentPaths::isFolder(const QString& path)
{
    struct stat info
    {
    };
    return statOf(path, info) && S_ISDIR(info.st_mode);
}

bool ArgumentPaths::exists(const QString& path)
{
    struct stat info
    {
    };
    return statOf(path, info);
}

bool ArgumentPaths::makeFolders(const QString& path)
{
    const QByteArray bytes = PathBytes::toBytes(path);
    for (qsizetype end = bytes.indexOf('/', 1);; end = bytes.indexOf('/', end + 1)) {
        const QByteArray folder = end < 0 ? bytes : bytes.left(end);
        if (::mkdir(folder.constData(), 0777) != 0 && errno != EEXIST)
            return false;
        if (end < 0)
            break;
    }
    return isFolder(path);
}

QString ArgumentPaths::join(const QString& folder, const QString& name)
{
    return folder.endsWith(QLatin1Char('/')) ? folder + name : folder + QLatin1Char('/') + name;
}

QString ArgumentPaths::baseName(const QString& path)
{
    const QString name = lastPart(path);
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    return dot > 0 ? name.left(dot) : name;
}

ReadablePath::ReadablePath(const QString& given) : given_(given), path_(given)
{
    if (!PathBytes::holdsRawBytes(given))
        return;
    fd_ = ::open(PathBytes::toBytes(given).constData(), O_PATH | O_CLOEXEC);
    if (fd_ < 0)
        return;
    path_ = descriptorFolder + QString::number(fd_);
    const QMutexLocker lock(&namesLock);
    givenNames.insert(fd_, given_);
}

ReadablePath::~ReadablePath()
{
    if (fd_ < 0)
        return;
    {
        const QMutexLocker lock(&namesLock);
        givenNames.remove(fd_);
    }
    ::close(fd_);
}

QString ReadablePath::namedAsGiven(const QString& text)
{
    QString named;
    qsizetype from = 0;
    const QMutexLocker lock(&namesLock);
    for (qsizetype at = text.indexOf(descriptorFolder); at >= 0; at = text.indexOf(descriptorFolder, from)) {
        qsizetype end = at + descriptorFolder.size();
        while (end < text.size() && text.at(end).isDigit())
            ++end;
        const auto found = givenNames.constFind(
            QStringView(text).mid(at + descriptorFolder.size(), end - at - descriptorFolder.size()).toInt());
        named += QStringView(text).mid(from, at - from);
        named += found == givenNames.constEnd() ? QStringView(text).mid(at, end - at) : QStringView(*found);
        from = end;
    }
    named += QStringView(text).mid(from);
    return named;
}

QString ReadablePath::named(QString message) const
{
    if (fd_ < 0)
        return message;
    message.replace(path_, given_);
    // Messages that name the file alone name it by the last part of the path they were given.
    QStringList lines = message.split(QLatin1Char('\n'));
    for (QString& line : lines)
        if (line == lastPart(path_))
            line = lastPart(given_);
    return lines.join(QLatin1Char('\n'));
}
