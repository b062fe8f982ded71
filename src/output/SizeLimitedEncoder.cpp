#include "output/SizeLimitedEncoder.h"

#include "foundation/FileReplacer.h"
#include "foundation/Prompts.h"
#include "imaging/codecs/JpegSizeFloor.h"
#include "imaging/effects/ColorReduction.h"

#include <QtCore/QFile>
#include <QtCore/QFileInfo>

#include <new>
#include <optional>
#include <system_error>
#include <thread>
#include <unistd.h>

namespace {

constexpr int topQuality = 100;
constexpr int lowestQuality = 9; // the loop stops once a quality below 10 is still too large

QImage reduceWithColorReduction(const QImage& image, int bits, const ReductionOptions& options)
{
    return ColorReduction::convertColor(image, bits, options.fixedPalette, options.dither, 0);
}

void runStage(const SizeLimitedEncoder::StageHook& stage, EncodeStage point)
{
    if (stage)
        stage(point);
}

EncodeResult encodeFailure(const QString& error)
{
    return EncodeResult{EncodeOutcome::WriteFailed, -1, 0, error};
}

} // namespace

SizeLimitedEncoder::SizeLimitedEncoder(QImage flattened, LimitSource limit, ReductionOptions options, Prompts* prompts)
    : image_(std::move(flattened)), limit_(std::move(limit)), options_(options), prompts_(prompts),
      reducer_(reduceWithColorReduction)
{
}

EncodeResult SizeLimitedEncoder::EncodeWithinLimit(const QString& path, FileFormat format, const QString& comment,
                                                   const StageHook& stage)
{
    runStage(stage, EncodeStage::BeforeFirstWrite);
    if (image_.isNull())
        return encodeFailure(QStringLiteral("there is no picture to save"));
    switch (format) {
    case FileFormat::Jpeg:
        return encodeJpeg(path, comment, stage);
    case FileFormat::Gif:
    case FileFormat::Png:
        return encodePalette(path, format, comment, stage);
    case FileFormat::Bmp:
        return encodeBmp(path);
    }
    return encodeFailure(QStringLiteral("unknown file format"));
}

bool SizeLimitedEncoder::ReduceColors(int bits)
{
    std::optional<BusyCursor> busy;
    if (prompts_)
        busy.emplace(*prompts_);
    // The encoder lets go of its image first, so only the source and the result exist meanwhile.
    const QImage source = std::move(image_);
    image_ = QImage();
    if (source.isNull())
        return false;
    image_ = reducer_(source, bits, options_);
    return !image_.isNull();
}

// Steps the quality down by one from 100 and takes the first that fits, as writing and measuring
// every step would. A quality whose size floor is already over the limit cannot fit and is passed
// over without encoding; every other step is encoded and measured.
EncodeResult SizeLimitedEncoder::encodeJpeg(const QString& path, const QString& comment, const StageHook& stage)
{
    if (image_.format() != QImage::Format_RGB888)
        image_ = std::move(image_).convertToFormat(QImage::Format_RGB888); // once, not at every step
    // The coefficients for the size floors are worked out on a second core while quality 100 is encoded.
    std::optional<JpegSizeFloor> floor;
    std::jthread preparing; // joined on every way out
    try {
        preparing = std::jthread([this, &floor] {
            try {
                floor.emplace(image_);
            } catch (const std::bad_alloc&) {
                floor.reset(); // tried again below, where a failure reaches the caller
            }
        });
    } catch (const std::system_error&) {
        // No second thread: the floors are prepared below, after quality 100.
    }
    EncodeOptions options{topQuality, 2, comment};
    QString error;
    std::optional<QByteArray> bytes = ImageFile::encode(image_, FileFormat::Jpeg, options, &error);
    if (preparing.joinable())
        preparing.join();
    if (!bytes)
        return encodeFailure(error);
    runStage(stage, EncodeStage::FirstWriteMeasured);
    if (bytes->size() <= limit_())
        return writeOnce(path, *bytes, {EncodeOutcome::Fitted, bytes->size(), topQuality});

    if (!floor)
        floor.emplace(image_);
    floor->startCheck(*bytes);
    int encodedQuality = topQuality;
    for (int quality = topQuality - 1; quality >= lowestQuality; --quality) {
        const qint64 limit = limit_();
        if (floor->exceeds(quality, limit, lowestQuality))
            continue;
        options.jpegQuality = encodedQuality = quality;
        if (!(bytes = ImageFile::encode(image_, FileFormat::Jpeg, options, &error)))
            return encodeFailure(error);
        if (!floor->agrees(quality, bytes->size())) {
            quality = topQuality; // floors proved wrong for this library: start again, encoding every step
            continue;
        }
        if (bytes->size() <= limit)
            return writeOnce(path, *bytes, {EncodeOutcome::Fitted, bytes->size(), quality});
    }
    if (encodedQuality != lowestQuality) {
        options.jpegQuality = lowestQuality;
        if (!(bytes = ImageFile::encode(image_, FileFormat::Jpeg, options, &error)))
            return encodeFailure(error);
    }
    return writeOnce(path, *bytes, {EncodeOutcome::NotFitted, bytes->size(), lowestQuality});
}

