#include "output/SaveCommand.h"

#include "decoration/DrawingLayers.h"
#include "foundation/ErrorDetail.h"
#include "foundation/ProgramOptions.h"
#include "foundation/Progress.h"
#include "output/TemporaryLayer.h"
#include "output/WriteFailureReason.h"
#include "workspace/UndoCommand.h"
#include "workspace/Workspace.h"

#include <QtCore/QFileInfo>

namespace {

QString formatName(FileFormat format)
{
    switch (format) {
    case FileFormat::Jpeg:
        return QStringLiteral("JPEG");
    case FileFormat::Gif:
        return QStringLiteral("GIF");
    case FileFormat::Png:
        return QStringLiteral("PNG");
    case FileFormat::Bmp:
        break;
    }
    return QStringLiteral("BMP");
}

} // namespace

SaveCommand::SaveCommand(Workspace& workspace, DrawingLayers& layers, UndoCommand& undo, const ProgramOptions& options,
                         Prompts& prompts)
    : workspace_(workspace), layers_(layers), undo_(undo), options_(options), prompts_(prompts)
{
}

std::optional<FileFormat> SaveCommand::formatOfExtension(const QString& path)
{
    const QString name = QFileInfo(path).fileName();
    const qsizetype dot = name.lastIndexOf(QLatin1Char('.'));
    const QString extension = dot < 0 ? QString() : name.mid(dot).toLower();
    if (extension == QLatin1String(".jpg") || extension == QLatin1String(".jpeg"))
        return FileFormat::Jpeg;
    if (extension == QLatin1String(".gif"))
        return FileFormat::Gif;
    if (extension == QLatin1String(".png"))
        return FileFormat::Png;
    if (extension == QLatin1String(".bmp"))
        return FileFormat::Bmp;
    return std::nullopt;
}

MessageKind SaveCommand::outcomeKind(const EncodeResult& result)
{
    switch (result.outcome) {
    case EncodeOutcome::Fitted:
    case EncodeOutcome::Unadjusted:
        return MessageKind::Information;
    case EncodeOutcome::NotFitted:
    case EncodeOutcome::LaterReductionFailed:
        return MessageKind::Warning;
    case EncodeOutcome::FirstReductionFailed:
    case EncodeOutcome::WriteFailed:
        break;
    }
    return MessageKind::Error;
}

QString SaveCommand::outcomeText(FileFormat format, const EncodeResult& result)
{
    const QString size = QString::number(result.size);
    const QString setting =
        format == FileFormat::Jpeg
            ? QStringLiteral("JPEGクオリティ:%1%").arg(result.setting)
            : QStringLiteral("%1クオリティ:%2bitカラー").arg(formatName(format)).arg(result.setting);
    switch (result.outcome) {
    case EncodeOutcome::Fitted:
        return QStringLiteral("品質自動調整保存が成功しました。\n　ファイルサイズ:%1bytes\n　%2").arg(size, setting);
    case EncodeOutcome::NotFitted:
        return QStringLiteral("品質自動調整保存に失敗しました。\n　ファイルサイズ:%1bytes\n　%2").arg(size, setting);
    case EncodeOutcome::FirstReductionFailed:
        return QStringLiteral("減色処理に失敗しました。\n画像は保存出来ませんでした。");
    case EncodeOutcome::LaterReductionFailed:
        if (format == FileFormat::Gif)
            return QStringLiteral(
                       "減色処理に失敗しました。\n8bitカラーで画像を保存しました。\n　ファイルサイズ:%1bytes\n")
                .arg(size);
        return QStringLiteral("減色処理に失敗しました。\n　ファイルサイズ:%1bytes\n").arg(size);
    case EncodeOutcome::Unadjusted:
        return QStringLiteral("BMP形式なので品質調整を行わずに保存しました。\n　ファイルサイズ:%1bytes").arg(size);
    case EncodeOutcome::WriteFailed:
        break;
    }
    return QStringLiteral("ファイルを保存できませんでした。");
}

std::optional<SaveCommand::Report> SaveCommand::save(const QString& path, FileFormat format, qint64 limit)
{
    lastReport_.reset();
    if (!workspace_.hasPicture()) {
        prompts_.message(MessageKind::Error, QStringLiteral("画像が読み込まれていません。"));
        return std::nullopt;
    }
    NullProgress silent;
    Progress& progress = progress_ ? *progress_ : silent;
    // Every way out of a save that began: the progress dialog goes and the temporary layer is taken back.
    TemporaryLayer(layers_, undo_).run(progress, 4, [&] { saveTo(path, format, limit, progress); });
    return lastReport_;
}

void SaveCommand::saveTo(const QString& path, FileFormat format, qint64 limit, Progress& progress)
{
    progress.ProgressStep(0, QStringLiteral("拡張子を判定しています"));
    SizeLimitedEncoder encoder(
        layers_.flattenOnto(workspace_.workspaceImage()), [limit] { return limit; },
        {options_.dither, options_.fixedPalette}, &prompts_);
    if (reducer_)
        encoder.setReducer(reducer_);
    const auto stage = [&progress, format](EncodeStage point) {
        if (format == FileFormat::Bmp)
            return;
        if (point == EncodeStage::BeforeFirstWrite)
            progress.ProgressStep(1, QStringLiteral("品質設定を確認しています"));
        else
            progress.ProgressStep(2, QStringLiteral("品質を調整しています"));
    };
    const EncodeResult result = encoder.EncodeWithinLimit(path, format, QString::fromLatin1(Comment), stage);
    const bool reductionFailed =
        result.outcome == EncodeOutcome::FirstReductionFailed || result.outcome == EncodeOutcome::LaterReductionFailed;
    if (!reductionFailed && result.outcome != EncodeOutcome::WriteFailed) {
        lastSaveFolder_ = QFileInfo(path).absolutePath() + QLatin1Char('/');
        progress.ProgressStep(3, QStringLiteral("メモリを解放しています"));
    }
    encoder.releaseImage();
    lastReport_ = Report{format, path, result};
    QString text = outcomeText(format, result);
    if (result.outcome == EncodeOutcome::WriteFailed) {
        writeErrorDetail(result.error);
        if (const QString reason = WriteFailureReason::describe(path, result.size); !reason.isEmpty())
            text += QLatin1Char('\n') + reason;
    }
    prompts_.message(outcomeKind(result), text);
}
