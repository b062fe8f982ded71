// Size-limited encoding: EncodeWithinLimit against a loop that writes and measures a file at every
// quality step. bench/compare_encode.sh runs these next to ImageMagick on the same pictures.
//   bench_output_encode --make-png <path> <width> <height> <seed>   writes a photo-like PNG and exits.
// The pictures are taken from PICTOREL_BENCH_480 (480 x 480) and PICTOREL_BENCH_240 (240 x 320).
#include "output/SizeLimitedEncoder.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdlib>
#include <cstring>

namespace {

// Smooth shading, a few hard edges and sensor-like grain: compresses the way photos do.
QImage photoLike(int width, int height, unsigned seed)
{
    QImage image(width, height, QImage::Format_RGB888);
    unsigned state = seed * 2654435761u + 7;
    for (int y = 0; y < height; ++y) {
        uchar* p = image.scanLine(y);
        for (int x = 0; x < width; ++x, p += 3) {
            state = state * 1103515245u + 12345u;
            const int grain = int(state >> 28) - 8;
            const double u = double(x) / width, v = double(y) / height;
            const double sky = 40 * std::sin(u * 6.1 + seed) + 30 * std::cos(v * 4.3 + u * 2.0);
            const bool ground = v > 0.55 + 0.1 * std::sin(u * 9.0);
            const int leaves = ground ? int(25 * std::sin(x * 0.9) * std::cos(y * 1.3)) : 0;
            p[0] = uchar(std::clamp(int((ground ? 70 : 120) + sky) + leaves + grain, 0, 255));
            p[1] = uchar(std::clamp(int((ground ? 110 : 160) + sky * 0.6) + leaves + grain, 0, 255));
            p[2] = uchar(std::clamp(int((ground ? 50 : 220) - sky * 0.4) + grain, 0, 255));
        }
    }
    return image;
}

QImage picture(const char* variable)
{
    const char* path = std::getenv(variable);
    if (!path)
        return photoLike(std::strcmp(variable, "PICTOREL_BENCH_480") == 0 ? 480 : 240,
                         std::strcmp(variable, "PICTOREL_BENCH_480") == 0 ? 480 : 320, 1);
    return ImageFile::load(QString::fromLocal8Bit(path)).image;
}

const QImage& picture480()
{
    static const QImage image = picture("PICTOREL_BENCH_480");
    return image;
}

const QImage& picture240()
{
    static const QImage image = picture("PICTOREL_BENCH_240");
    return image;
}

const QTemporaryDir& outputDir()
{
    static const QTemporaryDir dir;
    return dir;
}

void encodeWithinLimit(benchmark::State& state, const QImage& image, FileFormat format, qint64 limit, const char* name)
{
    const QString path = outputDir().filePath(QString::fromLatin1(name));
    EncodeResult result;
    for (auto _ : state) {
        SizeLimitedEncoder encoder(image, [limit] { return limit; }, {});
        result = encoder.EncodeWithinLimit(path, format, QStringLiteral("Powered by Lumivane"));
        benchmark::DoNotOptimize(result.size);
    }
    if (result.outcome == EncodeOutcome::WriteFailed)
        state.SkipWithError("write failed");
    state.counters["bytes"] = double(result.size);
    state.counters["setting"] = result.setting;
}

// The JPEG loop as first designed: write the whole file at every quality, then open it and measure.
void BM_WriteAndMeasureLoop_Jpeg480_NeverFits(benchmark::State& state)
{
    const QString path = outputDir().filePath(QStringLiteral("loop.jpg"));
    const qint64 limit = 256;
    int quality = 100;
    for (auto _ : state) {
        for (quality = 100;; --quality) {
            const QByteArray bytes = *ImageFile::encode(
                picture480(), FileFormat::Jpeg, EncodeOptions{quality, 2, QStringLiteral("Powered by Lumivane")});
            QFile out(path);
            if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(bytes) != bytes.size())
                state.SkipWithError("write failed");
            out.close();
            QFile measured(path);
            const qint64 size = measured.open(QIODevice::ReadOnly) ? measured.size() : -1;
            measured.close();
            if (size <= limit || quality < 10)
                break;
        }
    }
    state.counters["setting"] = quality;
}

void BM_EncodeWithinLimit_Jpeg480_NeverFits(benchmark::State& state)
{
    encodeWithinLimit(state, picture480(), FileFormat::Jpeg, 256, "never.jpg");
}

void BM_EncodeWithinLimit_Jpeg480_Limit30000(benchmark::State& state)
{
    encodeWithinLimit(state, picture480(), FileFormat::Jpeg, 30000, "mid.jpg");
}

void BM_EncodeWithinLimit_Jpeg240x320_Limit97600(benchmark::State& state)
{
    encodeWithinLimit(state, picture240(), FileFormat::Jpeg, 97600, "typical.jpg");
}

void BM_EncodeWithinLimit_Gif480_EightThenFour(benchmark::State& state)
{
    encodeWithinLimit(state, picture480(), FileFormat::Gif, 256, "small.gif");
}

void BM_EncodeWithinLimit_Png480_EightThenFour(benchmark::State& state)
{
    encodeWithinLimit(state, picture480(), FileFormat::Png, 256, "small.png");
}

BENCHMARK(BM_WriteAndMeasureLoop_Jpeg480_NeverFits)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EncodeWithinLimit_Jpeg480_NeverFits)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EncodeWithinLimit_Jpeg480_Limit30000)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EncodeWithinLimit_Jpeg240x320_Limit97600)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EncodeWithinLimit_Gif480_EightThenFour)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_EncodeWithinLimit_Png480_EightThenFour)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    if (argc == 6 && std::strcmp(argv[1], "--make-png") == 0) {
        const QImage image = photoLike(std::atoi(argv[3]), std::atoi(argv[4]), unsigned(std::atoi(argv[5])));
        return ImageFile::save(image, QString::fromLocal8Bit(argv[2]), FileFormat::Png, {}) ? 0 : 1;
    }
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
