// Codec speed. In-memory benchmarks use a generated photo-like picture; the File/ benchmarks use the
// picture named by PICTOREL_BENCH_JPEG and the folder PICTOREL_BENCH_DIR (bench/compare_codecs.sh
// sets both) and report the process's peak memory, so run each of those in its own process.
//   bench_imaging_codecs --make-jpeg <path> <width> <height>   writes a photo-like JPEG and exits.
#include "imaging/codecs/ImageFile.h"

#include <benchmark/benchmark.h>

#include <QtCore/QFileInfo>

#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/resource.h>

namespace {

// Smooth colour fields with fine texture, so that JPEG has realistic work to do.
QImage photoLike(int width, int height)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            const double fx = double(x) / width, fy = double(y) / height;
            const int noise = int((x * 7919u + y * 104729u) % 23) - 11;
            row[3 * x] = uchar(std::clamp(int(128 + 100 * std::sin(5 * fx + 2 * fy)) + noise, 0, 255));
            row[3 * x + 1] = uchar(std::clamp(int(128 + 90 * std::cos(3 * fy - 4 * fx)) + noise, 0, 255));
            row[3 * x + 2] = uchar(std::clamp(int(120 + 80 * std::sin(7 * fx * fy + 1)) - noise, 0, 255));
        }
    }
    return image;
}

const QImage& picture()
{
    static const QImage image = photoLike(3000, 2000);
    return image;
}

void setPixels(benchmark::State& state, const QImage& image)
{
    state.counters["MPix/s"] =
        benchmark::Counter(double(image.width()) * image.height() / 1e6, benchmark::Counter::kIsIterationInvariantRate);
}

void peakMemory(benchmark::State& state)
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    state.counters["peak_MB"] = double(usage.ru_maxrss) / 1024.0;
}

void BM_EncodeJpeg(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageFile::encode(picture(), FileFormat::Jpeg, {.jpegQuality = 90}));
    setPixels(state, picture());
}
BENCHMARK(BM_EncodeJpeg)->Unit(benchmark::kMillisecond);

void BM_DecodeJpeg(benchmark::State& state)
{
    const QByteArray jpeg = *ImageFile::encode(picture(), FileFormat::Jpeg, {.jpegQuality = 90});
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageFile::decode(jpeg));
    setPixels(state, picture());
}
BENCHMARK(BM_DecodeJpeg)->Unit(benchmark::kMillisecond);

void BM_EncodeBmp(benchmark::State& state)
{
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageFile::encode(picture(), FileFormat::Bmp, {}));
    setPixels(state, picture());
}
BENCHMARK(BM_EncodeBmp)->Unit(benchmark::kMillisecond);

void BM_DecodeBmp(benchmark::State& state)
{
    const QByteArray bmp = *ImageFile::encode(picture(), FileFormat::Bmp, {});
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageFile::decode(bmp));
    setPixels(state, picture());
}
BENCHMARK(BM_DecodeBmp)->Unit(benchmark::kMillisecond);

void BM_EncodePng8(benchmark::State& state)
{
    const QImage indexed = picture().convertToFormat(QImage::Format_Indexed8, Qt::ThresholdDither);
    for (auto _ : state)
        benchmark::DoNotOptimize(ImageFile::encode(indexed, FileFormat::Png, {}));
    setPixels(state, indexed);
}
BENCHMARK(BM_EncodePng8)->Unit(benchmark::kMillisecond);

QString environment(const char* name)
{
    return QString::fromLocal8Bit(qgetenv(name));
}

// Reading a JPEG file into a picture, as the program does when a photo is opened.
void BM_File_LoadJpeg(benchmark::State& state)
{
    const QString path = environment("PICTOREL_BENCH_JPEG");
    if (path.isEmpty())
        return state.SkipWithError("PICTOREL_BENCH_JPEG is not set");
    for (auto _ : state) {
        const DecodedImage d = ImageFile::load(path);
        if (!d.ok())
            return state.SkipWithError(d.error.toStdString().c_str());
    }
    peakMemory(state);
}
BENCHMARK(BM_File_LoadJpeg)->Unit(benchmark::kMillisecond);

// Writing a 24-bit BMP file and reading it back (undo images go through exactly this).
void BM_File_BmpWriteRead(benchmark::State& state)
{
    const DecodedImage photo = ImageFile::load(environment("PICTOREL_BENCH_JPEG"));
    if (!photo.ok())
        return state.SkipWithError("PICTOREL_BENCH_JPEG does not name a readable picture");
    const QString path = environment("PICTOREL_BENCH_DIR") + "/ours.bmp";
    for (auto _ : state) {
        if (!ImageFile::save(photo.image, path, FileFormat::Bmp, {}))
            return state.SkipWithError("cannot write the bitmap");
        if (!ImageFile::load(path).ok())
            return state.SkipWithError("cannot read the bitmap back");
    }
    state.counters["bytes"] = double(QFileInfo(path).size());
}
BENCHMARK(BM_File_BmpWriteRead)->Unit(benchmark::kMillisecond);

int makeJpeg(const char* path, int width, int height)
{
    QString error;
    if (width <= 0 || height <= 0 ||
        !ImageFile::save(photoLike(width, height), QString::fromLocal8Bit(path), FileFormat::Jpeg, {.jpegQuality = 90},
                         &error)) {
        std::fprintf(stderr, "cannot make %s: %s\n", path, qPrintable(error));
        return 1;
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 5 && std::strcmp(argv[1], "--make-jpeg") == 0)
        return makeJpeg(argv[2], std::atoi(argv[3]), std::atoi(argv[4]));
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
