#include "cli/DecorationArguments.h"

#include "app/Workbench.h"
#include "cli/ConsolePrompts.h"
#include "decoration/StampPicture.h"

#include <QtCore/QFileInfo>

#include <optional>

namespace {

// The picture's folder (ending with '/') and name: a bare name lives in the program's own folder.
struct PictureFile
{
    QString folder;
    QString name;
};

std::optional<PictureFile> findPicture(const QString& file, const QString& shippedFolder, QString* error)
{
    const QFileInfo info(file.contains(QLatin1Char('/')) ? file : shippedFolder + file);
    if (!info.isFile()) {
        *error = QStringLiteral("%1 not found").arg(info.filePath());
        return std::nullopt;
    }
    if (StampPicture::load(info.filePath()).isNull()) {
        *error = QStringLiteral("%1 is not a readable picture").arg(info.filePath());
        return std::nullopt;
    }
    return PictureFile{info.absolutePath() + QLatin1Char('/'), info.fileName()};
}

std::optional<std::vector<int>> integers(const QString& text)
{
    std::vector<int> values;
    for (const QString& part : text.split(QLatin1Char(','))) {
        bool ok = false;
        values.push_back(part.trimmed().toInt(&ok));
        if (!ok)
            return std::nullopt;
    }
    return values;
}

std::optional<LayerStep> stampStep(const QString& value, const QString& programFolder, bool keepAspect, QString* error)
{
    const qsizetype at = value.lastIndexOf(QLatin1Char('@'));
    const std::optional<std::vector<int>> xy = integers(value.mid(at + 1));
    if (at <= 0 || !xy || (xy->size() != 2 && xy->size() != 4)) {
        *error = QStringLiteral("--stamp takes FILE@X,Y or FILE@X1,Y1,X2,Y2, not '%1'").arg(value);
        return std::nullopt;
    }
    const std::optional<PictureFile> file =
        findPicture(value.left(at), programFolder + QStringLiteral("stamp/"), error);
    if (!file)
        return std::nullopt;
    const std::vector<int> c = *xy;
    // Driven like the mouse on the stamp page: a click, or a drag with Shift held for proportions.
    return LayerStep{0, [file = *file, c, keepAspect](Workbench& bench, ConsolePrompts& prompts) {
                         StampTool& tool = bench.stamps;
                         tool.setFolder(file.folder);
                         tool.IkThumbStampSelectFile(file.name);
                         const QPoint from(c[0], c[1]);
                         const QPoint to = c.size() == 2 ? from : QPoint(c[2], c[3]);
                         prompts.shift = keepAspect;
                         tool.press(from, Qt::LeftButton);
                         tool.release(to);
                         prompts.shift = false;
                         return QString();
                     }};
}

} // namespace

namespace DecorationArguments {

std::vector<std::pair<int, QString>> occurrences(const QStringList& arguments, const QString& name)
{
    std::vector<std::pair<int, QString>> found;
    const QString option = QStringLiteral("--") + name;
    for (int i = 1; i < arguments.size(); ++i) {
        const QString& a = arguments[i];
        if (a == QLatin1String("--"))
            break;
        if (a == option && i + 1 < arguments.size()) {
            found.emplace_back(i, arguments[i + 1]);
            ++i;
        } else if (a.startsWith(option + QLatin1Char('=')))
            found.emplace_back(i, a.mid(option.size() + 1));
    }
    return found;
}

std::vector<LayerStep> read(const QStringList& arguments, const QString& programFolder, QString* error)
{
    std::vector<LayerStep> steps;
    const bool keepAspect = arguments.contains(QStringLiteral("--keep-aspect"));
    for (const auto& [index, value] : occurrences(arguments, QStringLiteral("stamp"))) {
        std::optional<LayerStep> step = stampStep(value, programFolder, keepAspect, error);
        if (!step)
            return {};
        step->argumentIndex = index;
        steps.push_back(std::move(*step));
    }
    for (const auto& [index, value] : occurrences(arguments, QStringLiteral("frame"))) {
        const std::optional<PictureFile> file = findPicture(value, programFolder + QStringLiteral("frames/"), error);
        if (!file)
            return {};
        steps.push_back({index, [file = *file](Workbench& bench, ConsolePrompts&) {
                             bench.frames.setFolder(file.folder);
                             bench.frames.btDrawFrameClick(file.name);
                             return QString();
                         }});
    }
    return steps;
}

} // namespace DecorationArguments
