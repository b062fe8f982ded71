// libFuzzer entry for the WebP reader: any input gives a picture within the size limit or a reason,
// never a crash, and the picture is one of the two formats the workspace takes.
#include "DecodedCheck.h"
#include "imaging/codecs/WebpCodec.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data), qsizetype(size));
    checkDecoded(WebpCodec::decode(bytes));
    return 0;
}
