// The effect kernels on a 12-megapixel photo-like picture (4000 x 3000), whole-picture region.
// `--write-picture FILE` saves that picture (PNG/PPM by extension) for compare_effects.sh and exits.
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

#include <QtGui/QGuiApplication>
#include <QtGui/QPainter>
#include <benchmark/benchmark.h>

#include <cmath>
#include <cstring>
#include <random>

namespace {

constexpr int pictureWidth = 4000;
constexpr int pictureHeight = 3000;
const EffectCorners xs{0, pictureWidth, pictureWidth, 0};
const EffectCorners ys{0, 0, pictureHeight, pictureHeight};

// Sky gradient, textured ground, hard-edged shapes and sensor-like noise: smooth areas, edges and detail.
QImage makePicture()
{
    QImage image(pictureWidth, pictureHeight, QImage::Format_RGB888);
    for (int y = 0; y < pictureHeight; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < pictureWidth; ++x) {
            const bool sky = y < pictureHeight / 2 + 200 * std::sin(x / 600.0);
            const double texture = 30 * std::sin(x / 7.0) * std::cos(y / 11.0);
            row[x * 3] = static_cast<uchar>(sky ? 90 + y / 40 : std::clamp(80 + texture, 0.0, 255.0));
            row[x * 3 + 1] = static_cast<uchar>(sky ? 140 + y / 40 : std::clamp(120 + texture, 0.0, 255.0));
            row[x * 3 + 2] = static_cast<uchar>(sky ? 220 - y / 60 : std::clamp(50 + texture / 2, 0.0, 255.0));
        }
    }
    QPainter painter(&image);
    std::mt19937 random(7);
    for (int i = 0; i < 60; ++i) {
        painter.setBrush(QColor::fromRgb(random() & 0xffffff));
        painter.setPen(Qt::NoPen);
        painter.drawEllipse(int(random() % pictureWidth), int(random() % pictureHeight), 50 + int(random() % 400),
                            50 + int(random() % 400));
    }
    painter.end();
    std::normal_distribution<double> noise(0.0, 6.0);
    for (int y = 0; y < pictureHeight; ++y) {
        uchar* row = image.scanLine(y);
        for (int i = 0; i < pictureWidth * 3; ++i)
            row[i] = static_cast<uchar>(std::clamp(row[i] + noise(random), 0.0, 255.0));
    }
    return image;
}

const QImage& picture()
{
    static const QImage image = makePicture();
    return image;
}

template <typename Kernel> void measure(benchmark::State& state, Kernel kernel)
{
    const QImage& input = picture();
    for (auto _ : state) {
        QImage out = kernel(input);
        if (out.isNull())
            state.SkipWithError("effect failed");
        benchmark::DoNotOptimize(out.constBits());
    }
    state.SetItemsProcessed(state.iterations() * pictureWidth * pictureHeight);
}

#define EFFECT_BENCH(name, expression)                                                                                 \
    void name(benchmark::State& state)                                                                                 \
    {                                                                                                                  \
        measure(state, [](const QImage& in) { return expression; });                                                   \
    }                                                                                                                  \
    BENCHMARK(name)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime()

// The floor for any kernel that returns a new picture: one deep copy.
EFFECT_BENCH(CopyOnly, in.copy());
EFFECT_BENCH(RotateLeft, ImageTransform::rotation(in, 9000, false, false));
EFFECT_BENCH(FlipUpDown, ImageTransform::rotation(in, 0, false, true));
EFFECT_BENCH(Darken, EffectTone::rgbGamma(in, xs, ys, 0.05, 0.05, 0.05));
EFFECT_BENCH(RemoveNoise, EffectNoise::removeNoise(in, xs, ys, 0, 0));
EFFECT_BENCH(AntiAlias, EffectDetail::antiAlias(in, xs, ys));
EFFECT_BENCH(Sharp5, EffectDetail::sharp(in, xs, ys, 5));
EFFECT_BENCH(SetGray, EffectTone::setGray(in));
EFFECT_BENCH(Sepia, EffectTone::rgbLevel(EffectTone::setGray(in), xs, ys, 10, -10, -35));
EFFECT_BENCH(OilPaint10, EffectOilPaint::oilPaint(in, xs, ys, 0, 10));
EFFECT_BENCH(Canvas10, EffectCanvas::canvas(in, xs, ys, 0, 10));
EFFECT_BENCH(Ripple, EffectDistort::ripple(in, xs, ys, 10, 100, 0.0, true, true));
EFFECT_BENCH(Waves, EffectDistort::waves(in, xs, ys, 0, 0, 50, 25, 0.0, 1));
EFFECT_BENCH(Lens10, EffectLens::lens(in, xs, ys, 10.0, false));
EFFECT_BENCH(Mosaic10, EffectMosaic::mosaic(in, xs, ys, 10, 10));
EFFECT_BENCH(Blur5, EffectBlur::blur(in, xs, ys, 5));

void OilPaintBrush(benchmark::State& state)
{
    const int brush = static_cast<int>(state.range(0));
    measure(state, [brush](const QImage& in) { return EffectOilPaint::oilPaint(in, xs, ys, 0, brush); });
}
BENCHMARK(OilPaintBrush)->Arg(3)->Arg(30)->Arg(100)->Unit(benchmark::kMillisecond)->UseRealTime();

void BlurStrength(benchmark::State& state)
{
    const int level = static_cast<int>(state.range(0));
    measure(state, [level](const QImage& in) { return EffectBlur::blur(in, xs, ys, level); });
}
BENCHMARK(BlurStrength)->Arg(1)->Arg(20)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // QPainter text and shapes need the GUI side initialised
    if (argc == 3 && std::strcmp(argv[1], "--write-picture") == 0)
        return picture().save(QString::fromLocal8Bit(argv[2])) ? 0 : 1;
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
