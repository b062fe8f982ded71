#include "CodecFixtures.h"

#include <cmath>

QImage CodecFixtures::gradient(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const double fx = double(x) / std::max(1, width - 1), fy = double(y) / std::max(1, height - 1);
            image.setPixel(x, y, qRgb(int(255 * fx), int(255 * fy), int(127 + 120 * std::sin(6 * (fx + fy)))));
        }
    return image;
}

QImage CodecFixtures::indexed(int width, int height, int colors)
{
    QImage image(width, height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (int i = 0; i < colors; ++i)
        table.append(qRgb((i * 97) % 256, (i * 53 + 30) % 256, (i * 29 + 200) % 256));
    image.setColorTable(table);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.setPixel(x, y, uint((x + 3 * y) % colors));
    return image;
}

void CodecFixtures::put16(QByteArray& bytes, int offset, quint32 value)
{
    bytes[offset] = char(value & 0xFF);
    bytes[offset + 1] = char((value >> 8) & 0xFF);
}

void CodecFixtures::put32(QByteArray& bytes, int offset, quint32 value)
{
    put16(bytes, offset, value & 0xFFFF);
    put16(bytes, offset + 2, value >> 16);
}

QByteArray CodecFixtures::bmp(const BmpSpec& s)
{
    const bool core = s.headerSize == 12;
    const int extraMasks = s.headerSize == 40 ? int(s.masks.size()) * 4 : 0;
    const int entrySize = core ? 3 : 4;
    const int paletteOffset = 14 + s.headerSize + extraMasks;
    const int dataOffset = paletteOffset + int(s.palette.size()) * entrySize;
    QByteArray b(dataOffset, '\0');
    b[0] = 'B', b[1] = 'M';
    put32(b, 10, s.dataOffset.value_or(quint32(dataOffset)));
    put32(b, 14, quint32(s.headerSize));
    if (core) {
        put16(b, 18, quint32(s.width)), put16(b, 20, quint32(s.height)), put16(b, 22, 1), put16(b, 24, quint32(s.bpp));
    } else {
        put32(b, 18, quint32(s.width)), put32(b, 22, quint32(s.height)), put16(b, 26, 1), put16(b, 28, quint32(s.bpp));
        put32(b, 30, s.compression), put32(b, 34, quint32(s.pixels.size())), put32(b, 46, s.colorsUsed);
        for (size_t i = 0; i < s.masks.size(); ++i)
            put32(b, 54 + 4 * int(i), s.masks[i]);
    }
    for (int i = 0; i < s.palette.size(); ++i) {
        const int e = paletteOffset + i * entrySize;
        b[e] = char(qBlue(s.palette[i])), b[e + 1] = char(qGreen(s.palette[i])), b[e + 2] = char(qRed(s.palette[i]));
    }
    b.append(s.pixels);
    put32(b, 2, quint32(b.size()));
    return b;
}

QByteArray CodecFixtures::pcx(const PcxSpec& s)
{
    QByteArray b(128, '\0');
    b[0] = 0x0A, b[1] = 5, b[2] = char(s.encoding), b[3] = char(s.bitsPerPlane);
    put16(b, 8, quint32(s.width - 1)), put16(b, 10, quint32(s.height - 1));
    for (int i = 0; i < s.headerPalette.size() && i < 16; ++i) {
        b[16 + 3 * i] = char(qRed(s.headerPalette[i]));
        b[17 + 3 * i] = char(qGreen(s.headerPalette[i]));
        b[18 + 3 * i] = char(qBlue(s.headerPalette[i]));
    }
    b[65] = char(s.planes);
    put16(b, 66, quint32(s.bytesPerLine));
    b.append(s.data);
    if (!s.tailPalette.isEmpty()) {
        b.append(char(0x0C));
        for (int i = 0; i < 256; ++i) {
            const QRgb c = i < s.tailPalette.size() ? s.tailPalette[i] : 0;
            b.append(char(qRed(c))), b.append(char(qGreen(c))), b.append(char(qBlue(c)));
        }
    }
    return b;
}

QByteArray CodecFixtures::pcxRle(const QByteArray& raw)
{
    QByteArray out;
    for (int i = 0; i < raw.size();) {
        int run = 1;
        while (i + run < raw.size() && raw[i + run] == raw[i] && run < 63)
            ++run;
        if (run > 1 || uchar(raw[i]) >= 0xC0)
            out.append(char(0xC0 | run));
        out.append(raw[i]);
        i += run;
    }
    return out;
}

QList<QByteArray> CodecFixtures::jpegSegments(const QByteArray& jpeg, int marker)
{
    QList<QByteArray> found;
    int pos = 2;
    while (pos + 4 <= jpeg.size() && uchar(jpeg[pos]) == 0xFF) {
        const int m = uchar(jpeg[pos + 1]);
        if (m == 0xDA) // entropy-coded data follows; headers end here
            break;
        const int length = uchar(jpeg[pos + 2]) << 8 | uchar(jpeg[pos + 3]);
        if (m == marker)
            found.append(jpeg.mid(pos + 4, length - 2));
        pos += 2 + length;
    }
    return found;
}

std::optional<QByteArray> CodecFixtures::pngChunk(const QByteArray& png, const char* type)
{
    int pos = 8;
    while (pos + 12 <= png.size()) {
        const quint32 length =
            quint32(uchar(png[pos])) << 24 | uchar(png[pos + 1]) << 16 | uchar(png[pos + 2]) << 8 | uchar(png[pos + 3]);
        if (png.mid(pos + 4, 4) == type)
            return png.mid(pos + 8, int(length));
        pos += 12 + int(length);
    }
    return std::nullopt;
}
