// The workspace on a big photo: loading it onto a 240 x 320 canvas (decode, undo image 0 written,
// cover fit, rebuild, compose), one rebuild after a size click, and reading the undo image's bytes
// for comparison. The photo comes from PICTOREL_BENCH_JPEG.
#include "QuietPrompts.h"
#include "foundation/ProgramOptions.h"
#include "workspace/OperationLog.h"
#include "workspace/PictureLoader.h"
#include "workspace/UndoHistory.h"
#include "workspace/Workspace.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtGui/QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

struct Bench
{
    Bench()
    {
        prompts.picture = qEnvironmentVariable("PICTOREL_BENCH_JPEG");
        if (prompts.picture.isEmpty())
            qFatal("set PICTOREL_BENCH_JPEG to a photo");
        workspace.ResizeDisplay(240, 320);
    }
    void load() { loader.load(prompts.picture); }

    QTemporaryDir folder;
    QString path = folder.path() + QLatin1Char('/');
    QuietPrompts prompts;
    ProgramOptions options;
    WorkspaceGeometry geometry;
    UndoHistory undo{path};
    OperationLog log{path};
    Workspace workspace{geometry, undo, options};
    PictureLoader loader{workspace, undo, log, options, prompts};
};

void BM_LoadToCanvas(benchmark::State& state)
{
    Bench bench;
    for (auto _ : state) {
        bench.load();
        benchmark::DoNotOptimize(bench.workspace.workspaceImage().constBits());
    }
}
BENCHMARK(BM_LoadToCanvas)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_RebuildAfterSizeClick(benchmark::State& state)
{
    Bench bench;
    bench.load();
    int step = 1;
    for (auto _ : state) {
        bench.geometry.workWidth += step;
        step = -step;
        bench.workspace.RebuildWorkingImage();
    }
}
BENCHMARK(BM_RebuildAfterSizeClick)->Unit(benchmark::kMillisecond)->UseRealTime();

void BM_ReadUndoImageBytes(benchmark::State& state)
{
    Bench bench;
    bench.load();
    for (auto _ : state) {
        QFile file(bench.undo.undoImagePath(0));
        file.open(QIODevice::ReadOnly);
        benchmark::DoNotOptimize(file.readAll().size());
    }
}
BENCHMARK(BM_ReadUndoImageBytes)->Unit(benchmark::kMillisecond)->UseRealTime();

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    benchmark::Initialize(&argc, argv);
    benchmark::RunSpecifiedBenchmarks();
    return 0;
}
