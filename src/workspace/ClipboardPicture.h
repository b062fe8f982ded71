// The picture on the clipboard. A program that copies a photo often offers the file's own bytes
// (WebP, HEIC, PNG with a colour profile, ...); those go through the program's decoders, with
// their size limits and colour conversion, before Qt's own picture is taken.
#pragma once

#include <QtGui/QImage>

class QMimeData;

class ClipboardPicture
{
  public:
    // Null when the clipboard holds no picture that can be read.
    static QImage read(const QMimeData* data);
};
