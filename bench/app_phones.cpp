// Today's phones: a 6000 x 4000 photo on a 1179 x 2556 canvas, in one run. Loading it onto the
// canvas, one rebuild per fine-tune click, one drag move of the pen, the text and a stamp (each with
// the reduced main view redrawn and painted), and a save within 3 000 000 bytes. The floors beside
// them: one copy of the canvas (compare_phones.sh adds djpeg's decode of the photo and ImageMagick's
// jpeg:extent on the same canvas). CPU times are the whole process's, the scaling threads included.
//   bench_app_phones --make-photo FILE    writes the photo (JPEG, quality 90)
//   bench_app_phones --make-canvas FILE   writes the loaded canvas (PNG), for the other tools
#include "QuietPrompts.h"
#include "decoration/DrawingLayers.h"
#include "decoration/PenTool.h"
#include "decoration/StampTool.h"
#include "decoration/TextTool.h"
#include "imaging/drawing/LayerKeyColor.h"
#include "imaging/resampling/ReducedView.h"
#include "output/SizeLimitedEncoder.h"
#include "widgets/ImageDisplay.h"
#include "workbench/Workbench.h"
#include "workspace/Workspace.h"
#include "workspace/pages/TfrView.h"

#include <QtCore/QDir>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <benchmark/benchmark.h>

#include <cstring>

namespace {

const QSize canvas(1179, 2556);

QImage photo()
{
    QImage image(6000, 4000, QImage::Format_RGB888);
    for (int y = 0; y < image.height(); ++y) {
        uchar* row = image.scanLine(y);
        for (int x = 0; x < image.width(); ++x) {
            // Smooth shading with some fine detail, as a photo has; not a flat or a noisy picture.
            row[3 * x] = uchar((x / 24 + y / 40) & 0xFF);
            row[3 * x + 1] = uchar((y / 16) & 0xFF);
            row[3 * x + 2] = uchar(((x ^ y) & 0x3F) + 96);
        }
    }
    return image;
}

QString photoPath()
{
    static QTemporaryDir folder;
    static const QString path = [] {
        const QString file = folder.filePath(QStringLiteral("photo.jpg"));
        if (!photo().save(file, "JPEG", 90))
            qFatal("cannot write the test photo");
        return file;
    }();
    return path;
}

// The program's own shared state, wired as the window wires it, with its main display and sub-window.
struct Bench
{
    Bench()
    {
        prompts.picture = photoPath();
        const QSize shown = ReducedView::fittedSize(canvas, QSize(480, 480));
        display.setReducedView(canvas, shown);
        display.resize(shown);
        QObject::connect(&workspace, &Workspace::workspaceImageChanged, &display, &ImageDisplay::setImage);
        QObject::connect(&layers, &DrawingLayers::layerChanged, &display,
                         [this](int index, const QImage& picture, bool visible) {
                             display.setRasterImage(index, picture);
                             display.setRasterKey(index, true, LayerKeyColor);
                             display.setRasterVisible(index, visible);
                         });
        workspace.ResizeDisplay(canvas.width(), canvas.height());
        display.show();
        subWindow.show();
    }
    void load()
    {
        work.loader.load(prompts.picture);
        if (!workspace.hasPicture() || workspace.workspaceImage().size() != canvas)
            qFatal("the test photo did not load onto the canvas");
    }
    // What the user sees after the event: the reduced view redrawn and painted, and the sub-window.
    void shown()
    {
        display.repaint();
        subWindow.IkDispOrg->repaint();
        benchmark::DoNotOptimize(display.shownImage().constBits());
    }

