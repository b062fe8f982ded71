#include "output/pages/SavePrompt.h"

#include "foundation/ProgramOptions.h"
#include "foundation/Prompts.h"
#include "output/SaveCommand.h"
#include "workspace/Workspace.h"

#include <QtCore/QFileInfo>

#include <iterator>

namespace {

struct FormatChoice
{
    const char* extension;
    const char* title;
};

const FormatChoice choices[] = {
    {"jpg", "JPEG形式で保存"}, {"gif", "GIF形式で保存"}, {"png", "PNG形式で保存"}, {"bmp", "BMP形式で保存"}};

} // namespace

SavePrompt::SavePrompt(SaveCommand& saver, const Workspace& workspace, const ProgramOptions& options, Prompts& prompts)
    : saver_(saver), workspace_(workspace), options_(options), prompts_(prompts)
{
}

QString SavePrompt::askForFileName()
{
    const FormatChoice& choice = choices[int(options_.saveFormat)];
    FileDialogRequest request;
    request.title = QString::fromUtf8(choice.title);
    request.folder = saver_.lastSaveFolder();
    request.filter = QStringLiteral("JPEG形式|*.jpg;*.jpeg|GIF形式|*.gif|PNG形式|*.png|BMP形式|*.bmp");
    request.filterIndex = int(options_.saveFormat) + 1;
    request.defaultSuffix = QString::fromLatin1(choice.extension);
    // Kept from the usual dialog: a mistyped name must not silently destroy another picture.
    request.confirmOverwrite = true;
    int chosenRow = request.filterIndex;
    QString path = prompts_.saveFileName(request, &chosenRow);
    if (path.isEmpty() || !QFileInfo(path).suffix().isEmpty())
        return path;
    // A name without an extension takes the one of the filter row the user chose.
    const bool known = chosenRow >= 1 && chosenRow <= int(std::size(choices));
    return path + QLatin1Char('.') +
           (known ? QString::fromLatin1(choices[chosenRow - 1].extension) : request.defaultSuffix);
}

void SavePrompt::btSaveClick()
{
    if (!workspace_.hasPicture()) {
        prompts_.message(MessageKind::Error, QStringLiteral("画像が読み込まれていません。"));
        return;
    }
    const QString path = askForFileName();
    if (path.isEmpty())
        return;
    const std::optional<FileFormat> format = SaveCommand::formatOfExtension(path);
    if (!format) {
        prompts_.message(MessageKind::Error, QStringLiteral("未対応のファイル形式です。"));
        return;
    }
    saver_.save(path, *format, limit_());
}
