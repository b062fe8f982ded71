#include "cli/DecorationArguments.h"

#include "cli/CalendarOptions.h"
#include "cli/CommandLine.h"
#include "cli/OptionValues.h"
#include "cli/TextOptions.h"
#include "imaging/codecs/ImageFile.h"
#include "workbench/Workbench.h"

#include <QtCore/QFileInfo>

#include <optional>

namespace {

// The picture file: a bare name lives in the program's own folder.
std::optional<QString> findPicture(const QString& file, const QString& shippedFolder, QString* error)
{
    const QFileInfo info(file.contains(QLatin1Char('/')) ? file : shippedFolder + file);
    if (info.isDir()) {
        *error = QStringLiteral("%1 is a folder, not a picture").arg(info.filePath());
        return std::nullopt;
    }
    if (!info.exists()) {
        *error = QStringLiteral("%1 not found").arg(info.filePath());
        return std::nullopt;
    }
    if (!info.isFile()) {
        *error = QStringLiteral("%1 is not a regular file").arg(info.filePath());
        return std::nullopt;
    }
    const DecodedImage decoded = ImageFile::load(info.filePath());
    if (!decoded.ok()) {
        const bool tooLarge = decoded.error.contains(QLatin1String("exceeds the limit"));
        *error =
            QStringLiteral("%1 is %2 (%3)")
                .arg(info.filePath(), tooLarge ? QStringLiteral("too large") : QStringLiteral("not a readable picture"),
                     decoded.error);
        return std::nullopt;
    }
    return info.filePath();
}

std::optional<LayerStep> stampStep(const QString& value, const QString& programFolder, bool keepAspect, QString* error)
{
    const std::optional<OptionValues::StampPlace> place = OptionValues::stampPlace(value, error);
    if (!place)
        return std::nullopt;
    const std::optional<QString> file = findPicture(place->file, programFolder + QStringLiteral("stamp/"), error);
    if (!file)
        return std::nullopt;
    return LayerStep{[value, path = *file, from = place->from, to = place->to, keepAspect](Workbench& bench) {
        if (!bench.stamps.selectStampFile(path))
            return QStringLiteral("%1 is not a readable picture").arg(path);
        QString why;
        if (!bench.stamps.placeStamp(from, to, keepAspect, &why))
            return QStringLiteral("--stamp '%1' could not be drawn: %2").arg(value, why);
        return QString();
    }};
}

std::optional<LayerStep> frameStep(const QString& value, const QString& programFolder, QString* error)
{
    const std::optional<QString> file = findPicture(value, programFolder + QStringLiteral("frames/"), error);
    if (!file)
        return std::nullopt;
    return LayerStep{[path = *file](Workbench& bench) {
        bench.frames.drawFrame(path);
        return QString();
    }};
}

} // namespace

namespace DecorationArguments {

std::vector<LayerStep> read(const CommandLine& line, const QString& programFolder, QString* error)
{
    TextSettings look;
    if (*error = TextOptions::read(line, look); !error->isEmpty())
        return {};
    std::optional<CalendarChoices> calendar = CalendarOptions::read(line, error);
    if (!calendar)
        return {};
    const bool keepAspect = line.isSet(QStringLiteral("keep-aspect"));
    std::vector<LayerStep> steps;
    for (const CommandLine::Option& option : line.options()) {
        std::optional<LayerStep> step;
        if (option.name == QLatin1String("stamp"))
            step = stampStep(option.value, programFolder, keepAspect, error);
        else if (option.name == QLatin1String("frame"))
            step = frameStep(option.value, programFolder, error);
        else if (option.name == QLatin1String("text"))
            step = TextOptions::step(option.value, look, error);
        else if (option.name == QLatin1String("calendar"))
            step = CalendarOptions::step(option.value, *calendar, error);
        else
            continue;
        if (!step)
            return {};
        steps.push_back(std::move(*step));
    }
    // Each decoration takes a layer, and the last layer is kept free for saving.
    if (steps.size() > size_t(DrawingLayers::DrawingLayerLimit - 1)) {
        *error = QStringLiteral("at most %1 texts, stamps, frames and calendars can be placed")
                     .arg(DrawingLayers::DrawingLayerLimit - 1);
        return {};
    }
    return steps;
}

} // namespace DecorationArguments
