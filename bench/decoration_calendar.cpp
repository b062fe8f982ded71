// The calendar redraw that runs on every click of the calendar page's spin fields: a 480 x 480
// canvas, title and weekday row shown, 20 holiday rules. Goal: under 3 ms median.
#include "decoration/CalendarRenderer.h"

#include <QtGui/QGuiApplication>
#include <benchmark/benchmark.h>

namespace {

CalendarSettings twentyHolidays()
{
    CalendarSettings s;
    for (int i = 0; i < 20; ++i) {
        DayData e;
        e.everyYear = i % 3 != 0;
        e.month = i % 12 + 1;
        e.dateType = i % 2 == 0;
        e.day = i + 1;
        e.weekNumber = i % 5 + 1;
        e.weekday = i % 7 + 1;
        e.name = QStringLiteral("記念日%1").arg(i);
        e.color = 0xff0000ff;
        s.holidays.add(e);
    }
    return s;
}

void CalendarRedraw(benchmark::State& state)
{
    const CalendarSettings settings = twentyHolidays();
    CalendarRequest request;
    request.year = 2005;
    request.month = 10;
    request.canvas = QSize(480, 480);
    for (auto _ : state) {
        QImage picture = CalendarRenderer::render(request, settings);
        benchmark::DoNotOptimize(picture.constBits());
        request.month = request.month % 12 + 1; // each click shows another month
    }
}
BENCHMARK(CalendarRedraw)->Unit(benchmark::kMillisecond)->UseRealTime()->Repetitions(5)->ReportAggregatesOnly(true);

// The first redraw after a font change: every string goes through the font engine again.
void CalendarRedrawNewFont(benchmark::State& state)
{
    const CalendarSettings settings = twentyHolidays();
    CalendarRequest request;
    request.year = 2005;
    request.month = 10;
    request.canvas = QSize(480, 480);
    for (auto _ : state) {
        request.font.size = request.font.size == 9 ? 10 : 9;
        QImage picture = CalendarRenderer::render(request, settings);
        benchmark::DoNotOptimize(picture.constBits());
    }
}
BENCHMARK(CalendarRedrawNewFont)
    ->Unit(benchmark::kMillisecond)
    ->UseRealTime()
    ->Repetitions(5)
    ->ReportAggregatesOnly(true);

} // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv); // text drawing needs the GUI side initialised
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv))
        return 1;
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
