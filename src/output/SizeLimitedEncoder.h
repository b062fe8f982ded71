// Encodes the flattened picture into a file no larger than the size limit in force: JPEG steps its
// quality down from 100, GIF and PNG drop from 8 to 4 bits per pixel, BMP is written as it is.
// Every step is measured in memory; only the chosen result reaches the disk, once, whole or not at
// all, so a failed write never damages an existing file of that name. Only where the folder takes no
// new file is an existing, writable file overwritten in place.
#pragma once

#include "imaging/codecs/ImageFile.h"

#include <QtCore/QString>
#include <QtGui/QImage>

#include <functional>

class Prompts;

enum class EncodeOutcome {
    Fitted,               // the file is within the limit
    NotFitted,            // the last step is still too large; its file was written all the same
    FirstReductionFailed, // GIF/PNG: the 8-bit reduction failed; nothing was written
    LaterReductionFailed, // GIF/PNG: the 4-bit reduction failed; the 8-bit file was written
    Unadjusted,           // BMP: written once, not compared with the limit
    WriteFailed,          // no picture, or it could not be encoded or written; an existing file stays untouched
};

// The two points at which saving and sending update their progress display.
enum class EncodeStage { BeforeFirstWrite, FirstWriteMeasured };

struct EncodeResult
{
    EncodeOutcome outcome = EncodeOutcome::WriteFailed;
    qint64 size = -1; // bytes of the file written; for WriteFailed those that could not be, or -1
    int setting = 0;  // JPEG quality, or bits per pixel for GIF and PNG; 0 for BMP
    QString error{};  // why, for WriteFailed
};

// The two colour-reduction switches of the options.
struct ReductionOptions
{
    bool dither = false;
    bool fixedPalette = false;
};

class SizeLimitedEncoder
{
  public:
    using LimitSource = std::function<qint64()>;
    using StageHook = std::function<void(EncodeStage)>;
    // Reduces a picture to `bits` per pixel; a null image means failure.
    using Reducer = std::function<QImage(const QImage& image, int bits, const ReductionOptions& options)>;

    // Takes the flattened picture by value: move it in so that no other copy stays alive while encoding.
    // `limit` is asked afresh at every size comparison. `prompts`, when given, shows the busy cursor
    // during colour reductions.
    SizeLimitedEncoder(QImage flattened, LimitSource limit, ReductionOptions options, Prompts* prompts = nullptr);

    // Replaces the colour reduction (ColorReduction::convertColor by default).
    void setReducer(Reducer reducer) { reducer_ = std::move(reducer); }

    EncodeResult EncodeWithinLimit(const QString& path, FileFormat format, const QString& comment,
                                   const StageHook& stage = {});

    // Reduces the encoder image in place; a later reduction starts from the earlier result. On
    // failure the encoder holds no image.
    bool ReduceColors(int bits);

    const QImage& image() const { return image_; }
    void releaseImage() { image_ = QImage(); }

  private:
    EncodeResult encodeJpeg(const QString& path, const QString& comment, const StageHook& stage);
    EncodeResult encodePalette(const QString& path, FileFormat format, const QString& comment, const StageHook& stage);
    EncodeResult encodeBmp(const QString& path);
    static EncodeResult writeOnce(const QString& path, const QByteArray& bytes, EncodeResult verdict);

    QImage image_;
    LimitSource limit_;
    ReductionOptions options_;
    Prompts* prompts_;
    Reducer reducer_;
};
