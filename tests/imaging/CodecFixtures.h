// Pictures and hand-made files for the codec tests. Files are assembled byte by byte so that tests
// can bend any header field.
#pragma once

#include <QtCore/QByteArray>
#include <QtCore/QList>
#include <QtGui/QImage>

#include <optional>
#include <vector>

struct BmpSpec
{
    int headerSize = 40; // 12 = OS/2 core header
    qint32 width = 0;
    qint32 height = 0;
    int bpp = 24;
    quint32 compression = 0;
    quint32 colorsUsed = 0;
    QList<QRgb> palette{};
    std::vector<quint32> masks{}; // written after a 40-byte header, or inside a larger one
    QByteArray pixels{};
    std::optional<quint32> dataOffset{}; // default: right after the palette
};

struct PcxSpec
{
    int width = 0;
    int height = 0;
    int bitsPerPlane = 8;
    int planes = 1;
    int bytesPerLine = 0;
    int encoding = 1;
    QList<QRgb> headerPalette{}; // up to 16 entries
    QByteArray data{};           // already encoded
    QList<QRgb> tailPalette{};   // 256-colour palette after the data, when not empty
};

class CodecFixtures
{
  public:
    // A smooth, photo-like RGB888 picture.
    static QImage gradient(int width, int height);
    // An Indexed8 picture using every one of `colors` palette entries.
    static QImage indexed(int width, int height, int colors);

    static QByteArray bmp(const BmpSpec& layout);
    static QByteArray pcx(const PcxSpec& layout);
    // PCX run-length coding of one stream of bytes.
    static QByteArray pcxRle(const QByteArray& raw);

    // The payloads of all JPEG segments with the given marker (e.g. 0xFE for COM, 0xC0 for SOF0).
    static QList<QByteArray> jpegSegments(const QByteArray& jpeg, int marker);
    // The data of the first PNG chunk of the given type, or nothing.
    static std::optional<QByteArray> pngChunk(const QByteArray& png, const char* type);

    static void put16(QByteArray& bytes, int offset, quint32 value);
    static void put32(QByteArray& bytes, int offset, quint32 value);
};
