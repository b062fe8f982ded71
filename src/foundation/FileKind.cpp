#include "foundation/FileKind.h"

#include "foundation/PathBytes.h"

#include <sys/stat.h>

bool FileKind::isSpecial(const QString& path)
{
    struct stat info
    {
    };
    return ::stat(PathBytes::toBytes(path).constData(), &info) == 0 && !S_ISREG(info.st_mode);
}
