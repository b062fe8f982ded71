#include "imaging/codecs/GifCodec.h"

#include "imaging/codecs/ImageLimits.h"

#include <gif_lib.h>

#include <cstring>
#include <vector>

namespace {

struct MemoryReader
{
    const QByteArray* bytes;
    qsizetype pos = 0;
};

int readBytes(GifFileType* gif, GifByteType* out, int length)
{
    auto* r = static_cast<MemoryReader*>(gif->UserData);
    const int n = int(std::min<qsizetype>(length, r->bytes->size() - r->pos));
    std::memcpy(out, r->bytes->constData() + r->pos, size_t(n));
    r->pos += n;
    return n;
}

int writeBytes(GifFileType* gif, const GifByteType* data, int length)
{
    static_cast<QByteArray*>(gif->UserData)->append(reinterpret_cast<const char*>(data), length);
    return length;
}

QString gifError(int code)
{
    const char* text = GifErrorString(code);
    return QStringLiteral("GIF: %1").arg(text ? QString::fromLatin1(text) : QStringLiteral("error %1").arg(code));
}

struct GifCloser
{
    void operator()(GifFileType* gif) const
    {
        int ignored = 0;
        DGifCloseFile(gif, &ignored);
    }
};

struct GifWriterCloser
{
    void operator()(GifFileType* gif) const
    {
        int ignored = 0;
        EGifCloseFile(gif, &ignored);
    }
};

struct MapDeleter
{
    void operator()(ColorMapObject* map) const { GifFreeMapObject(map); }
};

// Colour table bits: enough for the colour table and for every index actually used.
int tableBits(const QImage& image)
{
    int highest = std::max(0, int(image.colorCount()) - 1);
    for (int y = 0; y < image.height(); ++y) {
        const uchar* row = image.constScanLine(y);
        highest = std::max(highest, int(*std::max_element(row, row + image.width())));
    }
    int bits = 1;
    while ((1 << bits) <= highest)
        ++bits;
    return bits;
}

std::unique_ptr<ColorMapObject, MapDeleter> makeColorMap(const QImage& image, int bits)
{
    std::vector<GifColorType> colors(size_t(1) << bits, GifColorType{0, 0, 0});
    const QList<QRgb> table = image.colorTable();
    for (qsizetype i = 0; i < std::min<qsizetype>(table.size(), qsizetype(colors.size())); ++i)
        colors[size_t(i)] =
            GifColorType{GifByteType(qRed(table[i])), GifByteType(qGreen(table[i])), GifByteType(qBlue(table[i]))};
    return std::unique_ptr<ColorMapObject, MapDeleter>(GifMakeMapObject(1 << bits, colors.data()));
}

QString writeGif(GifFileType* gif, const QImage& image, const ColorMapObject* map, const QString& comment)
{
    EGifSetGifVersion(gif, true);
    if (EGifPutScreenDesc(gif, image.width(), image.height(), map->BitsPerPixel, 0, map) == GIF_ERROR)
        return gifError(gif->Error);
    const QByteArray text = comment.toUtf8();
    if (!text.isEmpty() && EGifPutComment(gif, text.constData()) == GIF_ERROR)
        return gifError(gif->Error);
    if (EGifPutImageDesc(gif, 0, 0, image.width(), image.height(), false, nullptr) == GIF_ERROR)
        return gifError(gif->Error);
    std::vector<GifPixelType> line(size_t(image.width())); // giflib masks the row in place
    for (int y = 0; y < image.height(); ++y) {
        std::memcpy(line.data(), image.constScanLine(y), line.size());
        if (EGifPutLine(gif, line.data(), image.width()) == GIF_ERROR)
            return gifError(gif->Error);
    }
    return {};
}

// Skips extensions up to the first image, remembering the transparent index of a graphic control block.
QString findFirstImage(GifFileType* gif, int& transparent)
{
    for (;;) {
        GifRecordType type = UNDEFINED_RECORD_TYPE;
        if (DGifGetRecordType(gif, &type) == GIF_ERROR)
            return gifError(gif->Error);
        if (type == IMAGE_DESC_RECORD_TYPE)
            return DGifGetImageDesc(gif) == GIF_ERROR ? gifError(gif->Error) : QString();
        if (type == TERMINATE_RECORD_TYPE)
            return QStringLiteral("GIF: the file holds no picture");
        if (type != EXTENSION_RECORD_TYPE)
            continue;
        int code = 0;
        GifByteType* block = nullptr;
        if (DGifGetExtension(gif, &code, &block) == GIF_ERROR)
            return gifError(gif->Error);
        GraphicsControlBlock gcb;
        if (code == GRAPHICS_EXT_FUNC_CODE && block && block[0] >= 4 &&
            DGifExtensionToGCB(block[0], block + 1, &gcb) == GIF_OK)
            transparent = gcb.TransparentColor;
        while (block)
            if (DGifGetExtensionNext(gif, &block) == GIF_ERROR)
                return gifError(gif->Error);
    }
}

// Reads the frame's rows (in interlaced order where needed) onto an ARGB32 canvas.
QString readFrame(GifFileType* gif, const ColorMapObject* map, int transparent, QImage& canvas, bool& seeThrough)
{
    const GifImageDesc& f = gif->Image;
    std::vector<GifPixelType> line(size_t(f.Width));
    std::vector<int> order;
    if (f.Interlace) {
        static constexpr int passes[4][2] = {{0, 8}, {4, 8}, {2, 4}, {1, 2}}; // first row, step
        for (const auto& pass : passes)
            for (int y = pass[0]; y < f.Height; y += pass[1])
                order.push_back(y);
    } else {
        for (int y = 0; y < f.Height; ++y)
            order.push_back(y);
    }
    for (const int y : order) {
        if (DGifGetLine(gif, line.data(), f.Width) == GIF_ERROR)
            return gifError(gif->Error);
        auto* dst = reinterpret_cast<QRgb*>(canvas.scanLine(f.Top + y)) + f.Left;
        for (int x = 0; x < f.Width; ++x) {
            const int index = line[size_t(x)];
            if (index == transparent) {
                dst[x] = 0, seeThrough = true;
            } else if (index < map->ColorCount) {
                const GifColorType c = map->Colors[index];
                dst[x] = qRgb(c.Red, c.Green, c.Blue);
            } else {
                dst[x] = qRgb(0, 0, 0);
            }
        }
    }
    return {};
}

} // namespace

