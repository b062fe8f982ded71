#include "imaging/codecs/PngCodec.h"

#include "imaging/codecs/ColorProfile.h"
#include "imaging/codecs/ImageLimits.h"

#include <png.h>

#include <cstring>
#include <vector>

// libpng leaves fatal errors by longjmp to png_jmpbuf. As with JPEG, each driving function keeps all
// objects with destructors in a state object made before setjmp.

namespace {

struct Reader
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    const QByteArray* bytes = nullptr;
    qsizetype pos = 0;
    QString error;
    QImage image;
    std::vector<png_bytep> rows;
    ~Reader() { png_destroy_read_struct(&png, &info, nullptr); }
};

void onError(png_structp png, png_const_charp message)
{
    static_cast<Reader*>(png_get_error_ptr(png))->error = QString::fromLatin1(message);
    png_longjmp(png, 1);
}

void onWriteError(png_structp png, png_const_charp message)
{
    *static_cast<QString*>(png_get_error_ptr(png)) = QString::fromLatin1(message);
    png_longjmp(png, 1);
}

void onWarning(png_structp, png_const_charp) {}

void readBytes(png_structp png, png_bytep out, size_t length)
{
    auto* r = static_cast<Reader*>(png_get_io_ptr(png));
    if (qsizetype(length) > r->bytes->size() - r->pos)
        png_error(png, "the file is truncated");
    std::memcpy(out, r->bytes->constData() + r->pos, length);
    r->pos += qsizetype(length);
}

// The file's own bits per pixel; any alpha makes it 32.
int fileBitCount(int colorType, int depth, bool alpha)
{
    if (alpha)
        return 32;
    return colorType == PNG_COLOR_TYPE_RGB ? 3 * depth : depth;
}

QByteArray iccProfileOf(const Reader& r)
{
    png_charp name = nullptr;
    png_bytep data = nullptr;
    png_uint_32 size = 0;
    int compression = 0;
    if (!png_get_iCCP(r.png, r.info, &name, &compression, &data, &size))
        return {};
    return QByteArray(reinterpret_cast<const char*>(data), qsizetype(size));
}

DecodedImage read(Reader& r)
{
    if (setjmp(png_jmpbuf(r.png)))
        return DecodedImage::failure(QStringLiteral("PNG: %1").arg(r.error));
    png_set_read_fn(r.png, &r, readBytes);
    png_set_user_limits(r.png, ImageLimits::maxSide, ImageLimits::maxSide);
    png_read_info(r.png, r.info);
    const png_uint_32 width = png_get_image_width(r.png, r.info), height = png_get_image_height(r.png, r.info);
    if (const QString refusal = ImageLimits::check(width, height); !refusal.isEmpty())
        return DecodedImage::failure(refusal);
    const int colorType = png_get_color_type(r.png, r.info), depth = png_get_bit_depth(r.png, r.info);
    const bool alpha = (colorType & PNG_COLOR_MASK_ALPHA) || png_get_valid(r.png, r.info, PNG_INFO_tRNS);

    png_set_expand(r.png); // palette -> RGB, grey below 8 bits -> 8 bits, tRNS -> alpha
    png_set_strip_16(r.png);
    png_set_gray_to_rgb(r.png);
    if (alpha) {
#if Q_BYTE_ORDER == Q_LITTLE_ENDIAN
        png_set_bgr(r.png); // B, G, R, A in memory is Format_ARGB32
#else
        png_set_swap_alpha(r.png);
#endif
    }
    png_set_interlace_handling(r.png);
    png_read_update_info(r.png, r.info);
    if (png_get_rowbytes(r.png, r.info) != size_t(width) * (alpha ? 4 : 3))
        return DecodedImage::failure(QStringLiteral("PNG: unexpected row layout"));
    r.image = ImageLimits::allocate(width, height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    if (r.image.isNull())
        return DecodedImage::failure(QStringLiteral("not enough memory for the picture"));
    r.rows.resize(height);
    for (png_uint_32 y = 0; y < height; ++y)
        r.rows[y] = r.image.scanLine(int(y));
    png_read_image(r.png, r.rows.data());
    ColorProfile::convertToSrgb(r.image, iccProfileOf(r));
    return DecodedImage{r.image, fileBitCount(colorType, depth, alpha), {}};
}

struct Writer
{
    png_structp png = nullptr;
    png_infop info = nullptr;
    QString error;
    QByteArray out;
    int depth = 8;
    std::vector<png_color> palette; // empty for RGB
    QByteArray key = "Comment";
    QByteArray text;
    bool international = false;
    std::vector<uchar> packed;
    ~Writer() { png_destroy_write_struct(&png, &info); }
};

void writeBytes(png_structp png, png_bytep data, size_t length)
{
    static_cast<Writer*>(png_get_io_ptr(png))->out.append(reinterpret_cast<const char*>(data), qsizetype(length));
}

void flushBytes(png_structp) {}

// Palette entries needed: the colour table, stretched to cover every index actually used.
int paletteSize(const QImage& image)
{
    int highest = 0;
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        highest = std::max(highest, int(*std::max_element(row, row + image.width())));
    }
    return std::max<int>(int(image.colorCount()), highest + 1);
}

