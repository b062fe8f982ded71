// libFuzzer entry for the bitmap reader: any input gives a picture or a reason, never a crash.
#include "imaging/codecs/BmpCodec.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    const DecodedImage decoded = BmpCodec::decode(bytes);
    if (decoded.ok() == !decoded.error.isEmpty())
        __builtin_trap(); // exactly one of picture and reason
    if (decoded.ok() && decoded.bitCount <= 0)
        __builtin_trap();
    return 0;
}
