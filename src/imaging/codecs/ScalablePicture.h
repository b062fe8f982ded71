// A picture read from a file and kept so that it can be had again at another size. A JPEG keeps its
// file's bytes and decodes at the smallest of libjpeg's reduced scales that still covers the size a
// use asks for: a photo shown on a small canvas never needs its full-size decode. Any other picture
// is decoded once, whole.
#pragma once

#include "imaging/codecs/CodecTypes.h"

class RowFeed;

class ScalablePicture
{
  public:
    // The file read and checked: a JPEG's header only (its declared size refused before any pixel
    // memory is taken), any other picture decoded whole.
    static ScalablePicture read(const QString& path);

    bool ok() const { return error_.isEmpty(); }
    const QString& error() const { return error_; }
    QSize size() const { return size_; } // upright, at full scale
    int bitCount() const { return bitCount_; }
    bool reducible() const { return !jpeg_.isEmpty(); }

    // The picture at the smallest scale no smaller than `cover` on either side; the whole picture
    // for an empty `cover`. The whole picture and the latest reduced one are kept, so a repeated
    // size decodes nothing.
    // With a feed, the rows of that picture go to it as they are decoded (JpegCodec::decodeCovering).
    DecodedImage covering(QSize cover, RowFeed* feed = nullptr);
    // The whole picture, with the one covering `cover` decoded beside it on a second thread: what
    // keeps the whole picture and shows a small one pays for one decode, not two. Either refused
    // refuses the file.
    DecodedImage wholeAndCovering(QSize cover, RowFeed* feed = nullptr);
    // Drops the kept decodes (the picture is no longer shown from this file).
    void release()
    {
        if (reducible())
            whole_ = reduced_ = {};
    }

  private:
    QByteArray jpeg_;
    QSize size_;
    int bitCount_ = 0;
    QString error_;
    DecodedImage whole_;
    DecodedImage reduced_;
};
