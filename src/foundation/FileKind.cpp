#include "foundation/FileKind.h"

#include <QtCore/QFile>

#include <sys/stat.h>

bool FileKind::isSpecial(const QString& path)
{
    struct stat info
    {
    };
    return ::stat(QFile::encodeName(path).constData(), &info) == 0 && !S_ISREG(info.st_mode);
}