// Everything with a destructor is set up here, before libpng may jump.
void prepare(Writer& w, const QImage& image, const QString& comment)
{
    if (image.format() == QImage::Format_Indexed8) {
        const int colors = paletteSize(image);
        w.depth = colors <= 16 ? 4 : 8;
        const QList<QRgb> table = image.colorTable();
        for (int i = 0; i < colors; ++i) {
            const QRgb c = i < table.size() ? table[i] : qRgb(0, 0, 0);
            w.palette.push_back(png_color{png_byte(qRed(c)), png_byte(qGreen(c)), png_byte(qBlue(c))});
        }
        w.packed.resize(size_t(image.width() + 1) / 2);
    }
    w.text = comment.toLatin1();
    w.international = QString::fromLatin1(w.text) != comment; // not Latin-1: an iTXt chunk in UTF-8
    if (w.international)
        w.text = comment.toUtf8();
}

void writeRows(Writer& w, const QImage& image)
{
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        if (w.depth == 4) {
            std::fill(w.packed.begin(), w.packed.end(), 0);
            for (int x = 0; x < image.width(); ++x)
                w.packed[size_t(x / 2)] |= uchar(row[x] << (x % 2 == 0 ? 4 : 0));
            row = w.packed.data();
        }
        png_write_row(w.png, row);
    }
}

bool write(Writer& w, const QImage& image)
{
    if (setjmp(png_jmpbuf(w.png)))
        return false;
    png_set_write_fn(w.png, &w, writeBytes, flushBytes);
    const bool indexed = !w.palette.empty();
    png_set_IHDR(w.png, w.info, png_uint_32(image.width()), png_uint_32(image.height()), w.depth,
                 indexed ? PNG_COLOR_TYPE_PALETTE : PNG_COLOR_TYPE_RGB, PNG_INTERLACE_NONE,
                 PNG_COMPRESSION_TYPE_DEFAULT, PNG_FILTER_TYPE_DEFAULT);
    if (indexed) {
        png_set_PLTE(w.png, w.info, w.palette.data(), int(w.palette.size()));
        png_set_filter(w.png, PNG_FILTER_TYPE_BASE, PNG_FILTER_NONE); // filters only hurt palette data
    }
    if (!w.text.isEmpty()) {
        png_text chunk{};
        chunk.compression = w.international ? PNG_ITXT_COMPRESSION_NONE : PNG_TEXT_COMPRESSION_NONE;
        chunk.key = w.key.data();
        chunk.text = w.text.data();
        chunk.text_length = size_t(w.text.size());
        png_set_text(w.png, w.info, &chunk, 1);
    }
    png_write_info(w.png, w.info);
    writeRows(w, image);
    png_write_end(w.png, w.info);
    return true;
}

} // namespace

bool PngCodec::matches(const QByteArray& bytes)
{
    return bytes.startsWith("\x89PNG\r\n\x1A\n");
}

DecodedImage PngCodec::decode(const QByteArray& bytes)
{
    auto reader = std::make_unique<Reader>();
    reader->bytes = &bytes;
    reader->png = png_create_read_struct(PNG_LIBPNG_VER_STRING, reader.get(), onError, onWarning);
    if (reader->png)
        reader->info = png_create_info_struct(reader->png);
    if (!reader->info)
        return DecodedImage::failure(QStringLiteral("PNG: cannot set up the decoder"));
    return read(*reader);
}

std::optional<QByteArray> PngCodec::encode(const QImage& image, const QString& comment, QString* error)
{
    const bool indexed = image.format() == QImage::Format_Indexed8;
    const QImage source =
        indexed || image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    auto writer = std::make_unique<Writer>();
    writer->png = png_create_write_struct(PNG_LIBPNG_VER_STRING, &writer->error, onWriteError, onWarning);
    if (writer->png)
        writer->info = png_create_info_struct(writer->png);
    if (!source.isNull())
        prepare(*writer, source, comment);
    if (source.isNull() || !writer->info || !write(*writer, source)) {
        if (error)
            *error = QStringLiteral("PNG: %1").arg(writer->error.isEmpty() ? QStringLiteral("cannot encode")
                                                                           : writer->error);
        return std::nullopt;
    }
    return std::move(writer->out);
}
