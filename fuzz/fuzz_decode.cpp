// libFuzzer entry for every reader behind ImageFile::decode: any input gives a picture or a reason, never a crash.
// A JPEG is also read the two other ways the loader reads one: its header alone, and at a reduced scale.
#include "imaging/codecs/ImageFile.h"
#include "imaging/codecs/JpegCodec.h"

#include <cstddef>
#include <cstdint>

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

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const DecodedImage decoded = ImageFile::decode(bytes);
    if (decoded.ok() == !decoded.error.isEmpty())
        __builtin_trap(); // exactly one of picture and reason
    if (decoded.ok() && decoded.bitCount <= 0)
        __builtin_trap();
    if (JpegCodec::matches(bytes))
        checkReduced(bytes);
    return 0;
}
