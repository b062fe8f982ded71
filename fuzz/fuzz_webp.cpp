// libFuzzer entry for the WebP reader: any input gives a picture within the size limit or a reason,
// never a crash, and the picture is one of the two formats the workspace takes.
#include "FuzzCheck.h"
#include "imaging/codecs/ImageLimits.h"
#include "imaging/codecs/WebpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const DecodedImage decoded = WebpCodec::decode(bytes);
    FUZZ_CHECK(decoded.ok() != !decoded.error.isEmpty()); // exactly one of picture and reason
    if (decoded.ok()) {
        FUZZ_CHECK(decoded.bitCount > 0);
        FUZZ_CHECK(ImageLimits::allows(decoded.image.width(), decoded.image.height()));
        FUZZ_CHECK(decoded.image.format() == QImage::Format_RGB888 || decoded.image.format() == QImage::Format_ARGB32);
    }
    return 0;
}
