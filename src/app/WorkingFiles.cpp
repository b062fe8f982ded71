#include "app/WorkingFiles.h"

#include <QtCore/QFile>

int WorkingFiles::removeUndoImages(const QString& workFolder)
{
    int removed = 0;
    for (int n = 0;; ++n) {
        const QString path = workFolder + QStringLiteral("temp-%1.bmp").arg(n);
        if (!QFile::exists(path))
            break;
        if (QFile::remove(path))
            ++removed;
    }
    return removed;
}

int WorkingFiles::removeSendFiles(const QString& workFolder)
{
    int removed = 0;
    for (const char* name : {"send_img.jpg", "send_img.gif", "send_img.png", "send_img.bmp"}) {
        const QString path = workFolder + QLatin1String(name);
        if (QFile::exists(path) && QFile::remove(path))
            ++removed;
    }
    return removed;
}
