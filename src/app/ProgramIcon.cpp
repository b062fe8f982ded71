#include "app/ProgramIcon.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

QIcon ProgramIcon::load(const QString& programFolder)
{
    QIcon icon;
    const QDir sizes(programFolder + QStringLiteral("icons"));
    for (const QString& size : sizes.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        const QString file = sizes.filePath(size + QStringLiteral("/apps/pictorel.png"));
        if (QFileInfo(file).isFile())
            icon.addFile(file);
    }
    return icon;
}
