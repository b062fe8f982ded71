#pragma once
// The picture formats the program reads and the file-name extensions each is known by. The decoders
// choose by content; these names only decide which files are offered and accepted (drop, "Open
// with", the open dialog), compared without regard to case. A new reader adds its row here.
#include <QtCore/QList>
#include <QtCore/QString>
#include <QtCore/QStringList>

struct PictureFormat
{
    QString name;           // the format, as users know it
    QStringList extensions; // lower case, without the dot
};

class PictureFormats
{
  public:
    static const QList<PictureFormat>& readable();

    // Whether the file name ends in an extension of a readable format, in any case.
    static bool hasReadableExtension(const QString& path);
    // "*.bmp;*.dib;*.jpg;...": every readable extension, for a classic filter string.
    static QString filterPatterns();
};