bool GifCodec::matches(const QByteArray& bytes)
{
    return bytes.startsWith("GIF87a") || bytes.startsWith("GIF89a");
}

DecodedImage GifCodec::decode(const QByteArray& bytes)
{
    MemoryReader reader{&bytes, 0};
    int code = 0;
    std::unique_ptr<GifFileType, GifCloser> gif(DGifOpen(&reader, readBytes, &code));
    if (!gif)
        return DecodedImage::failure(gifError(code));
    int transparent = NO_TRANSPARENT_COLOR;
    if (const QString problem = findFirstImage(gif.get(), transparent); !problem.isEmpty())
        return DecodedImage::failure(problem);
    const GifImageDesc& f = gif->Image;
    const ColorMapObject* map = f.ColorMap ? f.ColorMap : gif->SColorMap;
    if (!map)
        return DecodedImage::failure(QStringLiteral("GIF: the picture has no colour table"));
    // The canvas is the logical screen, grown if the frame reaches beyond it.
    const qint64 width = std::max<qint64>(gif->SWidth, qint64(f.Left) + f.Width);
    const qint64 height = std::max<qint64>(gif->SHeight, qint64(f.Top) + f.Height);
    if (f.Width <= 0 || f.Height <= 0)
        return DecodedImage::failure(QStringLiteral("GIF: invalid frame size %1 x %2").arg(f.Width).arg(f.Height));
    if (const QString refusal = ImageLimits::check(width, height); !refusal.isEmpty())
        return DecodedImage::failure(refusal);
    QImage canvas = ImageLimits::allocate(width, height, QImage::Format_ARGB32);
    if (canvas.isNull())
        return DecodedImage::failure(QStringLiteral("not enough memory for the picture"));
    canvas.fill(0);
    bool seeThrough = f.Left > 0 || f.Top > 0 || f.Width < width || f.Height < height;
    if (const QString problem = readFrame(gif.get(), map, transparent, canvas, seeThrough); !problem.isEmpty())
        return DecodedImage::failure(problem);
    if (seeThrough)
        return DecodedImage{canvas, 32, {}};
    return DecodedImage{canvas.convertToFormat(QImage::Format_RGB888), map->BitsPerPixel, {}};
}

std::optional<QByteArray> GifCodec::encode(const QImage& image, const QString& comment, QString* error)
{
    auto fail = [error](const QString& text) {
        if (error)
            *error = text;
        return std::nullopt;
    };
    const QImage indexed =
        image.format() == QImage::Format_Indexed8 ? image : image.convertToFormat(QImage::Format_Indexed8);
    if (indexed.isNull() || indexed.width() > 0xFFFF || indexed.height() > 0xFFFF)
        return fail(QStringLiteral("the picture is too large for a GIF file"));
    const auto map = makeColorMap(indexed, tableBits(indexed));
    QByteArray out;
    int code = 0;
    std::unique_ptr<GifFileType, GifWriterCloser> gif(EGifOpen(&out, writeBytes, &code));
    if (!gif || !map)
        return fail(gif ? QStringLiteral("GIF: cannot make the colour table") : gifError(code));
    if (const QString problem = writeGif(gif.get(), indexed, map.get(), comment); !problem.isEmpty())
        return fail(problem);
    if (EGifCloseFile(gif.release(), &code) == GIF_ERROR)
        return fail(gifError(code));
    return out;
}
