#include "imaging/codecs/JpegCodec.h"

#include "imaging/codecs/ColorProfile.h"
#include "imaging/codecs/ImageLimits.h"
#include "imaging/codecs/JpegDataBudget.h"
#include "imaging/codecs/RowFeed.h"

#include <QtCore/QScopeGuard>

#include <QtGui/QTransform>

#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <cstdlib>
#include <cstring>
#include <vector>

#include <jerror.h>
#include <jpeglib.h>

// libjpeg reports fatal errors through error_exit, which must not return. We leave with longjmp back
// into the one function that drives the library; everything with a destructor lives in a state
// object created before setjmp, so the jump never skips a destructor.

namespace {

// A progressive file needs about ten scans; each further one re-reads the whole coefficient buffer,
// so a small file of empty scans would cost seconds and gigabytes.
constexpr int maxScans = 100;
constexpr int stripRows = 16;

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

// Warnings stay silent, except the one for a file that ends before its picture does: that file
// is refused rather than shown with a grey remainder. Within the last row of blocks it is more
// likely a file that only lacks its end marker, which is shown as before. The row is the one being
// read, not shown: a reduced decode shows it earlier.
void onMessage(j_common_ptr cinfo, int level)
{
    if (level >= 0 || cinfo->err->msg_code != JWRN_JPEG_EOF || !cinfo->is_decompressor)
        return;
    const auto* d = reinterpret_cast<j_decompress_ptr>(cinfo);
    if (d->global_state < 205 /* DSTATE_SCANNING */ || d->input_iMCU_row + 1 < d->total_iMCU_rows) {
        auto* err = reinterpret_cast<ErrorManager*>(cinfo->err);
        std::snprintf(err->message, sizeof err->message, "the file ends before the picture is complete");
        std::longjmp(err->jump, 1);
    }
}

// Which reduced scale a decode asks for: none, the largest that keeps the picture no smaller than
// it is fitted into the box, or the largest that keeps it covering the box on both sides.
struct ScaleRule
{
    enum class Kind { Full, FitInside, Cover };
    Kind kind = Kind::Full;
    QSize box{}; // upright
};

// libjpeg rounds a reduced size up.
QSize reducedSize(QSize full, int denominator)
{
    return {(full.width() + denominator - 1) / denominator, (full.height() + denominator - 1) / denominator};
}

int reducedScale(QSize full, QSize wanted)
{
    for (int denominator : {8, 4, 2})
        if (const QSize reduced = reducedSize(full, denominator);
            reduced.width() >= wanted.width() && reduced.height() >= wanted.height())
            return denominator;
    return 1;
}

unsigned reducedScale(const jpeg_decompress_struct& cinfo, const ScaleRule& rule, bool turned)
{
    const QSize box = turned ? rule.box.transposed() : rule.box;
    if (rule.kind == ScaleRule::Kind::Full || box.isEmpty())
        return 1;
    const QSize full(int(cinfo.image_width), int(cinfo.image_height));
    const QSize wanted =
        rule.kind == ScaleRule::Kind::Cover ? box : full.scaled(box, Qt::KeepAspectRatio).boundedTo(full);
    return unsigned(reducedScale(full, wanted));
}

// Every block of every component, as the header declares them.
qint64 declaredBlocks(const jpeg_decompress_struct& cinfo)
{
    qint64 blocks = 0;
    for (int c = 0; c < cinfo.num_components; ++c)
        blocks += qint64(cinfo.comp_info[c].width_in_blocks) * cinfo.comp_info[c].height_in_blocks;
    return blocks;
}

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
    std::vector<uchar> strip; // decoded rows on their way into a turned or mirrored picture
    QByteArray icc;
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

QByteArray iccProfileOf(jpeg_decompress_struct& cinfo)
{
    JOCTET* data = nullptr;
    unsigned int size = 0;
    if (!jpeg_read_icc_profile(&cinfo, &data, &size))
        return {};
    QByteArray icc(reinterpret_cast<const char*>(data), qsizetype(size));
    std::free(data);
    return icc;
}

// Where pixel (x, y) of the stored w x h picture lands once it is upright.
QPoint uprightPosition(int orientation, int x, int y, int w, int h)
{
    switch (orientation) {
    case 2:
        return {w - 1 - x, y};
    case 3:
        return {w - 1 - x, h - 1 - y};
    case 4:
        return {x, h - 1 - y};
    case 5:
        return {y, x};
    case 6:
        return {h - 1 - y, x};
    case 7:
        return {h - 1 - y, w - 1 - x};
    case 8:
        return {y, w - 1 - x};
    default:
        return {x, y};
    }
}

// Copies decoded rows first..first+count-1 to their upright places. Turning while decoding needs no
// second full-size picture: the largest load holds one picture and the decoder's own buffers.
void placeRows(QImage& target, const uchar* rows, int first, int count, int w, int h, int orientation)
{
    const QPoint start = uprightPosition(orientation, 0, first, w, h);
    const QPoint next = uprightPosition(orientation, 1, first, w, h);
    const QPoint down = uprightPosition(orientation, 0, first + 1, w, h) - start;
    const qsizetype stride = target.bytesPerLine();
    const qsizetype step = (next.x() - start.x()) * 3 + (next.y() - start.y()) * stride;
    const qsizetype rowStep = down.x() * 3 + down.y() * stride;
    uchar* origin = target.bits() + start.y() * stride + qsizetype(start.x()) * 3;
    for (int i = 0; i < count; ++i, rows += qsizetype(w) * 3) {
        uchar* d = origin + i * rowStep;
        for (int x = 0; x < w; ++x, d += step)
            d[0] = rows[x * 3], d[1] = rows[x * 3 + 1], d[2] = rows[x * 3 + 2];
    }
}

// With `header`, reads and checks only the header and fills it in: no pixel memory is taken.
DecodedImage read(Reader& r, const QByteArray& bytes, const ScaleRule& rule, JpegCodec::Header* header = nullptr,
                  RowFeed* feed = nullptr)
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
    jpeg_save_markers(&r.cinfo, JPEG_APP0 + 2, 0xFFFF); // an ICC profile, in one or more segments
    jpeg_read_header(&r.cinfo, TRUE);
    if (const QString refusal = ImageLimits::check(r.cinfo.image_width, r.cinfo.image_height); !refusal.isEmpty())
        return DecodedImage::failure(refusal);
    // Before a progressive file's coefficients (or the picture) take their memory. Arithmetic coding
    // can spend less than a bit on a block, so only Huffman-coded files can be measured this way.
    const qint64 blocks = declaredBlocks(r.cinfo);
    if (!r.cinfo.arith_code &&
        !JpegDataBudget::canHold(JpegDataBudget::codedBytes(bytes, JpegDataBudget::bytesFor(blocks)), blocks))
        return DecodedImage::failure(QStringLiteral("JPEG: the file is too small for the %1 x %2 picture it declares")
                                         .arg(r.cinfo.image_width)
                                         .arg(r.cinfo.image_height));