// 8 bits per pixel, then 4 when 8 is too large. A 4-bit reduction that fails leaves the 8-bit file.
EncodeResult SizeLimitedEncoder::encodePalette(const QString& path, FileFormat format, const QString& comment,
                                               const StageHook& stage)
{
    const EncodeOptions options{topQuality, 2, comment};
    if (!ReduceColors(8))
        return {EncodeOutcome::FirstReductionFailed, -1, 8, {}};
    QString error;
    std::optional<QByteArray> bytes = ImageFile::encode(image_, format, options, &error);
    if (!bytes)
        return encodeFailure(error);
    runStage(stage, EncodeStage::FirstWriteMeasured);
    if (bytes->size() <= limit_())
        return writeOnce(path, *bytes, {EncodeOutcome::Fitted, bytes->size(), 8});
    if (!ReduceColors(4))
        return writeOnce(path, *bytes, {EncodeOutcome::LaterReductionFailed, bytes->size(), 8});
    if (!(bytes = ImageFile::encode(image_, format, options, &error)))
        return encodeFailure(error);
    const EncodeOutcome outcome = bytes->size() <= limit_() ? EncodeOutcome::Fitted : EncodeOutcome::NotFitted;
    return writeOnce(path, *bytes, {outcome, bytes->size(), 4});
}

EncodeResult SizeLimitedEncoder::encodeBmp(const QString& path)
{
    QString error;
    const std::optional<QByteArray> bytes = ImageFile::encode(image_, FileFormat::Bmp, {}, &error);
    if (!bytes)
        return encodeFailure(error);
    return writeOnce(path, *bytes, {EncodeOutcome::Unadjusted, bytes->size(), 0});
}

namespace {

// A target the user may write, in a folder that takes no new file beside it.
bool onlyWritableInPlace(const QString& path)
{
    const QFileInfo info(path);
    return info.isFile() && ::access(QFile::encodeName(path).constData(), W_OK) == 0 &&
           ::access(QFile::encodeName(info.absolutePath()).constData(), W_OK) != 0;
}

QString writeInPlace(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Unbuffered))
        return file.errorString();
    if (file.write(bytes) != bytes.size() || !file.flush())
        return file.errorString();
    file.close();
    return file.error() == QFileDevice::NoError ? QString() : file.errorString();
}

} // namespace

// The chosen result goes to a temporary file beside the target that replaces it only when complete.
// A folder that takes no new file, holding a target the user may write, gets the file written in place.
EncodeResult SizeLimitedEncoder::writeOnce(const QString& path, const QByteArray& bytes, EncodeResult verdict)
{
    QString problem = FileReplacer::replace(path, bytes);
    if (!problem.isEmpty() && onlyWritableInPlace(path))
        problem = writeInPlace(path, bytes);
    if (!problem.isEmpty()) {
        verdict.outcome = EncodeOutcome::WriteFailed;
        verdict.error = QStringLiteral("cannot write %1: %2").arg(path, problem);
    }
    return verdict;
}
