#include "workspace/ImageOperations.h"

#include "foundation/ErrorDetail.h"
#include "foundation/Progress.h"
#include "foundation/Prompts.h"
#include "workspace/UndoHistory.h"
#include "workspace/Workspace.h"

#include <cstdio>
#include <utility>

ImageOperations::ImageOperations(Workspace& workspace, UndoHistory& undo, OperationLog& log,
                                 const ProgramOptions& options, Prompts& prompts)
    : workspace_(workspace), undo_(undo), log_(log), options_(options), prompts_(prompts)
{
}

OperationRegion ImageOperations::wholePicture() const
{
    const WorkspaceGeometry& g = workspace_.geometry();
    return {{0, g.baseWidth, g.baseWidth, 0}, {0, 0, g.baseHeight, g.baseHeight}};
}

OperationRegion ImageOperations::effectRegion(OperationId id, bool* whole)
{
    const std::array<int, 4> rect = selection_ ? selection_() : std::array<int, 4>{};
    if (whole)
        *whole = rect == std::array<int, 4>{};
    if (rect == std::array<int, 4>{}) {
        log_.RecordOperation(id);
        return wholePicture();
    }
    // Canvas pixels back to picture pixels: the frame's corner and the selection, each divided by
    // the fit scale and truncated.
    const WorkspaceGeometry& g = workspace_.geometry();
    const auto t = [&g](int v) { return int(double(v) / g.fitScale); };
    const auto [l, top, r, b] = rect;
    const int left = t(g.offsetX) + t(l);
    const int right = t(g.offsetX) + t(r);
    const int upper = t(g.offsetY) + t(top);
    const int lower = t(g.offsetY) + t(b);
    return {{left, right, right, left}, {upper, upper, lower, lower}};
}

bool ImageOperations::run(OperationId id)
{
    const auto found = operations_.find(id);
    if (found == operations_.end() || !workspace_.hasPicture())
        return false;
    const ImageOperation& operation = found->second;
    BusyCursor busy(prompts_);
    NullProgress silent;
    ProgressScope progress(progress_ ? *progress_ : silent, 6);
    progress.step(0, QStringLiteral("イメージハンドルを解放しています"));
    progress.step(1, QStringLiteral("イメージハンドルをコピーしています"));
    const std::optional<QImage> base = undo_.LoadNewestUndoImage();
    if (!base)
        return false;
    OperationRegion region;
    bool loggedEarly = false;
    if (operation.region == ImageOperation::Region::Whole)
        region = wholePicture();
    else if (operation.region == ImageOperation::Region::SelectionOrWhole)
        region = effectRegion(id, &loggedEarly);
    progress.step(2, operation.message);
    const QImage result = operation.apply(*base, region, options_);
    if (result.isNull())
        return false;
    progress.step(3, QStringLiteral("イメージハンドルを解放しています"));
    progress.step(4, QStringLiteral("アンドゥーデータをバッファしています"));
    if (!writeStep(result, operation)) {
        if (loggedEarly)
            log_.RemoveLastOperation(); // the picture did not change, so neither does the log
        return false;
    }
    progress.step(5, QStringLiteral("表示を更新しています"));
    workspace_.RebuildWorkingImage();
    undo_.PushStep(StepKind::Image);
    if (operation.region != ImageOperation::Region::SelectionOrWhole)
        log_.RecordOperation(id);
    return true;
}

bool ImageOperations::writeStep(const QImage& result, const ImageOperation& operation)
{
    QString error;
    if (!undo_.writeNextUndoImage(result, &error)) {
        writeErrorDetail(error);
        prompts_.message(MessageKind::Error,
                         QStringLiteral("作業ファイルを書き込めなかったため、処理を適用できませんでした。"));
        return false;
    }
    if (operation.quarterTurn) {
        WorkspaceGeometry& g = workspace_.geometry();
        std::swap(g.workWidth, g.workHeight);
        std::swap(g.baseWidth, g.baseHeight);
    }
    return true;
}
