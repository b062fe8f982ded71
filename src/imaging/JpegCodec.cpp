#include "imaging/JpegCodec.h"

#include "imaging/ImageLimits.h"

#include <QtGui/QTransform>

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <cstring>
#include <vector>

#include <jpeglib.h>

// libjpeg reports fatal errors through error_exit, which must not return. We leave with longjmp back
// into the one function that drives the library; everything with a destructor lives in a state
// object created before setjmp, so the jump never skips a destructor.

namespace {

constexpr int maxScans = 1000; // a progressive file needs about ten; thousands only waste time

struct ErrorManager
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void onError(j_common_ptr cinfo)
{
    auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

void onMessage(j_common_ptr, int) {} // warnings (e.g. a truncated file) stay silent

void onProgress(j_common_ptr cinfo)
{
    if (cinfo->is_decompressor && reinterpret_cast<j_decompress_ptr>(cinfo)->input_scan_number > maxScans) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "more than %d scans", maxScans);
        std::longjmp(err->jump, 1);
    }
}

struct Reader
{
    jpeg_decompress_struct cinfo{};
    ErrorManager err{};
    jpeg_progress_mgr progress{};
    QImage image;
    std::vector<uchar> cmykRow;
    ~Reader() { jpeg_destroy_decompress(&cinfo); }
};

void convertCmykRow(const uchar* cmyk, uchar* rgb, qint64 width, bool adobeInverted)
{
    for (qint64 x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        // Adobe stores the inks inverted: the byte is 255 - ink, i.e. already the light that passes.
        const int k = adobeInverted ? cmyk[3] : 255 - cmyk[3];
        for (int i = 0; i < 3; ++i) {
            const int c = adobeInverted ? cmyk[i] : 255 - cmyk[i];
            rgb[i] = uchar((c * k + 127) / 255);
        }
    }
}

int orientationOf(const jpeg_decompress_struct& cinfo)
{
    for (jpeg_saved_marker_ptr m = cinfo.marker_list; m; m = m->next)
        if (m->marker == JPEG_APP0 + 1)
            if (const int o = JpegCodec::exifOrientation(m->data, m->data_length); o != 1)
                return o;
    return 1;
}

DecodedImage read(Reader& r, const QByteArray& bytes)
{
    r.cinfo.err = jpeg_std_error(&r.err.pub);
    r.err.pub.error_exit = onError;
    r.err.pub.emit_message = onMessage;
    if (setjmp(r.err.jump))
        return DecodedImage::failure(QStringLiteral("JPEG: %1").arg(QString::fromLatin1(r.err.message)));
    jpeg_create_decompress(&r.cinfo);
    r.progress.progress_monitor = onProgress;
    r.cinfo.progress = &r.progress;
    jpeg_mem_src(&r.cinfo, reinterpret_cast<const uchar*>(bytes.constData()), static_cast<unsigned long>(bytes.size()));
    jpeg_save_markers(&r.cinfo, JPEG_APP0 + 1, 0xFFFF);
    jpeg_read_header(&r.cinfo, TRUE);
    if (const QString refusal = ImageLimits::check(r.cinfo.image_width, r.cinfo.image_height); !refusal.isEmpty())
        return DecodedImage::failure(refusal);

    const bool cmyk = r.cinfo.jpeg_color_space == JCS_CMYK || r.cinfo.jpeg_color_space == JCS_YCCK;
    const int bitCount = r.cinfo.jpeg_color_space == JCS_GRAYSCALE ? 8 : (cmyk ? 32 : 24);
    r.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGB;
    jpeg_start_decompress(&r.cinfo);
    const int width = int(r.cinfo.output_width), height = int(r.cinfo.output_height);
    r.image = ImageLimits::allocate(width, height, QImage::Format_RGB888);
    if (r.image.isNull())
        return DecodedImage::failure(QStringLiteral("not enough memory for the picture"));
    if (cmyk)
        r.cmykRow.resize(size_t(width) * 4);
    while (r.cinfo.output_scanline < r.cinfo.output_height) {
        const int y = int(r.cinfo.output_scanline);
        if (cmyk) {
            JSAMPROW row = r.cmykRow.data();
            jpeg_read_scanlines(&r.cinfo, &row, 1);
            convertCmykRow(row, r.image.scanLine(y), width, r.cinfo.saw_Adobe_marker);
            continue;
        }
        // Straight into the picture's own rows: no intermediate copy.
        JSAMPROW rows[16];
        const int n = std::min(16, height - y);
        for (int i = 0; i < n; ++i)
            rows[i] = r.image.scanLine(y + i);
        jpeg_read_scanlines(&r.cinfo, rows, JDIMENSION(n));
    }
    return DecodedImage{JpegCodec::upright(std::move(r.image), orientationOf(r.cinfo)), bitCount, {}};
}

struct Writer
{
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    jpeg_destination_mgr dest{};
    QByteArray out;
    ~Writer() { jpeg_destroy_compress(&cinfo); }
};

Writer& writerOf(j_compress_ptr cinfo)
{
    return *static_cast<Writer*>(cinfo->client_data);
}

void startOutput(j_compress_ptr cinfo)
{
    Writer& w = writerOf(cinfo);
    w.out.resize(256 * 1024);
    w.dest.next_output_byte = reinterpret_cast<JOCTET*>(w.out.data());
    w.dest.free_in_buffer = size_t(w.out.size());
}

boolean growOutput(j_compress_ptr cinfo)
{
    Writer& w = writerOf(cinfo);
    const qsizetype used = w.out.size();
    w.out.resize(used * 2);
    w.dest.next_output_byte = reinterpret_cast<JOCTET*>(w.out.data()) + used;
    w.dest.free_in_buffer = size_t(w.out.size() - used);
    return TRUE;
}