    QTemporaryDir folder;
    QString path = folder.path() + QLatin1Char('/');
    QuietPrompts prompts;
    Workbench work{path, prompts};
    WorkspaceGeometry& geometry = work.geometry;
    Workspace& workspace = work.workspace;
    DrawingLayers& layers = work.layers;
    ImageDisplay display;
    TfrView subWindow{workspace, prompts, [] { return false; }};
};

// One load until the canvas is shown, after two loads that warm up, as hyperfine warms djpeg up: the
// process's first loads take fresh memory, which this machine gives slowly. Undo image 0 goes to disk
// after the canvas is shown, on a thread of its own; it is waited for outside the timing, as a user's
// next load comes long after it is written. The median of the repetitions is the figure.
void BM_LoadToCanvas(benchmark::State& state)
{
    Bench bench;
    for (int warm = 0; warm < 2; ++warm) {
        bench.load();
        bench.work.undo.finishWriting();
    }
    for (auto _ : state) {
        bench.load();
        bench.shown();
        state.PauseTiming();
        bench.work.undo.finishWriting();
        state.ResumeTiming();
    }
}
BENCHMARK(BM_LoadToCanvas)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(1)
    ->Repetitions(15)
    ->ReportAggregatesOnly();

void BM_CopyCanvas(benchmark::State& state)
{
    QImage source(canvas, QImage::Format_RGB888);
    source.fill(Qt::darkCyan);
    for (auto _ : state) {
        QImage copy = source.copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}
BENCHMARK(BM_CopyCanvas)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// "横+1" and "横-1" in turn: the undo image read back, scaled to the working size, the canvas cut
// and shown, and the working image shown in the sub-window.
void BM_RebuildPerFineTuneClick(benchmark::State& state)
{
    Bench bench;
    bench.load();
    int step = 1;
    for (auto _ : state) {
        bench.geometry.workWidth += step;
        step = -step;
        bench.workspace.RebuildWorkingImage();
        bench.shown();
    }
}
BENCHMARK(BM_RebuildPerFineTuneClick)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

// A freehand drag: every move adds a short segment of a 5-pixel line.
void BM_PenDragMove(benchmark::State& state)
{
    Bench bench;
    bench.load();
    PenSettings pen;
    pen.mode = PenMode::Line;
    pen.lineWidth = 5;
    PenTool tool(bench.layers, [&pen] { return pen; });
    tool.press({100, 100}, Qt::LeftButton);
    int i = 0;
    for (auto _ : state) {
        ++i;
        tool.move({100 + (i * 3) % 900, 100 + (i * 7) % 2300});
        bench.shown();
    }
}
BENCHMARK(BM_PenDragMove)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// The text follows the pointer: a Japanese line in 24 points with its shadow.
void BM_TextDragMove(benchmark::State& state)
{
    Bench bench;
    bench.load();
    TextSettings text;
    text.text = QStringLiteral("待受画像を作ろう Pictorel");
    text.font.size = 24;
    TextTool tool(bench.layers, [&text] { return text; });
    int i = 0;
    for (auto _ : state) {
        ++i;
        tool.move({(i * 3) % 800, (i * 7) % 2400});
        bench.shown();
    }
}
BENCHMARK(BM_TextDragMove)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// A stamp stretched as a rubber band from the press point to the pointer.
void BM_StampDragMove(benchmark::State& state)
{
    Bench bench;
    bench.load();
    StampTool tool(bench.layers, bench.prompts, QStringLiteral(PICTOREL_SOURCE_DIR "/data/stamp/"));
    if (!tool.IkThumbStampSelectFile(QStringLiteral("sakura.png")))
        qFatal("the shipped stamp did not load");
    tool.press({200, 300}, Qt::LeftButton);
    int i = 0;
    for (auto _ : state) {
        ++i;
        tool.move({300 + (i * 3) % 300, 400 + (i * 7) % 300});
        bench.shown();
    }
}
BENCHMARK(BM_StampDragMove)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly();

// Saving the canvas as JPEG within 3 000 000 bytes, the way the save command does.
void BM_SaveWithinLimit3000000(benchmark::State& state)
{
    Bench bench;
    bench.load();
    const QImage flat = bench.layers.flattenOnto(bench.workspace.workspaceImage());
    const QString target = bench.path + QStringLiteral("saved.jpg");
    EncodeResult result;
    for (auto _ : state) {
        SizeLimitedEncoder encoder(flat, [] { return qint64(3000000); }, {});
        result = encoder.EncodeWithinLimit(target, FileFormat::Jpeg, QString());
    }
    if (result.outcome != EncodeOutcome::Fitted)
        state.SkipWithError("the canvas did not fit 3 000 000 bytes");
    state.counters["bytes"] = double(QFileInfo(target).size());
}
BENCHMARK(BM_SaveWithinLimit3000000)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->UseRealTime();

int makeFiles(int argc, char** argv)
{
    for (int i = 1; i + 1 < argc; ++i) {
        const QString file = QString::fromLocal8Bit(argv[i + 1]);
        if (std::strcmp(argv[i], "--make-photo") == 0) {
            if (!QFile::copy(photoPath(), file))
                return 1;
        } else if (std::strcmp(argv[i], "--make-canvas") == 0) {
            Bench bench;
            bench.load();
            if (!bench.workspace.workspaceImage().save(file, "PNG"))
                return 1;
        }
    }
    return 0;
}

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    if (argc > 1 && std::strncmp(argv[1], "--make-", 7) == 0)
        return makeFiles(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
