#include "imaging/codecs/BmpCodec.h"

#include "imaging/codecs/BmpRleCodec.h"
#include "imaging/codecs/ImageLimits.h"

#include <QtCore/QFile>

#include <array>
#include <bit>
#include <cstring>
#include <vector>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

namespace {

constexpr qint64 fileHeaderSize = 14;
constexpr quint32 biRgb = 0, biRle8 = 1, biRle4 = 2, biBitfields = 3, biAlphaBitfields = 6;

quint16 u16(const uchar* p)
{
    return quint16(p[0] | (p[1] << 8));
}
quint32 u32(const uchar* p)
{
    return quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24;
}
void put16(uchar* p, quint32 v)
{
    p[0] = uchar(v), p[1] = uchar(v >> 8);
}
void put32(uchar* p, quint32 v)
{
    put16(p, v), put16(p + 2, v >> 16);
}

// One colour channel of a 16- or 32-bit pixel.
struct Channel
{
    quint32 mask = 0;
    int shift = 0;
    quint32 max = 0; // largest value after shifting; 0 for an absent channel

    uchar value(quint32 pixel) const
    {
        if (max == 0)
            return 0;
        const quint32 v = (pixel & mask) >> shift;
        return max >= 255 ? uchar(v >> (std::bit_width(max) - 8)) : uchar((v * 255 + max / 2) / max);
    }
};

struct Header
{
    qint64 width = 0;
    qint64 height = 0;
    bool topDown = false;
    int bpp = 0;
    quint32 compression = biRgb;
    std::array<quint32, 4> masks{}; // red, green, blue, alpha
    qint64 paletteOffset = 0;
    int paletteEntrySize = 4;
    qint64 paletteCount = 0;
    qint64 dataOffset = 0;
};

QString readHeader(const uchar* d, qint64 size, Header& h)
{
    if (size < fileHeaderSize + 16)
        return QStringLiteral("the bitmap header is truncated");
    h.dataOffset = u32(d + 10);
    const qint64 dib = u32(d + 14);
    if (dib < 12 || (dib > 12 && dib < 16) || dib > size - fileHeaderSize)
        return QStringLiteral("invalid bitmap header size %1").arg(dib);
    qint64 colorsUsed = 0;
    if (dib == 12) { // OS/2 core header: unsigned 16-bit sizes, 3-byte palette entries
        h.width = u16(d + 18);
        h.height = u16(d + 20);
        h.bpp = u16(d + 24);
        h.paletteEntrySize = 3;
    } else {
        h.width = qint32(u32(d + 18));
        h.height = qint32(u32(d + 22));
        h.bpp = u16(d + 28);
        h.compression = dib >= 20 ? u32(d + 30) : biRgb;
        colorsUsed = dib >= 36 ? u32(d + 46) : 0;
    }
    if (h.height < 0) {
        h.topDown = true;
        h.height = -h.height; // 64-bit, so INT_MIN cannot overflow
    }
    if (const QString refusal = ImageLimits::check(h.width, h.height); !refusal.isEmpty())
        return refusal;
    if (h.bpp != 1 && h.bpp != 4 && h.bpp != 8 && h.bpp != 16 && h.bpp != 24 && h.bpp != 32)
        return QStringLiteral("unsupported bitmap depth of %1 bits").arg(h.bpp);

    const bool bitfields = h.compression == biBitfields || h.compression == biAlphaBitfields;
    if (bitfields && dib != 64) { // OS/2 2.x uses compression 3 for Huffman coding instead
        const qint64 count = h.compression == biAlphaBitfields || dib >= 56 ? 4 : 3;
        if (fileHeaderSize + 40 + 4 * count > size)
            return QStringLiteral("the bitmap colour masks are truncated");
        for (int i = 0; i < count; ++i)
            h.masks[i] = u32(d + fileHeaderSize + 40 + 4 * i);
    }
    const bool supported = h.compression == biRgb || (h.compression == biRle8 && h.bpp == 8) ||
                           (h.compression == biRle4 && h.bpp == 4) ||
                           (bitfields && dib != 64 && (h.bpp == 16 || h.bpp == 32));
    if (!supported)
        return QStringLiteral("unsupported bitmap compression %1 for %2 bits").arg(h.compression).arg(h.bpp);

    h.paletteOffset =
        fileHeaderSize + dib + (bitfields && dib == 40 ? (h.compression == biAlphaBitfields ? 16 : 12) : 0);
    if (h.bpp <= 8) {
        const qint64 full = qint64(1) << h.bpp;
        h.paletteCount = colorsUsed > 0 && colorsUsed < full ? colorsUsed : full;
        // Some writers squeeze the palette; never read pixel data as colours.
        if (h.dataOffset > h.paletteOffset)
            h.paletteCount = std::min(h.paletteCount, (h.dataOffset - h.paletteOffset) / h.paletteEntrySize);
        if (h.paletteOffset + h.paletteCount * h.paletteEntrySize > size)
            return QStringLiteral("the bitmap palette extends beyond the end of the file");
    }
    if (h.dataOffset >= size)
        return QStringLiteral("the bitmap pixel data starts beyond the end of the file");
    return {};
}

QString makeChannels(const Header& h, std::array<Channel, 4>& channels)
{
    std::array<quint32, 4> masks = h.masks;
    if (masks[0] == 0 && masks[1] == 0 && masks[2] == 0) {
        if (h.compression != biRgb)
            return QStringLiteral("the bitmap colour masks select no colour");
        masks = h.bpp == 16 ? std::array<quint32, 4>{0x7C00, 0x03E0, 0x001F, 0}
                            : std::array<quint32, 4>{0xFF0000, 0xFF00, 0xFF, masks[3]};
    }
    quint32 seen = 0;
    for (size_t i = 0; i < masks.size(); ++i) {
        const quint32 mask = h.bpp == 16 ? masks[i] & 0xFFFF : masks[i];
        if (mask == 0)
            continue;
        const int shift = std::countr_zero(mask);
        const quint64 bits = quint64(mask) >> shift;
        if ((bits & (bits + 1)) != 0 || (seen & mask) != 0)
            return QStringLiteral("the bitmap colour masks are not contiguous or overlap");
        seen |= mask;
        channels[i] = Channel{mask, shift, quint32(bits)};
    }
    return {};
}

std::array<QRgb, 256> readPalette(const uchar* d, const Header& h)
{
    std::array<QRgb, 256> palette{};
    palette.fill(qRgb(0, 0, 0)); // indices beyond the palette show black
    for (qint64 i = 0; i < h.paletteCount; ++i) {
        const uchar* e = d + h.paletteOffset + i * h.paletteEntrySize;
        palette[size_t(i)] = qRgb(e[2], e[1], e[0]);
    }
    return palette;
}

void decodeIndexedRow(const uchar* src, uchar* dst, qint64 width, int bpp, const std::array<QRgb, 256>& palette)
{
    const int perByte = 8 / bpp;
    const int mask = (1 << bpp) - 1;
    for (qint64 x = 0; x < width; ++x) {
        const int shift = 8 - bpp * int(x % perByte + 1);
        const QRgb c = palette[size_t((src[x / perByte] >> shift) & mask)];
        dst[3 * x] = uchar(qRed(c)), dst[3 * x + 1] = uchar(qGreen(c)), dst[3 * x + 2] = uchar(qBlue(c));
    }
}

void decodeMaskedRow(const uchar* src, uchar* dst, qint64 width, int bpp, const std::array<Channel, 4>& ch, bool alpha)
{
    for (qint64 x = 0; x < width; ++x) {
        const quint32 p = bpp == 16 ? u16(src + 2 * x) : u32(src + 4 * x);
        if (alpha)
            reinterpret_cast<QRgb*>(dst)[x] = qRgba(ch[0].value(p), ch[1].value(p), ch[2].value(p), ch[3].value(p));
        else
            dst[3 * x] = ch[0].value(p), dst[3 * x + 1] = ch[1].value(p), dst[3 * x + 2] = ch[2].value(p);
    }
}

DecodedImage decodeUncompressed(const uchar* d, qint64 size, const Header& h)
{
    const qint64 stride = (h.width * h.bpp + 31) / 32 * 4;
    const qint64 available = size - h.dataOffset;
    if (available < stride * (h.height - 1) + (h.width * h.bpp + 7) / 8)
        return DecodedImage::failure(QStringLiteral("the bitmap pixel data is truncated"));
    std::array<Channel, 4> channels{};
    if (h.bpp == 16 || h.bpp == 32)
        if (const QString problem = makeChannels(h, channels); !problem.isEmpty())
            return DecodedImage::failure(problem);
    const bool alpha = channels[3].max != 0;
    QImage image = ImageLimits::allocate(h.width, h.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    if (image.isNull())
        return DecodedImage::failure(QStringLiteral("not enough memory for the picture"));
    const std::array<QRgb, 256> palette = readPalette(d, h);
    for (qint64 y = 0; y < h.height; ++y) {
        const uchar* src = d + h.dataOffset + y * stride;
        uchar* dst = image.scanLine(int(h.topDown ? y : h.height - 1 - y));
        if (h.bpp <= 8)
            decodeIndexedRow(src, dst, h.width, h.bpp, palette);
        else if (h.bpp == 24)
            BmpCodec::swapRedBlue(src, dst, h.width);
        else
            decodeMaskedRow(src, dst, h.width, h.bpp, channels, alpha);
    }
    return DecodedImage{image, alpha ? 32 : h.bpp, {}};
}

} // namespace

bool BmpCodec::matches(const QByteArray& bytes)
{
    return bytes.startsWith("BM");
}

DecodedImage BmpCodec::decode(const QByteArray& bytes)
{
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    Header h;
    if (const QString problem = readHeader(d, bytes.size(), h); !problem.isEmpty())
        return DecodedImage::failure(problem);
    if (h.compression == biRle8 || h.compression == biRle4) {
        if (h.topDown)
            return DecodedImage::failure(QStringLiteral("run-length bitmaps cannot be stored top-down"));
        QImage image = ImageLimits::allocate(h.width, h.height, QImage::Format_RGB888);
        if (image.isNull())
            return DecodedImage::failure(QStringLiteral("not enough memory for the picture"));
        const std::array<QRgb, 256> palette = readPalette(d, h);
        const QString problem =
            BmpRleCodec::decode(d + h.dataOffset, bytes.size() - h.dataOffset, h.bpp, palette.data(), image);
        if (!problem.isEmpty())
            return DecodedImage::failure(problem);
        return DecodedImage{image, h.bpp, {}};
    }
    return decodeUncompressed(d, bytes.size(), h);
}

std::optional<QByteArray> BmpCodec::encode(const QImage& image, QString* error)
{
    QByteArray out;
    out.reserve(54 + (qint64(image.width()) * 3 + 3) / 4 * 4 * image.height());
    const bool ok = write(
        image,
        [&out](const char* data, qint64 size) {
            out.append(data, size);
            return true;
        },
        error);
    return ok ? std::optional<QByteArray>(std::move(out)) : std::nullopt;
}

bool BmpCodec::write(const QImage& image, const ByteSink& sink, QString* error)
{
    const QImage rgb = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    const qint64 width = rgb.width(), height = rgb.height();
    const qint64 stride = (width * 3 + 3) / 4 * 4;
    const qint64 total = 54 + stride * height;
    if (rgb.isNull() || total > 0x7FFFFFFF) {
        if (error)
            *error = QStringLiteral("the picture is too large for a bitmap file");
        return false;
    }
    uchar header[54] = {};
    header[0] = 'B', header[1] = 'M';
    put32(header + 2, quint32(total));
    put32(header + 10, 54);
    put32(header + 14, 40);
    put32(header + 18, quint32(width));
    put32(header + 22, quint32(height));
    put16(header + 26, 1);
    put16(header + 28, 24);
    put32(header + 34, quint32(stride * height));
    put32(header + 38, 2835); // 72 dpi
    put32(header + 42, 2835);
    if (!sink(reinterpret_cast<const char*>(header), sizeof header))
        return false;
    // About 1 MB of rows at a time: large writes, small memory, rows still in cache when written.
    const qint64 rowsPerChunk = std::max<qint64>(1, (1 << 20) / stride);
    std::vector<uchar> chunk(size_t(stride * std::min(rowsPerChunk, height)), 0); // padding stays zero
    for (qint64 y = 0; y < height;) {
        const qint64 rows = std::min(rowsPerChunk, height - y);
        for (qint64 i = 0; i < rows; ++i)
            swapRedBlue(rgb.constScanLine(int(height - 1 - y - i)), chunk.data() + i * stride, width);
        if (!sink(reinterpret_cast<const char*>(chunk.data()), rows * stride))
            return false;
        y += rows;
    }
    return true;
}

std::optional<DecodedImage> BmpCodec::readPlain(QFile& file)
{
    const QByteArray head = file.read(fileHeaderSize + 124);
    Header h;
    if (!matches(head) || !readHeader(reinterpret_cast<const uchar*>(head.constData()), head.size(), h).isEmpty() ||
        h.bpp != 24 || h.compression != biRgb)
        return std::nullopt; // the general reader gives the answer, or the precise error
    const qint64 stride = (h.width * 3 + 3) / 4 * 4;
    if (file.size() - h.dataOffset < stride * (h.height - 1) + h.width * 3)
        return DecodedImage::failure(QStringLiteral("the bitmap pixel data is truncated"));
    QImage image = ImageLimits::allocate(h.width, h.height, QImage::Format_RGB888);
    if (image.isNull() || image.bytesPerLine() != stride)
        return DecodedImage::failure(QStringLiteral("not enough memory for the picture"));
    if (!file.seek(h.dataOffset))
        return DecodedImage::failure(file.errorString());
    // The rows are laid out as the picture's are, so they come in with one read (the last row's
    // padding may be missing); a bottom-up file's rows then change places as their colours turn.
    uchar* bits = image.bits();
    const qint64 wanted = stride * (h.height - 1) + h.width * 3;
    if (file.read(reinterpret_cast<char*>(bits), wanted) != wanted)
        return DecodedImage::failure(QStringLiteral("the bitmap pixel data is truncated"));
    if (h.topDown) {
        for (qint64 y = 0; y < h.height; ++y)
            swapRedBlue(bits + y * stride, bits + y * stride, h.width);
        return DecodedImage{image, 24, {}};
    }
    std::vector<uchar> kept(size_t(h.width) * 3);
    for (qint64 top = 0, bottom = h.height - 1; top <= bottom; ++top, --bottom) {
        uchar* upper = bits + top * stride;
        uchar* lower = bits + bottom * stride;
        std::memcpy(kept.data(), upper, kept.size());
        swapRedBlue(lower, upper, h.width);
        swapRedBlue(kept.data(), lower, h.width);
    }
    return DecodedImage{image, 24, {}};
}

#if defined(__x86_64__)
namespace {

// Shuffle mask moving the bytes of input block `in` to their places in output block `out` when
// reversing every 3-byte pixel of a 48-byte run; -128 clears the bytes that come from another block.
struct alignas(16) ShuffleMask
{
    signed char bytes[16];
};

constexpr ShuffleMask swapMask(int out, int in)
{
    ShuffleMask m{};
    for (int b = 0; b < 16; ++b) {
        const int j = 16 * out + b, from = 3 * (j / 3) + 2 - j % 3, rel = from - 16 * in;
        m.bytes[b] = rel >= 0 && rel < 16 ? static_cast<signed char>(rel) : static_cast<signed char>(-128);
    }
    return m;
}

// Sixteen pixels per step, all three blocks loaded before any is stored, so it works in place.
[[gnu::target("ssse3")]] qint64 swapRedBlueSsse3(const uchar* src, uchar* dst, qint64 pixels)
{
    static constexpr ShuffleMask masks[7] = {swapMask(0, 0), swapMask(0, 1), swapMask(1, 0), swapMask(1, 1),
                                             swapMask(1, 2), swapMask(2, 1), swapMask(2, 2)};
    __m128i m[7];
    for (int k = 0; k < 7; ++k)
        m[k] = _mm_load_si128(reinterpret_cast<const __m128i*>(masks[k].bytes));
    qint64 i = 0;
    for (; i + 16 <= pixels; i += 16) {
        const auto* in = reinterpret_cast<const __m128i*>(src + 3 * i);
        const __m128i a = _mm_loadu_si128(in), b = _mm_loadu_si128(in + 1), c = _mm_loadu_si128(in + 2);
        auto* out = reinterpret_cast<__m128i*>(dst + 3 * i);
        _mm_storeu_si128(out, _mm_or_si128(_mm_shuffle_epi8(a, m[0]), _mm_shuffle_epi8(b, m[1])));
        _mm_storeu_si128(out + 1, _mm_or_si128(_mm_or_si128(_mm_shuffle_epi8(a, m[2]), _mm_shuffle_epi8(b, m[3])),
                                               _mm_shuffle_epi8(c, m[4])));
        _mm_storeu_si128(out + 2, _mm_or_si128(_mm_shuffle_epi8(b, m[5]), _mm_shuffle_epi8(c, m[6])));
    }
    return i;
}

} // namespace
#endif

void BmpCodec::swapRedBlue(const uchar* src, uchar* dst, qint64 pixels)
{
    qint64 done = 0;
#if defined(__x86_64__)
    static const bool ssse3 = __builtin_cpu_supports("ssse3");
    if (ssse3)
        done = swapRedBlueSsse3(src, dst, pixels);
#endif
    src += 3 * done, dst += 3 * done;
    for (qint64 i = done; i < pixels; ++i, src += 3, dst += 3) {
        const uchar r = src[0];
        dst[1] = src[1];
        dst[0] = src[2];
        dst[2] = r;
    }
}
