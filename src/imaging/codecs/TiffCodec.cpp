#include "imaging/codecs/TiffCodec.h"

#include "imaging/codecs/ColorProfile.h"
#include "imaging/codecs/ImageLimits.h"

#include <tiffio.h>

#include <cstring>
#include <dlfcn.h>
#include <optional>

namespace {

// libtiff, loaded when the first TIFF is read and kept: it brings half a dozen codec libraries of
// its own, and loading them all at every start costs more than a whole command-line save.
struct LibTiff
{
    decltype(&TIFFOpenOptionsAlloc) openOptionsAlloc;
    decltype(&TIFFOpenOptionsFree) openOptionsFree;
    decltype(&TIFFOpenOptionsSetErrorHandlerExtR) setErrorHandler;
    decltype(&TIFFOpenOptionsSetWarningHandlerExtR) setWarningHandler;
    decltype(&TIFFOpenOptionsSetMaxSingleMemAlloc) setMaxSingleMemAlloc;
    decltype(&TIFFClientOpenExt) clientOpen;
    decltype(&TIFFClose) close;
    decltype(&TIFFGetField) getField;
    decltype(&TIFFGetFieldDefaulted) getFieldDefaulted;
    decltype(&TIFFRGBAImageOK) rgbaImageOK;
    decltype(&TIFFReadRGBAImageOriented) readRGBAImageOriented;
};

// Null, with the loader's reason in `error`, when the library or one of its functions is missing.
const LibTiff* libTiff(QString* error)
{
    static QString failure;
    static const std::optional<LibTiff> loaded = []() -> std::optional<LibTiff> {
        void* handle = dlopen(PICTOREL_LIBTIFF_SONAME, RTLD_LAZY | RTLD_LOCAL);
        if (!handle) {
            failure = QString::fromLocal8Bit(dlerror());
            return std::nullopt;
        }
        LibTiff t{};
        const auto bind = [handle](auto& function, const char* name) {
            function = reinterpret_cast<std::remove_reference_t<decltype(function)>>(dlsym(handle, name));
            if (!function)
                failure =
                    QStringLiteral("%1 has no %2").arg(QLatin1String(PICTOREL_LIBTIFF_SONAME), QLatin1String(name));
        };
        bind(t.openOptionsAlloc, "TIFFOpenOptionsAlloc");
        bind(t.openOptionsFree, "TIFFOpenOptionsFree");
        bind(t.setErrorHandler, "TIFFOpenOptionsSetErrorHandlerExtR");
        bind(t.setWarningHandler, "TIFFOpenOptionsSetWarningHandlerExtR");
        bind(t.setMaxSingleMemAlloc, "TIFFOpenOptionsSetMaxSingleMemAlloc");
        bind(t.clientOpen, "TIFFClientOpenExt");
        bind(t.close, "TIFFClose");
        bind(t.getField, "TIFFGetField");
        bind(t.getFieldDefaulted, "TIFFGetFieldDefaulted");
        bind(t.rgbaImageOK, "TIFFRGBAImageOK");
        bind(t.readRGBAImageOriented, "TIFFReadRGBAImageOriented");
        if (!failure.isEmpty())
            return std::nullopt;
        return t;
    }();
    if (!loaded)
        *error = failure;
    return loaded ? &*loaded : nullptr;
}

struct MemoryFile
{
    const QByteArray* bytes;
    toff_t pos = 0;
    QString error;
};

MemoryFile& fileOf(thandle_t h)
{
    return *static_cast<MemoryFile*>(h);
}

tsize_t readProc(thandle_t h, tdata_t out, tsize_t size)
{
    MemoryFile& f = fileOf(h);
    const toff_t total = toff_t(f.bytes->size());
    const toff_t n = f.pos >= total ? 0 : std::min<toff_t>(toff_t(size), total - f.pos);
    std::memcpy(out, f.bytes->constData() + f.pos, size_t(n));
    f.pos += n;
    return tsize_t(n);
}

tsize_t writeProc(thandle_t, tdata_t, tsize_t)
{
    return 0;
}

toff_t seekProc(thandle_t h, toff_t offset, int whence)
{
    MemoryFile& f = fileOf(h);
    const toff_t base = whence == SEEK_CUR ? f.pos : (whence == SEEK_END ? toff_t(f.bytes->size()) : 0);
    f.pos = base + offset;
    return f.pos;
}

int closeProc(thandle_t)
{
    return 0;
}
toff_t sizeProc(thandle_t h)
{
    return toff_t(fileOf(h).bytes->size());
}
int mapProc(thandle_t, tdata_t*, toff_t*)
{
    return 0;
}
void unmapProc(thandle_t, tdata_t, toff_t) {}

int onError(TIFF*, void* user, const char*, const char* format, va_list args)
{
    auto* f = static_cast<MemoryFile*>(user);
    if (f->error.isEmpty())
        f->error = QString::vasprintf(format, args);
    return 1;
}

int onWarning(TIFF*, void*, const char*, const char*, va_list)
{
    return 1;
}

struct TiffCloser
{
    const LibTiff* tiff;
    void operator()(TIFF* tif) const { tiff->close(tif); }
};

int fileBitCount(const LibTiff& tiff, TIFF* tif, bool alpha)
{
    uint16_t bits = 1, samples = 1;
    tiff.getFieldDefaulted(tif, TIFFTAG_BITSPERSAMPLE, &bits);
    tiff.getFieldDefaulted(tif, TIFFTAG_SAMPLESPERPIXEL, &samples);
    return alpha ? 32 : bits * samples;
}

bool hasAlpha(const LibTiff& tiff, TIFF* tif)
{
    uint16_t count = 0;
    uint16_t* kinds = nullptr;
    if (!tiff.getField(tif, TIFFTAG_EXTRASAMPLES, &count, &kinds))
        return false;
    for (int i = 0; i < count; ++i)
        if (kinds[i] == EXTRASAMPLE_ASSOCALPHA || kinds[i] == EXTRASAMPLE_UNASSALPHA)
            return true;
    return false;
}

QByteArray iccProfileOf(const LibTiff& tiff, TIFF* tif)
{
    uint32_t size = 0;
    const void* data = nullptr;
    if (!tiff.getField(tif, TIFFTAG_ICCPROFILE, &size, &data) || !data)
        return {};
    return QByteArray(static_cast<const char*>(data), qsizetype(size));
}

DecodedImage readPage(const LibTiff& tiff, TIFF* tif, MemoryFile& file)
{
    uint32_t width = 0, height = 0;
    tiff.getField(tif, TIFFTAG_IMAGEWIDTH, &width);
    tiff.getField(tif, TIFFTAG_IMAGELENGTH, &height);
    if (const QString refusal = ImageLimits::check(width, height); !refusal.isEmpty())
        return DecodedImage::failure(refusal);
    char reason[1024] = {};
    if (!tiff.rgbaImageOK(tif, reason))
        return DecodedImage::failure(QStringLiteral("TIFF: %1").arg(QString::fromLatin1(reason)));
    // libtiff's ABGR words are R, G, B, A bytes in memory: RGBA8888. Read straight into the picture.
    QImage image = ImageLimits::allocate(width, height, QImage::Format_RGBA8888);
    if (image.isNull())
        return DecodedImage::failure(QStringLiteral("not enough memory for the picture"));
    static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the RGBA word layout below assumes little-endian");
    // Stop at the first broken strip or tile, and refuse a page libtiff complained about at all: a
    // decoding error leaves black or stale rows that must not pass for the picture.
    const int read = tiff.readRGBAImageOriented(tif, width, height, reinterpret_cast<uint32_t*>(image.bits()),
                                                ORIENTATION_TOPLEFT, 1);
    if (!read || !file.error.isEmpty())
        return DecodedImage::failure(
            QStringLiteral("TIFF: %1")
                .arg(file.error.isEmpty() ? QStringLiteral("cannot read the picture") : file.error));
    const bool alpha = hasAlpha(tiff, tif);
    image.convertTo(alpha ? QImage::Format_ARGB32 : QImage::Format_RGB888);
    ColorProfile::convertToSrgb(image, iccProfileOf(tiff, tif));
    return DecodedImage{image, fileBitCount(tiff, tif, alpha), {}};
}

} // namespace

