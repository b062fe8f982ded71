#include "workspace/StandardOperations.h"

#include "foundation/ProgramOptions.h"
#include "imaging/effects/EffectBlur.h"
#include "imaging/effects/EffectCanvas.h"
#include "imaging/effects/EffectDetail.h"
#include "imaging/effects/EffectDistort.h"
#include "imaging/effects/EffectLens.h"
#include "imaging/effects/EffectMosaic.h"
#include "imaging/effects/EffectNoise.h"
#include "imaging/effects/EffectOilPaint.h"
#include "imaging/effects/EffectTone.h"
#include "imaging/effects/ImageTransform.h"
#include "workspace/ImageOperations.h"

#include <algorithm>

namespace {

using Region = ImageOperation::Region;
using Op = OperationId;

const QString processingMessage = QStringLiteral("画像処理を適用しています");
const QString effectMessage = QStringLiteral("画像効果を適用しています");

// A region's right and bottom corners lie one pixel beyond its last column and row (the whole
// picture is 0..width); the kernels take the last column and row themselves.
OperationRegion lastPixels(const OperationRegion& r)
{
    const auto pullIn = [](std::array<int, 4> values) {
        const auto [low, high] = std::minmax_element(values.begin(), values.end());
        const int last = *high > *low ? *high - 1 : *high;
        const int beyond = *high;
        for (int& v : values)
            v = v == beyond ? last : v;
        return values;
    };
    return {pullIn(r.xs), pullIn(r.ys)};
}

ImageOperation turn(int angle, bool turnX, bool turnY)
{
    return {processingMessage, Region::None, angle != 0, [=](const QImage& in, auto&, auto&) {
                return ImageTransform::rotation(in, angle, turnX, turnY, false, Qt::white, false);
            }};
}

ImageOperation sepia()
{
    return {effectMessage, Region::None, false, [](const QImage& in, auto&, auto&) {
                const QImage grey = EffectTone::setGray(in);
                if (grey.isNull())
                    return grey;
                const std::array<int, 4> xs{0, grey.width(), grey.width(), 0};
                const std::array<int, 4> ys{0, 0, grey.height(), grey.height()};
                return EffectTone::rgbLevel(grey, xs, ys, 10, -10, -35);
            }};
}

using Kernel = std::function<QImage(const QImage&, const OperationRegion&, const EffectOptions&)>;

// An operation whose kernel acts on a region, given to the kernel as its last pixels.
ImageOperation onRegion(const QString& message, Region region, Kernel kernel)
{
    return {message, region, false,
            [kernel = std::move(kernel)](const QImage& in, const OperationRegion& r, const ProgramOptions& options) {
                return kernel(in, lastPixels(r), options.effects);
            }};
}

ImageOperation tune(Kernel kernel)
{
    return onRegion(processingMessage, Region::Whole, std::move(kernel));
}

ImageOperation effect(Kernel kernel)
{
    return onRegion(effectMessage, Region::SelectionOrWhole, std::move(kernel));
}

ImageOperation brightness(double change)
{
    return tune([change](const QImage& in, const OperationRegion& r, const EffectOptions&) {
        return EffectTone::rgbGamma(in, r.xs, r.ys, change, change, change);
    });
}

} // namespace

void defineStandardOperations(ImageOperations& operations)
{
    operations.define(Op::RotateLeft, turn(9000, false, false));
    operations.define(Op::RotateRight, turn(-9000, false, false));
    operations.define(Op::FlipVertical, turn(0, false, true));
    operations.define(Op::FlipHorizontal, turn(0, true, false));
    operations.define(Op::Darken, brightness(0.05));
    operations.define(Op::Brighten, brightness(-0.05));
    operations.define(Op::RemoveNoise, tune([](const QImage& in, const OperationRegion& r, const EffectOptions&) {
                          return EffectNoise::removeNoise(in, r.xs, r.ys, 0, 0);
                      }));
    operations.define(Op::Smooth, tune([](const QImage& in, const OperationRegion& r, const EffectOptions&) {
                          return EffectDetail::antiAlias(in, r.xs, r.ys);
                      }));
    operations.define(Op::Sharpen, tune([](const QImage& in, const OperationRegion& r, const EffectOptions& e) {
                          return EffectDetail::sharp(in, r.xs, r.ys, e.sharpness);
                      }));
    operations.define(Op::Mono, {effectMessage, Region::None, false,
                                 [](const QImage& in, auto&, auto&) { return EffectTone::setGray(in); }});
    operations.define(Op::Sepia, sepia());
    operations.define(Op::Oil, effect([](const QImage& in, const OperationRegion& r, const EffectOptions& e) {
                          return EffectOilPaint::oilPaint(in, r.xs, r.ys, 0, e.oilBrush);
                      }));
    operations.define(Op::Canvas, effect([](const QImage& in, const OperationRegion& r, const EffectOptions& e) {
                          return EffectCanvas::canvas(in, r.xs, r.ys, 0, e.canvasDepth);
                      }));
    operations.define(Op::Ripple, effect([](const QImage& in, const OperationRegion& r, const EffectOptions& e) {
                          return EffectDistort::ripple(in, r.xs, r.ys, e.rippleAmplitude, e.rippleWavelength,
                                                       e.ripplePhase * 0.01, true, true, Qt::black);
                      }));
    operations.define(Op::Wave, effect([](const QImage& in, const OperationRegion& r, const EffectOptions& e) {
                          return EffectDistort::waves(in, r.xs, r.ys, e.wavesHorizontal ? 1 : 0, 0, e.wavesWavelength,
                                                      e.wavesAmplitude, e.wavesPhase * 0.01, 1, Qt::black);
                      }));
    operations.define(Op::Lens, effect([](const QImage& in, const OperationRegion& r, const EffectOptions& e) {
                          return EffectLens::lens(in, r.xs, r.ys, double(e.lensPower), false, Qt::black);
                      }));
    operations.define(Op::Mosaic, effect([](const QImage& in, const OperationRegion& r, const EffectOptions& e) {
                          return EffectMosaic::mosaic(in, r.xs, r.ys, e.mosaicSize, e.mosaicSize);
                      }));
    operations.define(Op::Blur, effect([](const QImage& in, const OperationRegion& r, const EffectOptions& e) {
                          return EffectBlur::blur(in, r.xs, r.ys, e.blurStrength);
                      }));
}