    const bool cmyk = r.cinfo.jpeg_color_space == JCS_CMYK || r.cinfo.jpeg_color_space == JCS_YCCK;
    const int bitCount = r.cinfo.jpeg_color_space == JCS_GRAYSCALE ? 8 : (cmyk ? 32 : 24);
    const int orientation = orientationOf(r.cinfo);
    const bool turned = orientation >= 5;
    if (header) {
        const QSize stored(int(r.cinfo.image_width), int(r.cinfo.image_height));
        *header = JpegCodec::Header{turned ? stored.transposed() : stored, bitCount};
        return {};
    }
    r.icc = iccProfileOf(r.cinfo);
    r.cinfo.out_color_space = cmyk ? JCS_CMYK : JCS_EXT_RGB;
    r.cinfo.scale_num = 1;
    r.cinfo.scale_denom = reducedScale(r.cinfo, rule, turned);
    jpeg_start_decompress(&r.cinfo);
    const int width = int(r.cinfo.output_width), height = int(r.cinfo.output_height);
    r.image = ImageLimits::allocate(turned ? height : width, turned ? width : height, QImage::Format_RGB888);
    if (r.image.isNull())
        return DecodedImage::failure(QStringLiteral("not enough memory for the picture"));
    if (cmyk)
        r.cmykRow.resize(size_t(width) * 4);
    const bool direct = orientation == 1;
    // Rows decoded straight into place are final, unless a colour profile converts them all at the end.
    RowFeed* const rowFeed = direct && r.icc.isEmpty() ? feed : nullptr;
    if (!direct)
        r.strip.resize(size_t(width) * 3 * stripRows);
    while (r.cinfo.output_scanline < r.cinfo.output_height) {
        const int y = int(r.cinfo.output_scanline);
        // Upright pictures are decoded straight into their own rows: no intermediate copy.
        auto rowAt = [&](int i) { return direct ? r.image.scanLine(y + i) : r.strip.data() + size_t(width) * 3 * i; };
        int n = 0;
        if (cmyk) {
            JSAMPROW row = r.cmykRow.data();
            n = int(jpeg_read_scanlines(&r.cinfo, &row, 1));
            if (n > 0)
                convertCmykRow(row, rowAt(0), width, r.cinfo.saw_Adobe_marker);
        } else {
            JSAMPROW rows[stripRows];
            const int wanted = std::min(stripRows, height - y);
            for (int i = 0; i < wanted; ++i)
                rows[i] = rowAt(i);
            n = int(jpeg_read_scanlines(&r.cinfo, rows, JDIMENSION(wanted)));
        }
        if (!direct)
            placeRows(r.image, r.strip.data(), y, n, width, height, orientation);
        if (rowFeed)
            rowFeed->publish(r.image.constBits(), r.image.bytesPerLine(), r.image.size(), y + n);
    }
    ColorProfile::convertToSrgb(r.image, r.icc);
    return DecodedImage{std::move(r.image), bitCount, {}};
}

