#include "imaging/codecs/WebpCodec.h"

#include "imaging/codecs/ColorProfile.h"
#include "imaging/codecs/ImageLimits.h"
#include "imaging/codecs/JpegCodec.h"

#include <webp/decode.h>
#include <webp/demux.h>

#include <cstring>
#include <memory>

namespace {

struct DemuxDeleter
{
    void operator()(WebPDemuxer* demux) const { WebPDemuxDelete(demux); }
};

struct AnimationDeleter
{
    void operator()(WebPAnimDecoder* decoder) const { WebPAnimDecoderDelete(decoder); }
};

// A chunk of the container ("ICCP", "EXIF"); empty when there is none.
QByteArray chunk(const WebPDemuxer* demux, const char* fourcc)
{
    WebPChunkIterator it{};
    if (!demux || !WebPDemuxGetChunk(demux, fourcc, 1, &it))
        return {};
    QByteArray payload(reinterpret_cast<const char*>(it.chunk.bytes), qsizetype(it.chunk.size));
    WebPDemuxReleaseChunkIterator(&it);
    return payload;
}

int orientation(const QByteArray& exif)
{
    // Writers differ: some store the TIFF structure alone, others behind the JPEG segment's "Exif\0\0".
    const QByteArray payload = exif.startsWith("Exif") ? exif : QByteArray("Exif\0\0", 6) + exif;
    return JpegCodec::exifOrientation(reinterpret_cast<const uchar*>(payload.constData()), payload.size());
}

QImage firstFrame(const WebPData& data, int width, int height)
{
    WebPAnimDecoderOptions options;
    if (!WebPAnimDecoderOptionsInit(&options))
        return {};
    options.color_mode = MODE_BGRA; // Format_ARGB32's byte order, straight alpha
    options.use_threads = 0;
    const std::unique_ptr<WebPAnimDecoder, AnimationDeleter> decoder(WebPAnimDecoderNew(&data, &options));
    uint8_t* frame = nullptr;
    int timestamp = 0;
    if (!decoder || !WebPAnimDecoderGetNext(decoder.get(), &frame, &timestamp))
        return {};
    QImage image = ImageLimits::allocate(width, height, QImage::Format_ARGB32);
    if (image.isNull())
        return {};
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), frame + qsizetype(y) * width * 4, size_t(width) * 4);
    return image;
}

QImage still(const WebPData& data, int width, int height, bool alpha)
{
    QImage image = ImageLimits::allocate(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    if (image.isNull())
        return {};
    const auto size = size_t(image.sizeInBytes());
    const int stride = int(image.bytesPerLine());
    const uint8_t* done = alpha ? WebPDecodeBGRAInto(data.bytes, data.size, image.bits(), size, stride)
                                : WebPDecodeRGBInto(data.bytes, data.size, image.bits(), size, stride);
    return done ? image : QImage();
}

} // namespace

bool WebpCodec::matches(const QByteArray& bytes)
{
    return bytes.size() >= 12 && bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WEBP";
}

DecodedImage WebpCodec::decode(const QByteArray& bytes)
{
    const WebPData data{reinterpret_cast<const uint8_t*>(bytes.constData()), size_t(bytes.size())};
    WebPBitstreamFeatures features{};
    if (WebPGetFeatures(data.bytes, data.size, &features) != VP8_STATUS_OK)
        return DecodedImage::failure(QStringLiteral("WebP: the header cannot be read"));
    if (const QString refusal = ImageLimits::check(features.width, features.height); !refusal.isEmpty())
        return DecodedImage::failure(refusal);
    const bool alpha = features.has_alpha || features.has_animation;
    QImage image = features.has_animation ? firstFrame(data, features.width, features.height)
                                          : still(data, features.width, features.height, alpha);
    if (image.isNull())
        return DecodedImage::failure(QStringLiteral("WebP: the picture data is damaged or cut short"));
    const std::unique_ptr<WebPDemuxer, DemuxDeleter> demux(WebPDemux(&data));
    ColorProfile::convertToSrgb(image, chunk(demux.get(), "ICCP"));
    if (const QByteArray exif = chunk(demux.get(), "EXIF"); !exif.isEmpty())
        image = JpegCodec::upright(std::move(image), orientation(exif));
    return DecodedImage{std::move(image), alpha ? 32 : 24, {}};
}
