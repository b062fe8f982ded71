#include "app/WorkingFiles.h"

#include "output/SendCommand.h"

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
    return SendCommand::removeWorkingFiles(programFolder);
}
