#pragma once
// Stamp and frame pictures as the decoration tools use them: read from their folder, with any
// translucency turned into the layer key colour so that see-through parts stay see-through.
#include <QtCore/QString>
#include <QtCore/QStringList>
#include <QtGui/QImage>

class StampPicture
{
  public:
    // The extensions the stamp and frame lists offer, compared without regard to case. Some of
    // them (fpx, wmf, emf, dxf) cannot be decoded; such files are listed but show no picture.
    static QStringList folderExtensions();

    // The name a list shows: the file name without its last four characters ("heart.bmp" -> "heart").
    static QString shownName(const QString& fileName);

    // The picture in 24 bits, null when the file is not a readable picture. Pixels at least half
    // transparent become the key colour 0xFEFEFE; all others are opaque in their own colour.
    static QImage load(const QString& path);
    static QImage keyedFromAlpha(const QImage& picture);
};
