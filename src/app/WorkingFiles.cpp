#include "app/WorkingFiles.h"

#include <QtCore/QFile>

int WorkingFiles::removeUndoImages(const QString& programFolder)
{
    int removed = 0;
    for (int n = 0;; ++n) {
        const QString path = programFolder + QStringLiteral("temp-%1.bmp").arg(n);
        if (!QFile::exists(path))
            break;
        if (QFile::remove(path))
            ++removed;
    }
    return removed;
}

int WorkingFiles::removeSendFiles(const QString& programFolder)
{
    int removed = 0;
    for (const char* name : {"send_img.jpg", "send_img.gif", "send_img.png", "send_img.bmp"}) {
        const QString path = programFolder + QLatin1String(name);
        if (QFile::exists(path) && QFile::remove(path))
            ++removed;
    }
    return removed;
}
