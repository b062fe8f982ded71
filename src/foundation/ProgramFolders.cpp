#include "foundation/ProgramFolders.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QStandardPaths>

#include <unistd.h>

namespace {

QString withSeparator(QString folder)
{
    if (!folder.endsWith(QLatin1Char('/')))
        folder += QLatin1Char('/');
    return folder;
}

// $VARIABLE when it holds an absolute path, else $HOME + fallback.
QString xdgFolder(const char* variable, const char* fallback)
{
    const QString value = qEnvironmentVariable(variable);
    if (!value.isEmpty() && QDir::isAbsolutePath(value))
        return withSeparator(value) + QStringLiteral("pictorel/");
    return withSeparator(QDir::homePath()) + QLatin1String(fallback) + QStringLiteral("/pictorel/");
}

bool writable(const QString& folder)
{
    return ::access(QFile::encodeName(folder).constData(), W_OK | X_OK) == 0;
}

QString userPictures()
{
    const QString pictures = QStandardPaths::writableLocation(QStandardPaths::PicturesLocation);
    return withSeparator(QFileInfo(pictures).isDir() ? pictures : QDir::homePath());
}

} // namespace

ProgramFolders ProgramFolders::portable(const QString& programFolder)
{
    ProgramFolders f;
    f.program_ = f.settings_ = f.data_ = f.work_ = f.pictures_ = withSeparator(programFolder);
    return f;
}

ProgramFolders ProgramFolders::forProgram(const QString& programFolder)
{
    if (QFileInfo::exists(withSeparator(programFolder) + portableMarker()) && writable(programFolder))
        return portable(programFolder);
    ProgramFolders f;
    f.portable_ = false;
    f.program_ = withSeparator(programFolder);
    f.settings_ = xdgFolder("XDG_CONFIG_HOME", ".config");
    f.data_ = xdgFolder("XDG_DATA_HOME", ".local/share");
    f.work_ = xdgFolder("XDG_CACHE_HOME", ".cache");
    f.pictures_ = userPictures();
    return f;
}

QString ProgramFolders::catalogueToRead(const QString& fileName) const
{
    const QString updated = data_ + fileName;
    if (!portable_ && QFileInfo(updated).isFile())
        return updated;
    return program_ + fileName;
}

bool ProgramFolders::createWritableFolders() const
{
    for (const QString& folder : {settings_, data_, work_})
        if (!QDir().mkpath(folder))
            return false;
    return true;
}
