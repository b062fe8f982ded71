#include "ModernEncoders.h"

#include "imaging/codecs/ImageFile.h"

#include <QtCore/QTemporaryDir>
#include <gtest/gtest.h>

#include <jxl/encode.h>
#include <lcms2.h>
#include <libheif/heif.h>
#include <tiffio.h>
#include <webp/encode.h>
#include <webp/mux.h>
#include <zlib.h>

#include <vector>

namespace {

// The pixels row after row, without padding.
std::vector<uint8_t> packed(const QImage& rgb)
{
    std::vector<uint8_t> bytes(size_t(rgb.width()) * rgb.height() * 3);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(bytes.data() + size_t(y) * rgb.width() * 3, rgb.constScanLine(y), size_t(rgb.width()) * 3);
    return bytes;
}

// The TIFF structure of an EXIF block holding one Orientation entry.
QByteArray exifOrientation(int orientation)
{
    QByteArray tiff("II*\0\x08\0\0\0", 8);
    tiff += QByteArray("\x01\0", 2);                             // one entry
    tiff += QByteArray("\x12\x01\x03\0\x01\0\0\0", 8);           // Orientation, SHORT, count 1
    tiff += char(orientation) + QByteArray("\0\0\0\0\0\0\0", 7); // value, then no next directory
    return tiff;
}

heif_error appendTo(heif_context*, const void* data, size_t size, void* out)
{
    static_cast<QByteArray*>(out)->append(static_cast<const char*>(data), qsizetype(size));
    return heif_error{heif_error_Ok, heif_suberror_Unspecified, "ok"};
}

} // namespace

QByteArray ModernEncoders::heif(const QImage& rgb, HeifKind kind, const QByteArray& icc, int orientation)
{
    heif_context* context = heif_context_alloc();
    heif_encoder* encoder = nullptr;
    EXPECT_EQ(heif_context_get_encoder_for_format(
                  context, kind == HeifKind::Heic ? heif_compression_HEVC : heif_compression_AV1, &encoder)
                  .code,
              heif_error_Ok);
    heif_encoder_set_lossy_quality(encoder, 95);
    heif_image* image = nullptr;
    heif_image_create(rgb.width(), rgb.height(), heif_colorspace_RGB, heif_chroma_interleaved_RGB, &image);
    heif_image_add_plane(image, heif_channel_interleaved, rgb.width(), rgb.height(), 8);
    int stride = 0;
    uint8_t* plane = heif_image_get_plane(image, heif_channel_interleaved, &stride);
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(plane + y * stride, rgb.constScanLine(y), size_t(rgb.width()) * 3);
    if (!icc.isEmpty())
        heif_image_set_raw_color_profile(image, "prof", icc.constData(), size_t(icc.size()));
    heif_encoding_options* options = heif_encoding_options_alloc();
    options->image_orientation = heif_orientation(orientation);
    EXPECT_EQ(heif_context_encode_image(context, image, encoder, options, nullptr).code, heif_error_Ok);
    QByteArray file;
    heif_writer writer{1, appendTo};
    heif_context_write(context, &writer, &file);
    heif_encoding_options_free(options);
    heif_image_release(image);
    heif_encoder_release(encoder);
    heif_context_free(context);
    return file;
}

QByteArray ModernEncoders::webp(const QImage& rgb, bool lossless, const QByteArray& icc, int orientation)
{
    uint8_t* encoded = nullptr;
    const int stride = int(rgb.bytesPerLine());
    const size_t size = lossless ? WebPEncodeLosslessRGB(rgb.constBits(), rgb.width(), rgb.height(), stride, &encoded)
                                 : WebPEncodeRGB(rgb.constBits(), rgb.width(), rgb.height(), stride, 95, &encoded);
    QByteArray bitstream(reinterpret_cast<const char*>(encoded), qsizetype(size));
    WebPFree(encoded);
    if (icc.isEmpty() && orientation == 1)
        return bitstream;
    WebPMux* mux = WebPMuxNew();
    const WebPData image{reinterpret_cast<const uint8_t*>(bitstream.constData()), size_t(bitstream.size())};
    WebPMuxSetImage(mux, &image, 1);
    const QByteArray exif = exifOrientation(orientation);
    const WebPData profile{reinterpret_cast<const uint8_t*>(icc.constData()), size_t(icc.size())};
    const WebPData exifData{reinterpret_cast<const uint8_t*>(exif.constData()), size_t(exif.size())};
    if (!icc.isEmpty())
        WebPMuxSetChunk(mux, "ICCP", &profile, 1);
    if (orientation != 1)
        WebPMuxSetChunk(mux, "EXIF", &exifData, 1);
    WebPData assembled{};
    EXPECT_EQ(WebPMuxAssemble(mux, &assembled), WEBP_MUX_OK);
    QByteArray file(reinterpret_cast<const char*>(assembled.bytes), qsizetype(assembled.size));
    WebPDataClear(&assembled);
    WebPMuxDelete(mux);
    return file;
}

