// libFuzzer entry for every reader behind ImageFile::decode: any input gives a picture or a reason, never a crash.
// A JPEG is also read the other ways the loader reads one: its header alone, at a reduced scale, and
// with a second thread following its rows as they are decoded.
#include "imaging/codecs/ImageFile.h"
#include "imaging/codecs/JpegCodec.h"
#include "imaging/codecs/RowFeed.h"

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <thread>

namespace {

void checkReduced(const QByteArray& bytes)
{
    const QSize box(8, 8);
    const std::optional<JpegCodec::Header> header = JpegCodec::readHeader(bytes);
    const DecodedImage reduced = JpegCodec::decodeCovering(bytes, box);
    if (reduced.ok() == !reduced.error.isEmpty())
        __builtin_trap();
    if (reduced.ok() && (!header || reduced.image.size() != JpegCodec::coveringSize(header->upright, box)))
        __builtin_trap(); // a refused header refuses the decode, and the size is the one foretold
}

// The rows a follower is shown are final: the decode gives the same. And a file refused midway must not
// leave it reading rows that are gone (the sanitizer sees that).
void checkFollowed(const QByteArray& bytes)
{
    const QSize box(8, 8);
    const std::optional<JpegCodec::Header> header = JpegCodec::readHeader(bytes);
    if (!header)
        return;
    const QSize size = JpegCodec::coveringSize(header->upright, box);
    RowFeed feed;
    QImage seen(size, QImage::Format_RGB888);
    int copied = 0;
    std::thread follower([&] {
        const QImage rows = feed.waitForPicture(size);
        if (rows.isNull())
            return;
        while (copied < rows.height() && feed.waitForRows(copied + 1)) {
            std::memcpy(seen.scanLine(copied), rows.constScanLine(copied), size_t(rows.width()) * 3);
            ++copied;
        }
        feed.release();
    });
    const DecodedImage decoded = JpegCodec::decodeCovering(bytes, box, &feed);
    feed.close();
    follower.join();
    if (decoded.ok() && copied > 0 &&
        seen.copy(0, 0, size.width(), copied) != decoded.image.copy(0, 0, size.width(), copied))
        __builtin_trap();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const DecodedImage decoded = ImageFile::decode(bytes);
    if (decoded.ok() == !decoded.error.isEmpty())
        __builtin_trap(); // exactly one of picture and reason
    if (decoded.ok() && decoded.bitCount <= 0)
        __builtin_trap();
    if (JpegCodec::matches(bytes)) {
        checkReduced(bytes);
        checkFollowed(bytes);
    }
    return 0;
}
