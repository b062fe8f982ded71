#include "imaging/codecs/HeifCodec.h"

#include "imaging/codecs/ColorProfile.h"
#include "imaging/codecs/ImageLimits.h"
#include "imaging/codecs/SharedLibrary.h"

#include <QtCore/QtEndian>

#include <libheif/heif.h>

#include <cstring>
#include <memory>
#include <optional>

namespace {

struct LibHeif
{
    decltype(&heif_context_alloc) contextAlloc;
    decltype(&heif_context_free) contextFree;
    decltype(&heif_context_set_maximum_image_size_limit) setMaximumImageSize;
    decltype(&heif_context_read_from_memory_without_copy) readFromMemory;
    decltype(&heif_context_get_primary_image_handle) primaryImage;
    decltype(&heif_image_handle_release) handleRelease;
    decltype(&heif_image_handle_get_width) handleWidth;
    decltype(&heif_image_handle_get_height) handleHeight;
    decltype(&heif_image_handle_has_alpha_channel) handleHasAlpha;
    decltype(&heif_image_handle_get_luma_bits_per_pixel) handleLumaBits;
    decltype(&heif_image_handle_get_color_profile_type) profileType;
    decltype(&heif_image_handle_get_raw_color_profile_size) rawProfileSize;
    decltype(&heif_image_handle_get_raw_color_profile) rawProfile;
    decltype(&heif_image_handle_get_nclx_color_profile) nclxProfile;
    decltype(&heif_nclx_color_profile_free) nclxFree;
    decltype(&heif_decoding_options_alloc) optionsAlloc;
    decltype(&heif_decoding_options_free) optionsFree;
    decltype(&heif_decode_image) decodeImage;
    decltype(&heif_image_get_width) imageWidth;
    decltype(&heif_image_get_height) imageHeight;
    decltype(&heif_image_get_plane_readonly) planeReadonly;
    decltype(&heif_image_release) imageRelease;
};

// Null, with the loader's reason in `error`, when libheif or one of its functions is missing.
const LibHeif* libHeif(QString* error)
{
    static SharedLibrary library(PICTOREL_LIBHEIF_SONAME);
    static const std::optional<LibHeif> loaded = []() -> std::optional<LibHeif> {
        LibHeif h{};
        library.bind(h.contextAlloc, "heif_context_alloc");
        library.bind(h.contextFree, "heif_context_free");
        library.bind(h.setMaximumImageSize, "heif_context_set_maximum_image_size_limit");
        library.bind(h.readFromMemory, "heif_context_read_from_memory_without_copy");
        library.bind(h.primaryImage, "heif_context_get_primary_image_handle");
        library.bind(h.handleRelease, "heif_image_handle_release");
        library.bind(h.handleWidth, "heif_image_handle_get_width");
        library.bind(h.handleHeight, "heif_image_handle_get_height");
        library.bind(h.handleHasAlpha, "heif_image_handle_has_alpha_channel");
        library.bind(h.handleLumaBits, "heif_image_handle_get_luma_bits_per_pixel");
        library.bind(h.profileType, "heif_image_handle_get_color_profile_type");
        library.bind(h.rawProfileSize, "heif_image_handle_get_raw_color_profile_size");
        library.bind(h.rawProfile, "heif_image_handle_get_raw_color_profile");
        library.bind(h.nclxProfile, "heif_image_handle_get_nclx_color_profile");
        library.bind(h.nclxFree, "heif_nclx_color_profile_free");
        library.bind(h.optionsAlloc, "heif_decoding_options_alloc");
        library.bind(h.optionsFree, "heif_decoding_options_free");
        library.bind(h.decodeImage, "heif_decode_image");
        library.bind(h.imageWidth, "heif_image_get_width");
        library.bind(h.imageHeight, "heif_image_get_height");
        library.bind(h.planeReadonly, "heif_image_get_plane_readonly");
        library.bind(h.imageRelease, "heif_image_release");
        if (!library.error().isEmpty())
            return std::nullopt;
        return h;
    }();
    if (!loaded)
        *error = library.error();
    return loaded ? &*loaded : nullptr;
}

// Everything libheif hands out, released in reverse order whichever way decoding ends.
struct Session
{
    explicit Session(const LibHeif& library) : heif(library) {}
    const LibHeif& heif;
    heif_context* context = nullptr;
    heif_image_handle* handle = nullptr;
    heif_decoding_options* options = nullptr;
    heif_image* image = nullptr;
    ~Session()
    {
        if (image)
            heif.imageRelease(image);
        if (options)
            heif.optionsFree(options);
        if (handle)
            heif.handleRelease(handle);
        if (context)
            heif.contextFree(context);
    }
};

DecodedImage failure(const heif_error& error)
{
    return DecodedImage::failure(QStringLiteral("HEIF: %1").arg(QString::fromUtf8(error.message)));
}

// An ICC profile as stored, or one made from the primaries an nclx box names; empty for sRGB.
QByteArray profileOf(const Session& s)
{
    const heif_color_profile_type type = s.heif.profileType(s.handle);
    if (type == heif_color_profile_type_prof || type == heif_color_profile_type_rICC) {
        QByteArray icc(qsizetype(s.heif.rawProfileSize(s.handle)), Qt::Uninitialized);
        if (s.heif.rawProfile(s.handle, icc.data()).code != heif_error_Ok)
            return {};
        return icc;
    }
    heif_color_profile_nclx* nclx = nullptr;
    if (type != heif_color_profile_type_nclx || s.heif.nclxProfile(s.handle, &nclx).code != heif_error_Ok || !nclx)
        return {};
    QByteArray icc;
    const bool named = nclx->color_primaries != heif_color_primaries_unspecified &&
                       nclx->color_primaries != heif_color_primaries_ITU_R_BT_709_5;
    // Wide gamut with an ordinary tone curve; HDR curves (PQ, HLG) have no 8-bit meaning to convert.
    const bool sdr = nclx->transfer_characteristics != heif_transfer_characteristic_ITU_R_BT_2100_0_PQ &&
                     nclx->transfer_characteristics != heif_transfer_characteristic_ITU_R_BT_2100_0_HLG;
    if (named && sdr)
        icc = ColorProfile::fromPrimaries({nclx->color_primary_red_x, nclx->color_primary_red_y},
                                          {nclx->color_primary_green_x, nclx->color_primary_green_y},
                                          {nclx->color_primary_blue_x, nclx->color_primary_blue_y},
                                          {nclx->color_primary_white_x, nclx->color_primary_white_y});
    s.heif.nclxFree(nclx);
    return icc;
}

QImage copyPixels(const Session& s, bool alpha)
{
    const int width = s.heif.imageWidth(s.image, heif_channel_interleaved);
    const int height = s.heif.imageHeight(s.image, heif_channel_interleaved);
    int stride = 0;
    const uint8_t* plane = s.heif.planeReadonly(s.image, heif_channel_interleaved, &stride);
    if (!plane || !ImageLimits::allows(width, height))
        return {};
    QImage image = ImageLimits::allocate(width, height, alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    if (image.isNull())
        return {};
    const size_t rowBytes = size_t(width) * (alpha ? 4 : 3);
    for (int y = 0; y < height; ++y)
        std::memcpy(image.scanLine(y), plane + qsizetype(y) * stride, rowBytes);
    if (alpha)
        image.convertTo(QImage::Format_ARGB32);
    return image;
}

} // namespace

bool HeifCodec::matches(const QByteArray& bytes)
{
    if (bytes.size() < 16 || bytes.mid(4, 4) != "ftyp")
        return false;
    // The major brand and the compatible brands of the file-type box.
    const qint64 boxSize = qFromBigEndian<quint32>(bytes.constData());
    const qint64 end = std::min<qint64>(bytes.size(), std::max<qint64>(boxSize, 16));
    for (qint64 at = 8; at + 4 <= end; at += at == 8 ? 8 : 4) {
        const QByteArray brand = bytes.mid(at, 4);
        for (const char* known : {"heic", "heix", "hevc", "hevx", "heim", "heis", "mif1", "msf1", "avif", "avis"})
            if (brand == known)
                return true;
    }
    return false;
}

DecodedImage HeifCodec::decode(const QByteArray& bytes)
{
    QString missing;
    const LibHeif* heif = libHeif(&missing);
    if (!heif)
        return DecodedImage::failure(QStringLiteral("HEIF: libheif cannot be loaded: %1").arg(missing));
    Session s(*heif);
    s.context = heif->contextAlloc();
    if (!s.context)
        return DecodedImage::failure(QStringLiteral("HEIF: cannot set up the decoder"));
    heif->setMaximumImageSize(s.context, int(ImageLimits::maxSide));
    if (const heif_error e = heif->readFromMemory(s.context, bytes.constData(), size_t(bytes.size()), nullptr);
        e.code != heif_error_Ok)
        return failure(e);
    if (const heif_error e = heif->primaryImage(s.context, &s.handle); e.code != heif_error_Ok)
        return failure(e);
    // The size as shown, rotation included, is checked before anything is decoded.
    if (const QString refusal = ImageLimits::check(heif->handleWidth(s.handle), heif->handleHeight(s.handle));
        !refusal.isEmpty())
        return DecodedImage::failure(refusal);
    const bool alpha = heif->handleHasAlpha(s.handle);
    s.options = heif->optionsAlloc();
    if (!s.options)
        return DecodedImage::failure(QStringLiteral("HEIF: cannot set up the decoder"));
    s.options->convert_hdr_to_8bit = 1;
    if (const heif_error e =
            heif->decodeImage(s.handle, &s.image, heif_colorspace_RGB,
                              alpha ? heif_chroma_interleaved_RGBA : heif_chroma_interleaved_RGB, s.options);
        e.code != heif_error_Ok)
        return failure(e);
    QImage image = copyPixels(s, alpha);
    if (image.isNull())
        return DecodedImage::failure(QStringLiteral("not enough memory for the picture"));
    ColorProfile::convertToSrgb(image, profileOf(s));
    const int lumaBits = heif->handleLumaBits(s.handle);
    return DecodedImage{std::move(image), alpha ? 32 : 3 * std::max(8, lumaBits), {}};
}
