#pragma once
// The eighteen operations that change the picture itself: each works on the base picture at its
// own size, becomes the next undo image and an image step, and rebuilds the workspace.
#include "workspace/OperationLog.h"

#include <QtCore/QRect>
#include <QtCore/QString>
#include <QtGui/QImage>

#include <array>
#include <functional>
#include <map>

class Progress;
class Prompts;
class UndoHistory;
class Workspace;
struct ProgramOptions;

// Four corners in base-picture pixels: top-left, top-right, bottom-right, bottom-left.
struct OperationRegion
{
    std::array<int, 4> xs{};
    std::array<int, 4> ys{};
    bool operator==(const OperationRegion&) const = default;
};

struct ImageOperation
{
    enum class Region { None, Whole, SelectionOrWhole };
    QString message; // progress step 2
    Region region = Region::None;
    bool quarterTurn = false;
    // The component call: a new picture, or a null one when it failed.
    std::function<QImage(const QImage& input, const OperationRegion& region, const ProgramOptions& options)> apply;
};

class ImageOperations
{
  public:
    ImageOperations(Workspace& workspace, UndoHistory& undo, OperationLog& log, const ProgramOptions& options,
                    Prompts& prompts);

    void setProgress(Progress* progress) { progress_ = progress; }
    // The main display's selection rectangle (left, top, right, bottom) in canvas pixels.
    void setSelection(std::function<std::array<int, 4>()> selection) { selection_ = std::move(selection); }
    void define(OperationId id, ImageOperation operation) { operations_[id] = std::move(operation); }
    // The operation defined for id, or null.
    const ImageOperation* find(OperationId id) const
    {
        const auto it = operations_.find(id);
        return it == operations_.end() ? nullptr : &it->second;
    }

    // Runs the operation; false when nothing changed.
    bool run(OperationId id);
    // The region the selection-or-whole effects act on; logs the operation when it is the whole picture.
    OperationRegion effectRegion(OperationId id, bool* whole = nullptr);
    OperationRegion wholePicture() const;

  private:
    bool writeStep(const QImage& result, const ImageOperation& operation);

    Workspace& workspace_;
    UndoHistory& undo_;
    OperationLog& log_;
    const ProgramOptions& options_;
    Prompts& prompts_;
    Progress* progress_ = nullptr;
    std::function<std::array<int, 4>()> selection_;
    std::map<OperationId, ImageOperation> operations_;
};
