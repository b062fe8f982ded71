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

    // The name a list shows: the file name without its last four characters ("heart.bmp" -> "heart"),
    // or five for a four-letter extension ("heart.webp" -> "heart").
    static QString shownName(const QString& fileName);

    // A stamp is placed at its own size or fitted into a rectangle on a canvas of at most 4096
    // pixels a side; a picture beyond these is refused from its header, before it is decoded.
    static constexpr qint64 MaxSide = 8192;
    static constexpr qint64 MaxPixels = 4096 * 4096;

    struct Loaded
    {
        QImage picture;        // null when the file is not a readable picture, or too large
        bool tooLarge = false; // beyond MaxSide or MaxPixels
    };
    // The picture in 24 bits, decoded once. Pixels at least half transparent become LayerKeyColor; all
    // others are opaque in their own colour. With fitInto (a frame fitted over the
    // canvas) a large JPEG decodes at a reduced scale that still covers the fitted size.
    static Loaded read(const QString& path, QSize fitInto = {});
    static QImage load(const QString& path, QSize fitInto = {}) { return read(path, fitInto).picture; }
    static QImage keyedFromAlpha(const QImage& picture);
};
