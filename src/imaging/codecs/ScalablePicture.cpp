#include "imaging/codecs/ScalablePicture.h"

#include "foundation/FileKind.h"
#include "imaging/codecs/ImageFile.h"
#include "imaging/codecs/JpegCodec.h"

#include <QtCore/QFile>

namespace {

// A FIFO is never opened: that would wait for a writer. The usual load then says what it is.
bool startsAsJpeg(const QString& path)
{
    if (FileKind::isSpecial(path))
        return false;
    QFile file(path);
    return file.open(QIODevice::ReadOnly | QIODevice::Unbuffered) && JpegCodec::matches(file.read(3));
}

} // namespace

ScalablePicture ScalablePicture::read(const QString& path)
{
    ScalablePicture picture;
    if (!startsAsJpeg(path)) {
        // Through the usual load, which reads a large bitmap straight from the file.
        picture.kept_ = ImageFile::load(path);
        picture.error_ = picture.kept_.error;
        picture.size_ = picture.kept_.image.size();
        picture.bitCount_ = picture.kept_.bitCount;
        return picture;
    }
    std::optional<QByteArray> bytes = ImageFile::read(path, &picture.error_);
    if (!bytes)
        return picture;
    const std::optional<JpegCodec::Header> header = JpegCodec::readHeader(*bytes, &picture.error_);
    if (!header)
        return picture;
    picture.jpeg_ = std::move(*bytes);
    picture.size_ = header->upright;
    picture.bitCount_ = header->bitCount;
    return picture;
}

DecodedImage ScalablePicture::covering(QSize cover)
{
    if (!ok() || !reducible())
        return ok() ? kept_ : DecodedImage::failure(error_);
    // One size per scale: a kept decode of the size this one would have is the same picture.
    if (!kept_.ok() || kept_.image.size() != JpegCodec::coveringSize(size_, cover))
        kept_ = JpegCodec::decodeCovering(jpeg_, cover);
    return kept_;
}
