#include "imaging/codecs/JxlCodec.h"

#include "imaging/codecs/ColorProfile.h"
#include "imaging/codecs/ImageLimits.h"
#include "imaging/codecs/SharedLibrary.h"

#include <jxl/decode.h>

#include <cstdlib>
#include <optional>

namespace {

struct LibJxl
{
    decltype(&JxlDecoderCreate) create;
    decltype(&JxlDecoderDestroy) destroy;
    decltype(&JxlDecoderSubscribeEvents) subscribe;
    decltype(&JxlDecoderSetUnpremultiplyAlpha) unpremultiply;
    decltype(&JxlDecoderSetInput) setInput;
    decltype(&JxlDecoderCloseInput) closeInput;
    decltype(&JxlDecoderProcessInput) process;
    decltype(&JxlDecoderGetBasicInfo) basicInfo;
    decltype(&JxlDecoderGetColorAsEncodedProfile) encodedProfile;
    decltype(&JxlDecoderGetICCProfileSize) iccSize;
    decltype(&JxlDecoderGetColorAsICCProfile) iccProfile;
    decltype(&JxlDecoderImageOutBufferSize) outBufferSize;
    decltype(&JxlDecoderSetImageOutBuffer) setOutBuffer;
};

const LibJxl* libJxl(QString* error)
{
    static SharedLibrary library(PICTOREL_LIBJXL_SONAME);
    static const std::optional<LibJxl> loaded = []() -> std::optional<LibJxl> {
        LibJxl j{};
        library.bind(j.create, "JxlDecoderCreate");
        library.bind(j.destroy, "JxlDecoderDestroy");
        library.bind(j.subscribe, "JxlDecoderSubscribeEvents");
        library.bind(j.unpremultiply, "JxlDecoderSetUnpremultiplyAlpha");
        library.bind(j.setInput, "JxlDecoderSetInput");
        library.bind(j.closeInput, "JxlDecoderCloseInput");
        library.bind(j.process, "JxlDecoderProcessInput");
        library.bind(j.basicInfo, "JxlDecoderGetBasicInfo");
        library.bind(j.encodedProfile, "JxlDecoderGetColorAsEncodedProfile");
        library.bind(j.iccSize, "JxlDecoderGetICCProfileSize");
        library.bind(j.iccProfile, "JxlDecoderGetColorAsICCProfile");
        library.bind(j.outBufferSize, "JxlDecoderImageOutBufferSize");
        library.bind(j.setOutBuffer, "JxlDecoderSetImageOutBuffer");
        if (!library.error().isEmpty())
            return std::nullopt;
        return j;
    }();
    if (!loaded)
        *error = library.error();
    return loaded ? &*loaded : nullptr;
}

// The decoder's allocations, counted against a budget. Until the header is read the budget is what
// reading a header needs; then it grows with the declared picture.
struct MemoryBudget
{
    size_t limit = 64u << 20;
    size_t used = 0;
};

constexpr size_t headerBytes = 16; // keeps each allocation's size ahead of it, aligned for any type

void* budgetAlloc(void* opaque, size_t size)
{
    auto* budget = static_cast<MemoryBudget*>(opaque);
    if (size > budget->limit - budget->used)
        return nullptr; // libjxl reports this as an error
    auto* block = static_cast<unsigned char*>(std::malloc(size + headerBytes));
    if (!block)
        return nullptr;
    *reinterpret_cast<size_t*>(block) = size;
    budget->used += size;
    return block + headerBytes;
}

void budgetFree(void* opaque, void* address)
{
    if (!address)
        return;
    auto* block = static_cast<unsigned char*>(address) - headerBytes;
    static_cast<MemoryBudget*>(opaque)->used -= *reinterpret_cast<size_t*>(block);
    std::free(block);
}

struct Session
{
    explicit Session(const LibJxl& library) : jxl(library) {}
    const LibJxl& jxl;
    MemoryBudget budget;
    JxlMemoryManager memory{&budget, budgetAlloc, budgetFree};
    JxlDecoder* decoder = nullptr;
    ~Session()
    {
        if (decoder)
            jxl.destroy(decoder);
    }
};

bool isSrgb(const JxlColorEncoding& c)
{
    return c.color_space == JXL_COLOR_SPACE_RGB && c.white_point == JXL_WHITE_POINT_D65 &&
           c.primaries == JXL_PRIMARIES_SRGB && c.transfer_function == JXL_TRANSFER_FUNCTION_SRGB;
}

// The profile of the pixels as they come out of the decoder; empty for sRGB.
QByteArray profileOf(const Session& s)
{
    JxlColorEncoding encoding{};
    if (s.jxl.encodedProfile(s.decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &encoding) == JXL_DEC_SUCCESS &&
        isSrgb(encoding))
        return {};
    size_t size = 0;
    if (s.jxl.iccSize(s.decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, &size) != JXL_DEC_SUCCESS || size == 0 ||
        size > (16u << 20))
        return {};
    QByteArray icc(qsizetype(size), Qt::Uninitialized);
    if (s.jxl.iccProfile(s.decoder, nullptr, JXL_COLOR_PROFILE_TARGET_DATA, reinterpret_cast<uint8_t*>(icc.data()),
                         size) != JXL_DEC_SUCCESS)
        return {};
    return icc;
}

QString readError(JxlDecoderStatus status)
{
    return status == JXL_DEC_NEED_MORE_INPUT
               ? QStringLiteral("JPEG XL: the file is cut short")
               : QStringLiteral("JPEG XL: the file is damaged or too demanding to decode");
}

} // namespace