struct Writer
{
    jpeg_compress_struct cinfo{};
    ErrorManager err{};
    jpeg_destination_mgr dest{};
    QByteArray out;
    QByteArray comment; // kept here: libjpeg may jump out while it is being written
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
    if (!w.comment.isEmpty())
        jpeg_write_marker(&w.cinfo, JPEG_COM, reinterpret_cast<const JOCTET*>(w.comment.constData()),
                          unsigned(w.comment.size()));
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

DecodedImage JpegCodec::decode(const QByteArray& bytes, QSize fitInto)
{
    auto reader = std::make_unique<Reader>();
    return read(*reader, bytes, {ScaleRule::Kind::FitInside, fitInto});
}

QSize JpegCodec::coveringSize(QSize full, QSize cover)
{
    return cover.isEmpty() ? full : reducedSize(full, reducedScale(full, cover));
}

DecodedImage JpegCodec::decodeCovering(const QByteArray& bytes, QSize cover, RowFeed* feed)
{
    auto reader = std::make_unique<Reader>();
    DecodedImage decoded;
    // A picture refused midway goes with the reader, however that ends: its rows must no longer be read.
    const auto retire = qScopeGuard([&] {
        if (feed && !decoded.ok())
            feed->retire();
    });
    decoded = read(*reader, bytes, {ScaleRule::Kind::Cover, cover}, nullptr, feed);
    return decoded;
}

std::optional<JpegCodec::Header> JpegCodec::readHeader(const QByteArray& bytes, QString* error)
{
    auto reader = std::make_unique<Reader>();
    Header header;
    const DecodedImage refusal = read(*reader, bytes, {}, &header);
    if (!refusal.error.isEmpty()) {
        if (error)
            *error = refusal.error;
        return std::nullopt;
    }
    return header;
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
    writer->comment = options.comment.toUtf8().left(65533); // the most a COM segment holds
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
