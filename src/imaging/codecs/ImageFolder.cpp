#include "imaging/codecs/ImageFolder.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>

QStringList ImageFolder::defaultExtensions()
{
    return {QStringLiteral("bmp"), QStringLiteral("jpg"), QStringLiteral("jpeg"), QStringLiteral("gif"),
            QStringLiteral("png")};
}

QStringList ImageFolder::list(const QString& folder, const QStringList& extensions)
{
    QStringList names;
    if (folder.isEmpty())
        return names;
    const QFileInfoList entries = QDir(folder).entryInfoList(QDir::Files | QDir::Readable | QDir::Hidden);
    for (const QFileInfo& entry : entries)
        if (extensions.contains(entry.suffix(), Qt::CaseInsensitive))
            names.append(entry.fileName());
    std::sort(names.begin(), names.end(), [](const QString& a, const QString& b) {
        const int order = a.compare(b, Qt::CaseInsensitive);
        return order != 0 ? order < 0 : a < b;
    });
    return names;
}
