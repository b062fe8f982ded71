// Drawing follows the mouse: with a 6000 x 4000 photo loaded on a 480 x 480 canvas, one drag move on
// the pen page (segment drawn, whole surface installed, display composed and painted) and one on the
// text page (text and shadow rendered, installed, displayed), against the floor of copying a
// 480 x 480 24-bit image into a new image.
#include "QuietPrompts.h"
#include "decoration/DrawingLayers.h"
#include "decoration/PenTool.h"
#include "decoration/TextTool.h"
#include "foundation/ProgramOptions.h"
#include "imaging/drawing/LayerKeyColor.h"
#include "widgets/ImageDisplay.h"
#include "workspace/OperationLog.h"
#include "workspace/PictureLoader.h"
#include "workspace/UndoHistory.h"
#include "workspace/Workspace.h"

#include <QtCore/QTemporaryDir>
#include <QtWidgets/QApplication>
#include <benchmark/benchmark.h>

namespace {

constexpr int Canvas = 480;

struct Bench
{
    Bench()
    {
        QImage photo(6000, 4000, QImage::Format_RGB888);
        for (int y = 0; y < photo.height(); ++y) {
            uchar* row = photo.scanLine(y);
            for (int x = 0; x < photo.width() * 3; ++x)
                row[x] = uchar((x * 7 + y * 3) & 0xFF);
        }
        prompts.picture = path + QStringLiteral("photo.jpg");
        if (!photo.save(prompts.picture, "JPEG", 90))
            qFatal("cannot write the test photo");
        QObject::connect(&workspace, &Workspace::workspaceImageChanged, &display, &ImageDisplay::setImage);
        QObject::connect(&workspace, &Workspace::canvasResized, &layers,
                         [this](int w, int h) { layers.setCanvasSize(QSize(w, h)); });
        QObject::connect(&layers, &DrawingLayers::layerChanged, &display,
                         [this](int index, const QImage& picture, bool visible) {
                             display.setRasterImage(index, picture);
                             display.setRasterKey(index, true, LayerKeyColor);
                             display.setRasterVisible(index, visible);
                         });
        workspace.ResizeDisplay(Canvas, Canvas);
        loader.load(prompts.picture);
        if (!workspace.hasPicture())
            qFatal("the test photo did not load");
        display.resize(Canvas, Canvas);
        display.show();
    }
    void shown()
    {
        display.repaint();
        benchmark::DoNotOptimize(display.composedImage().constBits());
    }

    QTemporaryDir folder;
    QString path = folder.path() + QLatin1Char('/');
    QuietPrompts prompts;
    ProgramOptions options;
    WorkspaceGeometry geometry;
    UndoHistory undo{path};
    OperationLog log{path};
    Workspace workspace{geometry, undo, options};
    PictureLoader loader{workspace, undo, log, options, prompts};
    DrawingLayers layers{undo, prompts};
    ImageDisplay display;
};

// A freehand drag: every move adds a short segment of a 5-pixel line.
void BM_PenDragMove(benchmark::State& state)
{
    Bench bench;
    PenSettings pen;
    pen.mode = PenMode::Line;
    pen.lineWidth = 5;
    PenTool tool(bench.layers, [&pen] { return pen; });
    tool.press({10, 10}, Qt::LeftButton);
    int i = 0;
    for (auto _ : state) {
        ++i;
        tool.move({10 + i % 460, 10 + (i * 7) % 460});
        bench.shown();
    }
}
BENCHMARK(BM_PenDragMove)->Unit(benchmark::kMillisecond)->UseRealTime();

// The text follows the pointer: a Japanese line in 24 points with its shadow.
void BM_TextDragMove(benchmark::State& state)
{
    Bench bench;
    TextSettings text;
    text.text = QStringLiteral("待受画像を作ろう Pictorel");
    text.font.size = 24;
    TextTool tool(bench.layers, [&text] { return text; });
    int i = 0;
    for (auto _ : state) {
        ++i;
        tool.move({i % 200, (i * 7) % 400});
        bench.shown();
    }
}
BENCHMARK(BM_TextDragMove)->Unit(benchmark::kMillisecond)->UseRealTime();

// The floor: a 480 x 480 24-bit image copied into a new image.
void BM_CopyCanvasImage(benchmark::State& state)
{
    QImage source(Canvas, Canvas, QImage::Format_RGB888);
    source.fill(Qt::darkCyan);
    for (auto _ : state) {
        QImage copy = source.copy();
        benchmark::DoNotOptimize(copy.constBits());
    }
}
BENCHMARK(BM_CopyCanvasImage)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM",
            qgetenv("QT_QPA_PLATFORM").isEmpty() ? QByteArray("offscreen") : qgetenv("QT_QPA_PLATFORM"));
    QApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
