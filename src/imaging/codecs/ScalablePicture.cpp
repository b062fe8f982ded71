#include "imaging/codecs/ScalablePicture.h"

#include "foundation/FileKind.h"
#include "imaging/codecs/ImageFile.h"
#include "imaging/codecs/JpegCodec.h"

#include <QtCore/QFile>

#include <future>
#include <system_error>

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
        picture.whole_ = ImageFile::load(path);
        picture.error_ = picture.whole_.error;
        picture.size_ = picture.whole_.image.size();
        picture.bitCount_ = picture.whole_.bitCount;
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

DecodedImage ScalablePicture::covering(QSize cover, RowFeed* feed)
{
    if (!ok() || !reducible())
        return ok() ? whole_ : DecodedImage::failure(error_);
    // One size per scale: a kept decode of the size this one would have is the same picture.
    const QSize size = JpegCodec::coveringSize(size_, cover);
    DecodedImage& slot = size == size_ ? whole_ : reduced_;
    if (!slot.ok() || slot.image.size() != size)
        slot = JpegCodec::decodeCovering(jpeg_, size == size_ ? QSize() : cover, feed);
    return slot;
}

DecodedImage ScalablePicture::wholeAndCovering(QSize cover, RowFeed* feed)
{
    if (!ok() || !reducible() || JpegCodec::coveringSize(size_, cover) == size_)
        return covering({}, feed);
    std::future<DecodedImage> reduced;
    try {
        reduced = std::async(std::launch::async,
                             [this, cover, feed] { return JpegCodec::decodeCovering(jpeg_, cover, feed); });
    } catch (const std::system_error&) {
        // No second thread: one after the other.
    }
    const DecodedImage whole = covering({});
    reduced_ = reduced.valid() ? reduced.get() : JpegCodec::decodeCovering(jpeg_, cover, feed);
    return whole.ok() && !reduced_.ok() ? reduced_ : whole;
}
