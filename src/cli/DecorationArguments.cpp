#include "cli/DecorationArguments.h"

#include "cli/ArgumentPaths.h"
#include "cli/CalendarOptions.h"
#include "cli/CommandLine.h"
#include "cli/OptionValues.h"
#include "cli/TextOptions.h"
#include "imaging/codecs/ImageFile.h"
#include "workbench/Workbench.h"

#include <QtCore/QFileInfo>

#include <memory>
#include <optional>

namespace {

using PictureFile = std::shared_ptr<const ReadablePath>; // held until the step that draws it is gone

// The picture file: a bare name lives in the program's own folder. Messages name it as given.
PictureFile findPicture(const QString& file, const QString& shippedFolder, QString* error)
{
    auto picture = std::make_shared<const ReadablePath>(file.contains(QLatin1Char('/')) ? file : shippedFolder + file);
    const QFileInfo info(picture->path());
    const QString& name = picture->given();
    if (info.isDir()) {
        *error = QStringLiteral("%1 is a folder, not a picture").arg(name);
        return nullptr;
    }
    if (!info.exists()) {
        *error = QStringLiteral("%1 not found").arg(name);
        return nullptr;
    }
    if (!info.isFile()) {
        *error = QStringLiteral("%1 is not a regular file").arg(name);
        return nullptr;
    }
    const DecodedImage decoded = ImageFile::load(picture->path());
    if (!decoded.ok()) {
        const bool tooLarge = decoded.error.contains(QLatin1String("exceeds the limit"));
        *error = QStringLiteral("%1 is %2 (%3)")
                     .arg(name, tooLarge ? QStringLiteral("too large") : QStringLiteral("not a readable picture"),
                          picture->named(decoded.error));
        return nullptr;
    }
    return picture;
}

std::optional<LayerStep> stampStep(const QString& value, const QString& programFolder, bool keepAspect, QString* error)
{
    const std::optional<OptionValues::StampPlace> place = OptionValues::stampPlace(value, error);
    if (!place)
        return std::nullopt;
    const PictureFile file = findPicture(place->file, programFolder + QStringLiteral("stamp/"), error);
    if (!file)
        return std::nullopt;
    return LayerStep{[value, file, from = place->from, to = place->to, keepAspect](Workbench& bench) {
        if (!bench.stamps.selectStampFile(file->path()))
            return QStringLiteral("%1 is not a readable picture").arg(file->given());
        QString why;
        if (!bench.stamps.placeStamp(from, to, keepAspect, &why))
            return QStringLiteral("--stamp '%1' could not be drawn: %2").arg(value, why);
        return QString();
    }};
}

std::optional<LayerStep> frameStep(const QString& value, const QString& programFolder, QString* error)
{
    const PictureFile file = findPicture(value, programFolder + QStringLiteral("frames/"), error);
    if (!file)
        return std::nullopt;
    return LayerStep{[file](Workbench& bench) {
        bench.frames.drawFrame(file->path());
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