QByteArray ModernEncoders::jxl(const QImage& rgb, bool lossless, const QByteArray& icc, int orientation)
{
    JxlEncoder* encoder = JxlEncoderCreate(nullptr);
    JxlBasicInfo info;
    JxlEncoderInitBasicInfo(&info);
    info.xsize = uint32_t(rgb.width());
    info.ysize = uint32_t(rgb.height());
    info.bits_per_sample = 8;
    info.num_color_channels = 3;
    info.orientation = JxlOrientation(orientation);
    info.uses_original_profile = lossless ? JXL_TRUE : JXL_FALSE;
    EXPECT_EQ(JxlEncoderSetBasicInfo(encoder, &info), JXL_ENC_SUCCESS);
    if (icc.isEmpty()) {
        JxlColorEncoding srgb;
        JxlColorEncodingSetToSRGB(&srgb, JXL_FALSE);
        JxlEncoderSetColorEncoding(encoder, &srgb);
    } else {
        EXPECT_EQ(
            JxlEncoderSetICCProfile(encoder, reinterpret_cast<const uint8_t*>(icc.constData()), size_t(icc.size())),
            JXL_ENC_SUCCESS);
    }
    JxlEncoderFrameSettings* settings = JxlEncoderFrameSettingsCreate(encoder, nullptr);
    if (lossless)
        JxlEncoderSetFrameLossless(settings, JXL_TRUE);
    const std::vector<uint8_t> pixels = packed(rgb);
    const JxlPixelFormat format{3, JXL_TYPE_UINT8, JXL_NATIVE_ENDIAN, 0};
    EXPECT_EQ(JxlEncoderAddImageFrame(settings, &format, pixels.data(), pixels.size()), JXL_ENC_SUCCESS);
    JxlEncoderCloseInput(encoder);
    QByteArray file(4096, '\0');
    size_t used = 0;
    for (;;) {
        auto* next = reinterpret_cast<uint8_t*>(file.data()) + used;
        size_t available = size_t(file.size()) - used;
        const JxlEncoderStatus status = JxlEncoderProcessOutput(encoder, &next, &available);
        used = size_t(next - reinterpret_cast<uint8_t*>(file.data()));
        if (status != JXL_ENC_NEED_MORE_OUTPUT) {
            EXPECT_EQ(status, JXL_ENC_SUCCESS);
            break;
        }
        file.resize(file.size() * 2);
    }
    JxlEncoderDestroy(encoder);
    file.resize(qsizetype(used));
    return file;
}

QByteArray ModernEncoders::jpeg(const QImage& rgb, const QByteArray& icc)
{
    QByteArray file = *ImageFile::encode(rgb, FileFormat::Jpeg, EncodeOptions{95, 0, {}});
    // One APP2 segment right after the start of image.
    QByteArray segment = QByteArray("ICC_PROFILE\0\x01\x01", 14) + icc;
    const int length = int(segment.size()) + 2;
    segment.prepend(char(length & 0xFF)).prepend(char(length >> 8)).prepend("\xFF\xE2");
    return file.insert(2, segment);
}

QByteArray ModernEncoders::png(const QImage& rgb, const QByteArray& icc)
{
    QByteArray file = *ImageFile::encode(rgb, FileFormat::Png, EncodeOptions{});
    // An iCCP chunk right after IHDR (8 bytes of signature, then 25 of IHDR).
    const QByteArray compressed = qCompress(icc).mid(4); // qCompress puts the length ahead of the zlib stream
    const QByteArray body = QByteArray("iCCPicc\0\0", 9) + compressed;
    QByteArray chunk(4, '\0');
    const auto length = quint32(body.size() - 4);
    for (int i = 0; i < 4; ++i)
        chunk[i] = char(length >> (24 - 8 * i));
    chunk += body;
    const auto crc = quint32(crc32(0, reinterpret_cast<const Bytef*>(body.constData()), uInt(body.size())));
    for (int i = 0; i < 4; ++i)
        chunk += char(crc >> (24 - 8 * i));
    return file.insert(33, chunk);
}

QByteArray ModernEncoders::tiff(const QImage& rgb, const QByteArray& icc)
{
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("profiled.tif"));
    TIFF* tif = TIFFOpen(path.toLocal8Bit().constData(), "w");
    TIFFSetField(tif, TIFFTAG_IMAGEWIDTH, rgb.width());
    TIFFSetField(tif, TIFFTAG_IMAGELENGTH, rgb.height());
    TIFFSetField(tif, TIFFTAG_BITSPERSAMPLE, 8);
    TIFFSetField(tif, TIFFTAG_SAMPLESPERPIXEL, 3);
    TIFFSetField(tif, TIFFTAG_PHOTOMETRIC, PHOTOMETRIC_RGB);
    TIFFSetField(tif, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tif, TIFFTAG_ICCPROFILE, uint32_t(icc.size()), icc.constData());
    for (int y = 0; y < rgb.height(); ++y)
        TIFFWriteScanline(tif, const_cast<uchar*>(rgb.constScanLine(y)), uint32_t(y), 0);
    TIFFClose(tif);
    QFile file(path);
    EXPECT_TRUE(file.open(QIODevice::ReadOnly));
    return file.readAll();
}

QByteArray ModernEncoders::swappedRedGreenProfile()
{
    const cmsCIExyY d65{0.3127, 0.3290, 1.0};
    const cmsCIExyYTRIPLE swapped{{0.30, 0.60, 1.0}, {0.64, 0.33, 1.0}, {0.15, 0.06, 1.0}};
    const cmsFloat64Number srgbCurve[5] = {2.4, 1.0 / 1.055, 0.055 / 1.055, 1.0 / 12.92, 0.04045};
    cmsToneCurve* curve = cmsBuildParametricToneCurve(nullptr, 4, srgbCurve);
    cmsToneCurve* curves[3] = {curve, curve, curve};
    cmsHPROFILE profile = cmsCreateRGBProfile(&d65, &swapped, curves);
    cmsUInt32Number size = 0;
    cmsSaveProfileToMem(profile, nullptr, &size);
    QByteArray icc(qsizetype(size), '\0');
    cmsSaveProfileToMem(profile, icc.data(), &size);
    cmsCloseProfile(profile);
    cmsFreeToneCurve(curve);
    return icc;
}