void finishOutput(j_compress_ptr cinfo)
{
    Writer& w = writerOf(cinfo);
    w.out.resize(w.out.size() - qsizetype(w.dest.free_in_buffer));
}

bool write(Writer& w, const QImage& rgb, const EncodeOptions& options, QString* error)
{
    w.cinfo.err = jpeg_std_error(&w.err.pub);
    w.err.pub.error_exit = onError;
    w.err.pub.emit_message = onMessage;
    if (setjmp(w.err.jump)) {
        if (error)
            *error = QStringLiteral("JPEG: %1").arg(QString::fromLatin1(w.err.message));
        return false;
    }
    jpeg_create_compress(&w.cinfo);
    w.cinfo.client_data = &w;
    w.dest.init_destination = startOutput;
    w.dest.empty_output_buffer = growOutput;
    w.dest.term_destination = finishOutput;
    w.cinfo.dest = &w.dest;
    w.cinfo.image_width = JDIMENSION(rgb.width());
    w.cinfo.image_height = JDIMENSION(rgb.height());
    w.cinfo.input_components = 3;
    w.cinfo.in_color_space = JCS_EXT_RGB;
    jpeg_set_defaults(&w.cinfo);
    jpeg_set_quality(&w.cinfo, options.jpegQuality, TRUE); // TRUE: 8-bit tables, so the file stays baseline
    w.cinfo.optimize_coding = TRUE;
    static constexpr int factors[3][2] = {{1, 1}, {2, 1}, {2, 2}}; // 4:4:4, 4:2:2, 4:2:0
    w.cinfo.comp_info[0].h_samp_factor = factors[options.jpegSubsamp][0];
    w.cinfo.comp_info[0].v_samp_factor = factors[options.jpegSubsamp][1];
    jpeg_start_compress(&w.cinfo, TRUE);
    if (!options.comment.isEmpty()) {
        const QByteArray text = options.comment.toUtf8().left(65533);
        jpeg_write_marker(&w.cinfo, JPEG_COM, reinterpret_cast<const JOCTET*>(text.constData()), unsigned(text.size()));
    }
    while (w.cinfo.next_scanline < w.cinfo.image_height) {
        auto row = const_cast<JSAMPROW>(rgb.constScanLine(int(w.cinfo.next_scanline)));
        jpeg_write_scanlines(&w.cinfo, &row, 1);
    }
    jpeg_finish_compress(&w.cinfo);
    return true;
}

} // namespace

bool JpegCodec::matches(const QByteArray& bytes)
{
    return bytes.startsWith("\xFF\xD8\xFF");
}

DecodedImage JpegCodec::decode(const QByteArray& bytes)
{
    auto reader = std::make_unique<Reader>();
    return read(*reader, bytes);
}

std::optional<QByteArray> JpegCodec::encode(const QImage& image, const EncodeOptions& options, QString* error)
{
    if (options.jpegQuality < 1 || options.jpegQuality > 100 || options.jpegSubsamp < 0 || options.jpegSubsamp > 2) {
        if (error)
            *error = QStringLiteral("JPEG quality must be 1..100 and subsampling 0..2");
        return std::nullopt;
    }
    const QImage rgb = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    if (rgb.isNull() || rgb.width() > JPEG_MAX_DIMENSION || rgb.height() > JPEG_MAX_DIMENSION) {
        if (error)
            *error = QStringLiteral("the picture is too large for a JPEG file");
        return std::nullopt;
    }
    auto writer = std::make_unique<Writer>();
    if (!write(*writer, rgb, options, error))
        return std::nullopt;
    return std::move(writer->out);
}

int JpegCodec::exifOrientation(const uchar* payload, qint64 size)
{
    if (size < 6 + 8 || std::memcmp(payload, "Exif\0\0", 6) != 0)
        return 1;
    const uchar* t = payload + 6; // the TIFF structure; offsets count from here
    const qint64 n = size - 6;
    const bool little = t[0] == 'I' && t[1] == 'I';
    if (!little && !(t[0] == 'M' && t[1] == 'M'))
        return 1;
    auto u16 = [&](qint64 o) { return little ? t[o] | t[o + 1] << 8 : t[o] << 8 | t[o + 1]; };
    auto u32 = [&](qint64 o) {
        return qint64(quint32(u16(little ? o + 2 : o)) << 16 | quint32(u16(little ? o : o + 2)));
    };
    const qint64 ifd = u32(4);
    if (u16(2) != 42 || ifd < 8 || ifd + 2 > n)
        return 1;
    const int entries = u16(ifd);
    for (int i = 0; i < entries; ++i) {
        const qint64 e = ifd + 2 + 12 * qint64(i);
        if (e + 12 > n)
            break;
        if (u16(e) == 0x0112 && u16(e + 2) == 3) { // Orientation, type SHORT
            const int value = u16(e + 8);
            return value >= 1 && value <= 8 ? value : 1;
        }
    }
    return 1;
}

QImage JpegCodec::upright(QImage image, int orientation)
{
    // Rotations make one new copy and drop the old one before mirroring in place, so no more than
    // two full-size pictures exist at a time.
    auto rotated = [&image](qreal degrees) {
        QImage result = image.transformed(QTransform().rotate(degrees));
        image = QImage();
        return result;
    };
    switch (orientation) {
    case 2:
        return std::move(image).mirrored(true, false);
    case 3:
        return std::move(image).mirrored(true, true);
    case 4:
        return std::move(image).mirrored(false, true);
    case 5:
        return rotated(90).mirrored(true, false);
    case 6:
        return rotated(90);
    case 7:
        return rotated(270).mirrored(true, false);
    case 8:
        return rotated(270);
    default:
        return image;
    }
}
