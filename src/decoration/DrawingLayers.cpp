#include "decoration/DrawingLayers.h"

#include "foundation/Prompts.h"
#include "imaging/drawing/ImagePrinter.h"
#include "imaging/drawing/LayerCompositor.h"
#include "imaging/drawing/LayerKeyColor.h"
#include "workspace/UndoHistory.h"

#include <QtGui/QPainter>

DrawingLayers::DrawingLayers(UndoHistory& undo, Prompts& prompts, QObject* parent)
    : QObject(parent), undo_(undo), prompts_(prompts)
{
}

void DrawingLayers::setCanvasSize(QSize canvas)
{
    canvas_ = canvas;
    scratch_ = QImage();
}

// Made on first use: a picture that is only fitted and saved never draws, and the surface is as
// large as the canvas.
QImage& DrawingLayers::ScratchSurface()
{
    const QSize needed(std::max(canvas_.width(), MinimumScratchSide), std::max(canvas_.height(), MinimumScratchSide));
    if (scratch_.size() != needed) {
        scratch_ = QImage(needed, QImage::Format_RGB888);
        scratch_.fill(QColor::fromRgb(LayerKeyColor));
    }
    return scratch_;
}

void DrawingLayers::clearScratchSurface()
{
    if (scratch_.isNull())
        return; // blank already: it is made so
    QPainter painter(&scratch_);
    painter.fillRect(QRect(QPoint(0, 0), canvas_), QColor::fromRgb(LayerKeyColor));
}

void DrawingLayers::reset()
{
    current_ = 0;
    layers_[0].visible = false;
    announce(0);
}

void DrawingLayers::announce(int index)
{
    const Layer& l = layers_.at(size_t(index));
    emit layerChanged(index, l.picture, l.visible);
}

void DrawingLayers::setPending(bool pending)
{
    pending_ = pending;
    emit drawingControlsEnabled(pending);
}

void DrawingLayers::ReleaseLayerPicture()
{
    layers_[size_t(current_)].picture = QImage();
    announce(current_);
}

void DrawingLayers::InstallLayerPicture(const QImage& surface)
{
    Layer& working = layers_[size_t(current_)];
    working.picture = ImagePrinter::getImageFromHdc(surface, canvas_.width(), canvas_.height(), 24);
    working.visible = true;
    announce(current_);
}

void DrawingLayers::MarkDrawingPending()
{
    setPending(true);
}

void DrawingLayers::commitWorkingLayer()
{
    ++current_;
    clearScratchSurface();
    LineInProgress = false;
    undo_.PushStep(StepKind::Layer);
}

void DrawingLayers::CommitDrawing()
{
    if (current_ == DrawingLayerLimit - 1) {
        prompts_.message(MessageKind::Error,
                         QStringLiteral("描画レイヤが30を超えました。これ以上の描画はできません。"));
        return;
    }
    if (layers_[size_t(current_)].visible)
        commitWorkingLayer();
    setPending(false);
}

void DrawingLayers::hideAndEmpty(int index)
{
    Layer& l = layers_[size_t(index)];
    l.visible = false;
    l.picture = QImage();
    announce(index);
}

void DrawingLayers::ClearDrawing()
{
    hideAndEmpty(current_);
    clearScratchSurface();
    LineInProgress = false;
    setPending(false);
}

void DrawingLayers::UndoCommit()
{
    hideAndEmpty(current_);
    if (current_ > 0)
        --current_;
    hideAndEmpty(current_);
    clearScratchSurface();
    LineInProgress = false;
}

void DrawingLayers::DiscardAllLayers()
{
    while (current_ > 0) {
        hideAndEmpty(current_);
        --current_;
    }
    hideAndEmpty(0);
    clearScratchSurface();
    LineInProgress = false;
}

void DrawingLayers::resetForLoading()
{
    if (current_ > 0) {
        DiscardAllLayers();
        return;
    }
    clearScratchSurface();
    LineInProgress = false;
}

void DrawingLayers::commitEmptyLayer()
{
    Layer& working = layers_[size_t(current_)];
    working.picture = QImage(); // nothing drawn: a layer without a picture adds nothing to the canvas
    working.visible = true;
    announce(current_);
    commitWorkingLayer();
    setPending(false);
}

QImage DrawingLayers::flattenOnto(const QImage& workspaceImage) const
{
    QImage flat = workspaceImage.convertToFormat(QImage::Format_RGB888);
    for (int i = 0; i < current_; ++i) {
        const Layer& l = layers_.at(size_t(i));
        if (!l.picture.isNull())
            LayerCompositor::overlayKeyed(flat, l.picture, QPoint(0, 0), true, LayerKeyColor);
    }
    return flat;
}

#include "moc_DrawingLayers.cpp"
