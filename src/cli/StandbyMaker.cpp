#include "cli/StandbyMaker.h"

#include "app/Workbench.h"
#include "cli/ConsolePrompts.h"
#include "workspace/FitCommands.h"

#include <QtCore/QFileInfo>

#include <algorithm>

namespace {

struct NamedOperation
{
    const char* name;
    OperationId id;
    int EffectOptions::*parameter; // what ":N" sets, if anything
};

const NamedOperation namedOperations[] = {
    {"rotate-left", OperationId::RotateLeft, nullptr},
    {"rotate-right", OperationId::RotateRight, nullptr},
    {"flip-vertical", OperationId::FlipVertical, nullptr},
    {"flip-horizontal", OperationId::FlipHorizontal, nullptr},
    {"darken", OperationId::Darken, nullptr},
    {"brighten", OperationId::Brighten, nullptr},
    {"denoise", OperationId::RemoveNoise, nullptr},
    {"smooth", OperationId::Smooth, nullptr},
    {"sharpen", OperationId::Sharpen, &EffectOptions::sharpness},
    {"mono", OperationId::Mono, nullptr},
    {"sepia", OperationId::Sepia, nullptr},
    {"oil", OperationId::Oil, &EffectOptions::oilBrush},
    {"canvas", OperationId::Canvas, &EffectOptions::canvasDepth},
    {"ripple", OperationId::Ripple, &EffectOptions::rippleAmplitude},
    {"wave", OperationId::Wave, &EffectOptions::wavesAmplitude},
    {"lens", OperationId::Lens, &EffectOptions::lensPower},
    {"mosaic", OperationId::Mosaic, &EffectOptions::mosaicSize},
    {"blur", OperationId::Blur, &EffectOptions::blurStrength},
};

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
QString drawLayers(Workbench& bench, ConsolePrompts& prompts, std::vector<LayerStep> steps)
{
    std::stable_sort(steps.begin(), steps.end(),
                     [](const LayerStep& a, const LayerStep& b) { return a.argumentIndex < b.argumentIndex; });
    for (const LayerStep& step : steps) {
        if (const QString error = step.draw(bench, prompts); !error.isEmpty())
            return error;
        bench.layers.CommitDrawing();
        if (const QString problems = prompts.takeProblems(); !problems.isEmpty())
            return problems;
    }
    return {};
}

} // namespace

QList<int> optionPositions(const QString& name, const QStringList& arguments)
{
    QList<int> positions;
    for (const auto& [index, value] : DecorationArguments::occurrences(arguments, name))
        positions << index;
    return positions;
}

QStringList StandbyMaker::operationNames()
{
    QStringList names;
    for (const NamedOperation& op : namedOperations)
        names << QLatin1String(op.name);
    return names;
}

bool StandbyMaker::applyOperationName(const QString& opText, ProgramOptions& options, int* operationId, QString* error)
{
    const QString name = opText.section(QLatin1Char(':'), 0, 0);
    const QString parameter = opText.section(QLatin1Char(':'), 1);
    for (const NamedOperation& op : namedOperations) {
        if (name != QLatin1String(op.name))
            continue;
        *operationId = int(op.id);
        if (parameter.isEmpty())
            return true;
        bool ok = false;
        const int value = parameter.toInt(&ok);
        if (!op.parameter || !ok) {
            *error = QStringLiteral("bad parameter in '%1'").arg(opText);
            return false;
        }
        options.effects.*op.parameter = value;
        return true;
    }
    *error =
        QStringLiteral("unknown operation '%1' (known: %2)").arg(name, operationNames().join(QStringLiteral(", ")));
    return false;
}

MakeResult StandbyMaker::make(const QString& picture, const MakeTarget& target, const MakeChoices& choices,
                              const QString& outPath) const
{
    MakeResult result;
    result.limit = target.sizeLimit;
    ConsolePrompts prompts;
    // Nothing is undone here, so nothing is written but the picture asked for.
    Workbench bench(ProgramFolders::portable(programFolder_), prompts, UndoStorage::NewestInMemory);
    bench.options = options_;
    bench.workspace.ResizeDisplay(target.width, target.height);

    prompts.openFileNames.enqueue(picture);
    bench.loader.btOpenFromFileClick();
    if (!bench.workspace.hasPicture()) {
        result.error = prompts.takeProblems();
        return result;
    }
    FitCommands fits(bench.workspace, bench.log);
    fit(fits, choices.fit);
    if (choices.offset)
        bench.workspace.ComposeCanvas(choices.offset->x(), choices.offset->y(), false);
    for (const QString& opText : choices.operations) {
        int id = 0;
        if (!applyOperationName(opText, bench.options, &id, &result.error))
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
    bench.saver.setLimitSource([&target] { return target.sizeLimit; });
    prompts.saveFileNames.enqueue(outPath);
    bench.saver.btSaveClick();
    result.report = bench.saver.lastReport();
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