bool JxlCodec::matches(const QByteArray& bytes)
{
    return bytes.startsWith("\xFF\x0A") || bytes.startsWith(QByteArray("\0\0\0\x0CJXL \r\n\x87\n", 12));
}

DecodedImage JxlCodec::decode(const QByteArray& bytes)
{
    QString missing;
    const LibJxl* jxl = libJxl(&missing);
    if (!jxl)
        return DecodedImage::failure(QStringLiteral("JPEG XL: libjxl cannot be loaded: %1").arg(missing));
    Session s(*jxl);
    s.decoder = jxl->create(&s.memory);
    if (!s.decoder ||
        jxl->subscribe(s.decoder, JXL_DEC_BASIC_INFO | JXL_DEC_COLOR_ENCODING | JXL_DEC_FULL_IMAGE) !=
            JXL_DEC_SUCCESS ||
        jxl->unpremultiply(s.decoder, JXL_TRUE) != JXL_DEC_SUCCESS ||
        jxl->setInput(s.decoder, reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())) !=
            JXL_DEC_SUCCESS)
        return DecodedImage::failure(QStringLiteral("JPEG XL: cannot set up the decoder"));
    jxl->closeInput(s.decoder);
    JxlBasicInfo info{};
    QImage image;
    QByteArray icc;
    for (;;) {
        const JxlDecoderStatus status = jxl->process(s.decoder);
        if (status == JXL_DEC_BASIC_INFO) {
            if (jxl->basicInfo(s.decoder, &info) != JXL_DEC_SUCCESS)
                return DecodedImage::failure(readError(JXL_DEC_ERROR));
            if (info.orientation >= JXL_ORIENT_TRANSPOSE)
                std::swap(info.xsize, info.ysize); // the size as shown, turned upright
            if (const QString refusal = ImageLimits::check(info.xsize, info.ysize); !refusal.isEmpty())
                return DecodedImage::failure(refusal);
            // Room for a few float planes of the picture: what libjxl's frame decoding takes.
            s.budget.limit = (256u << 20) + size_t(info.xsize) * info.ysize * 48;
        } else if (status == JXL_DEC_COLOR_ENCODING) {
            icc = profileOf(s);
        } else if (status == JXL_DEC_NEED_IMAGE_OUT_BUFFER) {
            const bool alpha = info.alpha_bits > 0;
            image =
                ImageLimits::allocate(info.xsize, info.ysize, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
            if (image.isNull())
                return DecodedImage::failure(QStringLiteral("not enough memory for the picture"));
            const JxlPixelFormat format{alpha ? 4u : 3u, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN,
                                        size_t(image.bytesPerLine())};
            size_t needed = 0;
            if (jxl->outBufferSize(s.decoder, &format, &needed) != JXL_DEC_SUCCESS ||
                needed > size_t(image.sizeInBytes()) ||
                jxl->setOutBuffer(s.decoder, &format, image.bits(), size_t(image.sizeInBytes())) != JXL_DEC_SUCCESS)
                return DecodedImage::failure(readError(JXL_DEC_ERROR));
        } else if (status == JXL_DEC_FULL_IMAGE || status == JXL_DEC_SUCCESS) {
            break; // the first frame is the picture
        } else {
            return DecodedImage::failure(readError(status));
        }
    }
    if (image.isNull())
        return DecodedImage::failure(readError(JXL_DEC_ERROR));
    const bool alpha = info.alpha_bits > 0;
    if (alpha)
        image.convertTo(QImage::Format_ARGB32);
    ColorProfile::convertToSrgb(image, icc);
    const int channels = int(info.num_color_channels);
    return DecodedImage{std::move(image), alpha ? 32 : channels * int(std::max(8u, info.bits_per_sample)), {}};
}
