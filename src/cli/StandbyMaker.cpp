#include "cli/StandbyMaker.h"

#include "cli/ConsolePrompts.h"
#include "cli/OptionValues.h"
#include "workbench/Workbench.h"
#include "workspace/FitCommands.h"

namespace {

void fit(FitCommands& fits, MakeChoices::Fit choice)
{
    switch (choice) {
    case MakeChoices::Fit::Cover:
        break; // loading covers the canvas already
    case MakeChoices::Fit::Width:
        fits.fitWidth();
        break;
    case MakeChoices::Fit::Height:
        fits.fitHeight();
        break;
    case MakeChoices::Fit::Both:
        fits.fitBoth();
        break;
    }
}

// Each decoration in command-line order, committed before the next one is drawn.
QString drawLayers(Workbench& bench, ConsolePrompts& prompts, const std::vector<LayerStep>& steps)
{
    for (const LayerStep& step : steps) {
        if (const QString error = step.draw(bench); !error.isEmpty())
            return error;
        bench.layers.CommitDrawing();
        if (const QString problems = prompts.takeProblems(); !problems.isEmpty())
            return problems;
    }
    return {};
}

} // namespace

MakeResult StandbyMaker::make(const QString& picture, const MakeTarget& target, const MakeChoices& choices,
                              const QString& outPath, FileFormat format) const
{
    MakeResult result;
    result.limit = target.sizeLimit;
    ConsolePrompts prompts;
    // Nothing is undone here, so nothing is written but the picture asked for.
    Workbench bench(ProgramFolders::portable(programFolder_), prompts, UndoStorage::NewestInMemory);
    bench.options = options_;
    bench.workspace.ResizeDisplay(target.width, target.height);

    if (!bench.loader.load(picture)) {
        result.error = prompts.takeProblems();
        return result;
    }
    FitCommands fits(bench.workspace, bench.log);
    fit(fits, choices.fit);
    if (choices.offset)
        bench.workspace.ComposeCanvas(choices.offset->x(), choices.offset->y(), false);
    for (const QString& opText : choices.operations) {
        int id = 0;
        if (!OptionValues::operation(opText, bench.options, &id, &result.error))
            return result;
        if (!bench.operations.run(OperationId(id))) {
            const QString problems = prompts.takeProblems();
            result.error = QStringLiteral("'%1' failed%2")
                               .arg(opText, problems.isEmpty() ? QString() : QStringLiteral(": ") + problems);
            return result;
        }
    }
    result.error = drawLayers(bench, prompts, choices.layers);
    if (!result.error.isEmpty())
        return result;
    result.report = bench.saver.save(outPath, format, target.sizeLimit);
    if (!result.report)
        result.error = prompts.takeProblems();
    return result;
}

int MakeResult::exitStatus() const
{
    if (!report)
        return 1;
    switch (report->result.outcome) {
    case EncodeOutcome::Fitted:
        return 0;
    case EncodeOutcome::Unadjusted:
        return report->result.size >= 0 && report->result.size <= limit ? 0 : 2;
    case EncodeOutcome::NotFitted:
    case EncodeOutcome::LaterReductionFailed:
        return 2;
    case EncodeOutcome::FirstReductionFailed:
    case EncodeOutcome::WriteFailed:
        break;
    }
    return 1;
}

QString MakeResult::summary() const
{
    if (!report)
        return QString(error).replace(QLatin1Char('\n'), QStringLiteral(" — "));
    const EncodeResult& r = report->result;
    QString setting;
    if (report->format == FileFormat::Jpeg)
        setting = QStringLiteral(", JPEG quality %1").arg(r.setting);
    else if (report->format != FileFormat::Bmp)
        setting = QStringLiteral(", %1-bit colour").arg(r.setting);
    const char* verdicts[] = {"fitted",
                              "does not fit",
                              "colour reduction failed, nothing written",
                              "4-bit reduction failed, 8-bit file written",
                              "written unadjusted (BMP)",
                              "could not be written"};
    QString text = QStringLiteral("%1: %2 bytes%3, %4")
                       .arg(report->path)
                       .arg(r.size)
                       .arg(setting, QLatin1String(verdicts[int(r.outcome)]));
    if (r.outcome == EncodeOutcome::WriteFailed)
        text += QStringLiteral(": ") + r.error;
    return text;
}