bool TiffCodec::matches(const QByteArray& bytes)
{
    return bytes.startsWith(QByteArray("II*\0", 4)) || bytes.startsWith(QByteArray("MM\0*", 4)) ||
           bytes.startsWith(QByteArray("II+\0", 4)) || bytes.startsWith(QByteArray("MM\0+", 4));
}

DecodedImage TiffCodec::decode(const QByteArray& bytes)
{
    QString missing;
    const LibTiff* tiff = libTiff(&missing);
    if (!tiff)
        return DecodedImage::failure(QStringLiteral("TIFF: libtiff cannot be loaded: %1").arg(missing));
    MemoryFile file{&bytes, 0, {}};
    std::unique_ptr<TIFFOpenOptions, decltype(&TIFFOpenOptionsFree)> options(tiff->openOptionsAlloc(),
                                                                             tiff->openOptionsFree);
    tiff->setErrorHandler(options.get(), onError, &file);
    tiff->setWarningHandler(options.get(), onWarning, &file);
    tiff->setMaxSingleMemAlloc(options.get(), tmsize_t(ImageLimits::maxPixels) * 4);
    // "m": no memory mapping, we already hold the bytes.
    std::unique_ptr<TIFF, TiffCloser> tif(tiff->clientOpen("memory", "rm", &file, readProc, writeProc, seekProc,
                                                           closeProc, sizeProc, mapProc, unmapProc, options.get()),
                                          TiffCloser{tiff});
    if (!tif)
        return DecodedImage::failure(
            QStringLiteral("TIFF: %1").arg(file.error.isEmpty() ? QStringLiteral("cannot open the file") : file.error));
    return readPage(*tiff, tif.get(), file);
}
