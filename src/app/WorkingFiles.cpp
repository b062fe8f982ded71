#include "app/WorkingFiles.h"

#include "output/SendCommand.h"

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
    return SendCommand::removeWorkingFiles(workFolder);
}
