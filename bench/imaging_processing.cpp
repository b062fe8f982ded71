// Image processing speed: shrinking a 24-megapixel photo and reducing a 480 x 480 photo to 8 and 4 bits.
// PICTOREL_BENCH_PHOTO (a 6000 x 4000 picture) and PICTOREL_BENCH_SMALL (480 x 480) name the input files;
// without them synthetic pictures are used. With PICTOREL_BENCH_OUT set, the reduced pictures are written
// there as PNG so a script can measure their error against the original.
#include "imaging/codecs/ImageFile.h"
#include "imaging/effects/ColorReduction.h"
#include "imaging/resampling/Resampler.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QDir>
#include <benchmark/benchmark.h>

#include <cmath>

namespace {

// Smooth shading with fine texture and hard edges, roughly like a photo.
QImage syntheticPhoto(int w, int h)
{
    QImage image(w, h, QImage::Format_RGB888);
    for (int y = 0; y < h; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < w; ++x) {
            const int texture = int((x * 7919u + y * 104729u) % 23u);
            row[3 * x] = uchar((x * 255 / w + texture) & 0xff);
            row[3 * x + 1] = uchar((y * 255 / h + (x / 97 % 2) * 60) & 0xff);
            row[3 * x + 2] = uchar(128 + 100 * std::sin(x * 0.01 + y * 0.013));
        }
    }
    return image;
}

QImage input(const char* variable, int w, int h)
{
    const QString path = qEnvironmentVariable(variable);
    if (!path.isEmpty()) {
        const DecodedImage decoded = ImageFile::load(path);
        if (decoded.ok())
            return decoded.image;
    }
    return syntheticPhoto(w, h);
}

const QImage& photo()
{
    static const QImage image = input("PICTOREL_BENCH_PHOTO", 6000, 4000);
    return image;
}

const QImage& smallPhoto()
{
    static const QImage image = input("PICTOREL_BENCH_SMALL", 480, 480);
    return image;
}

void BM_ShrinkPhoto(benchmark::State& state)
{
    const QImage& source = photo();
    for (auto _ : state) {
        QImage out = Resampler::resize(source, 428, 321);
        benchmark::DoNotOptimize(out.constBits());
    }
    state.SetLabel(QStringLiteral("%1x%2 -> 428x321").arg(source.width()).arg(source.height()).toStdString());
}
BENCHMARK(BM_ShrinkPhoto)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_LoadAndShrinkPhoto(benchmark::State& state)
{
    const QString path = qEnvironmentVariable("PICTOREL_BENCH_PHOTO");
    if (path.isEmpty()) {
        state.SkipWithError("PICTOREL_BENCH_PHOTO not set");
        return;
    }
    for (auto _ : state) {
        QImage out = Resampler::resize(ImageFile::load(path).image, 428, 321);
        benchmark::DoNotOptimize(out.constBits());
    }
}
BENCHMARK(BM_LoadAndShrinkPhoto)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(3.0);

void BM_ReduceDithered(benchmark::State& state)
{
    const int bits = int(state.range(0));
    const QImage& source = smallPhoto();
    QImage out;
    for (auto _ : state) {
        out = ColorReduction::convertColor(source, bits, false, true);
        benchmark::DoNotOptimize(out.constBits());
    }
    const QString dir = qEnvironmentVariable("PICTOREL_BENCH_OUT");
    if (!dir.isEmpty())
        out.save(QDir(dir).filePath(QStringLiteral("ours-%1.png").arg(bits)));
}
BENCHMARK(BM_ReduceDithered)->Arg(8)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(2.0);

void BM_ReduceFixedDithered(benchmark::State& state)
{
    const int bits = int(state.range(0));
    const QImage& source = smallPhoto();
    for (auto _ : state) {
        QImage out = ColorReduction::convertColor(source, bits, true, true);
        benchmark::DoNotOptimize(out.constBits());
    }
}
BENCHMARK(BM_ReduceFixedDithered)->Arg(8)->Arg(4)->Unit(benchmark::kMillisecond)->UseRealTime()->MinTime(1.0);

} // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv); // image plug-ins are found through the application object
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
