#include "imaging/codecs/PcxCodec.h"

#include "imaging/codecs/ImageLimits.h"

#include <array>
#include <vector>

namespace {

constexpr qint64 headerSize = 128;
constexpr qint64 tailPaletteSize = 769; // 0x0C then 256 RGB triples

quint16 u16(const uchar* p)
{
    return quint16(p[0] | (p[1] << 8));
}

struct Header
{
    qint64 width = 0;
    qint64 height = 0;
    int bitsPerPlane = 0;
    int planes = 0;
    qint64 bytesPerLine = 0;
    bool compressed = true;
};

// Reads the run-length stream one scan line at a time; a run may continue into the next line.
class RleReader
{
  public:
    RleReader(const uchar* data, qint64 size, bool compressed) : data_(data), size_(size), compressed_(compressed) {}

    bool readLine(uchar* line, qint64 length)
    {
        for (qint64 i = 0; i < length;) {
            if (runLeft_ > 0) {
                const qint64 n = std::min<qint64>(runLeft_, length - i);
                std::fill_n(line + i, n, runValue_);
                runLeft_ -= int(n), i += n;
                continue;
            }
            if (pos_ >= size_)
                return false;
            const uchar b = data_[pos_++];
            if (compressed_ && b >= 0xC0) {
                if (pos_ >= size_)
                    return false;
                runLeft_ = b & 0x3F, runValue_ = data_[pos_++];
            } else {
                line[i++] = b;
            }
        }
        return true;
    }

  private:
    const uchar* data_;
    qint64 size_;
    bool compressed_;
    qint64 pos_ = 0;
    int runLeft_ = 0;
    uchar runValue_ = 0;
};

QString readHeader(const uchar* d, qint64 size, Header& h)
{
    if (size < headerSize)
        return QStringLiteral("the PCX header is truncated");
    const qint64 xMin = u16(d + 4), yMin = u16(d + 6), xMax = u16(d + 8), yMax = u16(d + 10);
    h.width = xMax - xMin + 1;
    h.height = yMax - yMin + 1;
    h.bitsPerPlane = d[3];
    h.planes = d[65];
    h.bytesPerLine = u16(d + 66);
    h.compressed = d[2] == 1;
    if (const QString refusal = ImageLimits::check(h.width, h.height); !refusal.isEmpty())
        return refusal;
    const bool supported = (h.bitsPerPlane == 1 && h.planes >= 1 && h.planes <= 4) ||
                           (h.bitsPerPlane == 4 && h.planes == 1) ||
                           (h.bitsPerPlane == 8 && (h.planes == 1 || h.planes == 3));
    if (!supported)
        return QStringLiteral("unsupported PCX layout: %1 bits in %2 planes").arg(h.bitsPerPlane).arg(h.planes);
    if (h.bytesPerLine < (h.width * h.bitsPerPlane + 7) / 8)
        return QStringLiteral("the PCX line length of %1 bytes is shorter than a row").arg(h.bytesPerLine);
    return {};
}

std::array<QRgb, 256> readPalette(const uchar* d, qint64 size, const Header& h, qint64& dataEnd)
{
    std::array<QRgb, 256> palette{};
    dataEnd = size;
    if (h.bitsPerPlane == 1 && h.planes == 1) {
        palette[0] = qRgb(0, 0, 0), palette[1] = qRgb(255, 255, 255);
    } else if (h.bitsPerPlane == 8 && h.planes == 1) {
        const bool tail = size >= headerSize + tailPaletteSize && d[size - tailPaletteSize] == 0x0C;
        for (int i = 0; i < 256; ++i) {
            const uchar* e = d + size - tailPaletteSize + 1 + 3 * i;
            palette[size_t(i)] = tail ? qRgb(e[0], e[1], e[2]) : qRgb(i, i, i); // no palette: grey levels
        }
        if (tail)
            dataEnd = size - tailPaletteSize;
    } else {
        for (int i = 0; i < 16; ++i)
            palette[size_t(i)] = qRgb(d[16 + 3 * i], d[17 + 3 * i], d[18 + 3 * i]);
    }
    return palette;
}

// Turns one decoded scan line (all planes) into an RGB888 row.
void convertLine(const uchar* line, uchar* dst, const Header& h, const std::array<QRgb, 256>& palette)
{
    const qint64 bpl = h.bytesPerLine;
    for (qint64 x = 0; x < h.width; ++x) {
        if (h.bitsPerPlane == 8 && h.planes == 3) {
            dst[3 * x] = line[x], dst[3 * x + 1] = line[bpl + x], dst[3 * x + 2] = line[2 * bpl + x];
            continue;
        }
        int index = 0;
        if (h.bitsPerPlane == 8)
            index = line[x];
        else if (h.bitsPerPlane == 4)
            index = (line[x / 2] >> (x % 2 == 0 ? 4 : 0)) & 0x0F;
        else
            for (int p = 0; p < h.planes; ++p)
                index |= ((line[p * bpl + x / 8] >> (7 - x % 8)) & 1) << p;
        const QRgb c = palette[size_t(index)];
        dst[3 * x] = uchar(qRed(c)), dst[3 * x + 1] = uchar(qGreen(c)), dst[3 * x + 2] = uchar(qBlue(c));
    }
}

} // namespace

bool PcxCodec::matches(const QByteArray& bytes)
{
    // Manufacturer 10, a known version, encoding 0 or 1, and a plausible bit count.
    if (bytes.size() < 4 || uchar(bytes[0]) != 0x0A)
        return false;
    const int version = uchar(bytes[1]), encoding = uchar(bytes[2]), bits = uchar(bytes[3]);
    return (version <= 5 && version != 1) && encoding <= 1 && (bits == 1 || bits == 2 || bits == 4 || bits == 8);
}

DecodedImage PcxCodec::decode(const QByteArray& bytes)
{
    const auto* d = reinterpret_cast<const uchar*>(bytes.constData());
    Header h;
    if (const QString problem = readHeader(d, bytes.size(), h); !problem.isEmpty())
        return DecodedImage::failure(problem);
    qint64 dataEnd = 0;
    const std::array<QRgb, 256> palette = readPalette(d, bytes.size(), h, dataEnd);
    QImage image = ImageLimits::allocate(h.width, h.height, QImage::Format_RGB888);
    if (image.isNull())
        return DecodedImage::failure(QStringLiteral("not enough memory for the picture"));
    std::vector<uchar> line(size_t(h.bytesPerLine * h.planes));
    RleReader reader(d + headerSize, dataEnd - headerSize, h.compressed);
    for (int y = 0; y < image.height(); ++y) {
        if (!reader.readLine(line.data(), qint64(line.size())))
            return DecodedImage::failure(QStringLiteral("the PCX pixel data is truncated"));
        convertLine(line.data(), image.scanLine(y), h, palette);
    }
    return DecodedImage{image, h.bitsPerPlane * h.planes, {}};
}
