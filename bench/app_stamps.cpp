// Stamps and frames as the user meets them. A stamp drag: one move of a 96 x 96 stamp stretched
// into a 200 x 150 rectangle on a 480 x 480 canvas (work picture filled, stamp drawn, layer
// installed and composed on the main display) with a 6000 x 4000 photo loaded. List filling: both
// lists fed from folders of 200 pictures each; the longest time the window's thread is held at once
// (listing, or one event-loop pass while thumbnails arrive) is reported as max_block_ms.
#include "decoration/StampTool.h"
#include "foundation/InertPrompts.h"
#include "imaging/codecs/ImageFile.h"
#include "imaging/drawing/LayerKeyColor.h"
#include "widgets/ImageDisplay.h"
#include "widgets/ThumbnailList.h"
#include "workbench/Workbench.h"

#include <QtCore/QDir>
#include <QtCore/QElapsedTimer>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <benchmark/benchmark.h>

#include <ctime>

namespace {

class BenchPrompts final : public InertPrompts
{
  public:
    QString picture;
    QString openFileName(const FileDialogRequest&) override { return picture; }
};

QImage pattern(int width, int height, int seed)
{
    QImage image(width, height, QImage::Format_RGB888);
    for (int y = 0; y < height; ++y) {
        uchar* line = image.scanLine(y);
        for (int x = 0; x < width; ++x) {
            line[3 * x] = uchar(x + seed);
            line[3 * x + 1] = uchar(y * 3 + seed);
            line[3 * x + 2] = uchar((x ^ y) + seed);
        }
    }
    return image;
}

void BM_StampDragMove(benchmark::State& state)
{
    QTemporaryDir folder;
    const QString base = folder.path() + QLatin1Char('/');
    BenchPrompts prompts;
    prompts.picture = base + QStringLiteral("photo.jpg");
    ImageFile::save(pattern(6000, 4000, 0), prompts.picture, FileFormat::Jpeg, EncodeOptions{});
    Workbench bench(base, prompts);
    ImageDisplay display;
    QObject::connect(&bench.workspace, &Workspace::workspaceImageChanged, &display, &ImageDisplay::setImage);
    QObject::connect(&bench.layers, &DrawingLayers::layerChanged, &display,
                     [&display](int index, const QImage& picture, bool visible) {
                         display.setRasterImage(index, picture);
                         display.setRasterKey(index, true, LayerKeyColor);
                         display.setRasterVisible(index, visible);
                     });
    bench.workspace.ResizeDisplay(480, 480);
    bench.loader.load(prompts.picture);
    if (!bench.workspace.hasPicture())
        state.SkipWithError("the photo did not load");
    QDir(base).mkdir(QStringLiteral("stamp"));
    QImage stamp = pattern(96, 96, 7);
    stamp.save(base + QStringLiteral("stamp/s.png"));
    bench.stamps.IkThumbStampSelectFile(QStringLiteral("s.png"));
    bench.stamps.press({100, 100}, Qt::LeftButton);
    int wobble = 0;
    for (auto _ : state) {
        wobble ^= 1;
        bench.stamps.move(QPoint(300 + wobble, 250));
        benchmark::DoNotOptimize(display.composedImage().constBits());
    }
}
BENCHMARK(BM_StampDragMove)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

// This thread's processor time: on a shared machine a wall-clock stretch also holds others' turns.
qint64 threadNanoseconds()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return qint64(now.tv_sec) * 1000000000 + now.tv_nsec;
}

int shownThumbnails(const ThumbnailList& list)
{
    int shown = 0;
    for (int i = 0; i < list.count(); ++i)
        shown += list.item(i)->data(Qt::UserRole).toBool() ? 1 : 0;
    return shown;
}

void BM_FillBothLists(benchmark::State& state)
{
    QTemporaryDir folder;
    for (const char* name : {"stamp", "frames"}) {
        QDir(folder.path()).mkdir(QLatin1String(name));
        for (int i = 0; i < 200; ++i)
            ImageFile::save(pattern(640, 480, i), folder.filePath(QStringLiteral("%1/p%2.jpg").arg(name).arg(i)),
                            FileFormat::Jpeg, EncodeOptions{90, 2, {}});
    }
    ThumbnailList stamps;
    ThumbnailList frames;
    stamps.setFilePath(folder.filePath(QStringLiteral("stamp")));
    frames.setFilePath(folder.filePath(QStringLiteral("frames")));
    qint64 longest = 0;
    qint64 listing = 0;
    qint64 longestCpu = 0;
    for (auto _ : state) {
        QElapsedTimer held;
        held.start();
        qint64 cpu = threadNanoseconds();
        stamps.getFiles();
        frames.getFiles();
        listing = std::max(listing, held.nsecsElapsed());
        longestCpu = std::max(longestCpu, threadNanoseconds() - cpu);
        // Until every thumbnail is shown, each pass of the event loop is one stretch the window waits.
        while (shownThumbnails(stamps) + shownThumbnails(frames) < stamps.count() + frames.count()) {
            held.restart();
            cpu = threadNanoseconds();
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            longest = std::max(longest, held.nsecsElapsed());
            longestCpu = std::max(longestCpu, threadNanoseconds() - cpu);
        }
    }
    state.counters["listing_ms"] = double(listing) / 1e6;
    state.counters["max_pass_ms"] = double(longest) / 1e6;
    state.counters["max_block_ms"] = double(std::max(listing, longest)) / 1e6;
    state.counters["max_block_cpu_ms"] = double(longestCpu) / 1e6;
}
BENCHMARK(BM_FillBothLists)->Unit(benchmark::kMillisecond)->UseRealTime()->Iterations(3);

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
