#include "workspace/Workspace.h"

#include "foundation/ErrorDetail.h"
#include "imaging/drawing/ImagePrinter.h"
#include "imaging/effects/ImageTransform.h"
#include "imaging/resampling/Resampler.h"
#include "workspace/UndoHistory.h"

Workspace::Workspace(WorkspaceGeometry& geometry, UndoHistory& undo, const ProgramOptions& options, QObject* parent)
    : QObject(parent), geometry_(geometry), undo_(undo), options_(options)
{
}

void Workspace::ResizeDisplay(int width, int height)
{
    geometry_.canvasWidth = width;
    geometry_.canvasHeight = height;
    emit canvasResized(width, height);
}

void Workspace::ComposeCanvas(int x, int y, bool keepOffset)
{
    if (!hasPicture())
        return;
    WorkspaceGeometry& g = geometry_;
    g.setOffset(x, y, keepOffset);
    emit frameChanged(g.offsetX, g.offsetY, g.offsetX + g.canvasWidth, g.offsetY + g.canvasHeight);
    workspaceImage_ = QImage(); // the old canvas goes first, so that the new one can reuse its memory
    const QImage cut = ImageTransform::selectImage(workingImage_, g.cropXs, g.cropYs);
    if (cut.isNull()) {
        // Nothing of the picture falls on the canvas: the main display is left empty.
        workspaceImage_ = QImage();
        emit workspaceImageChanged(workspaceImage_);
        return;
    }
    const bool smaller = cut.width() < g.canvasWidth || cut.height() < g.canvasHeight;
    workspaceImage_ = smaller ? placeOnMargin(cut) : cut;
    emit workspaceImageChanged(workspaceImage_);
}

QImage Workspace::placeOnMargin(const QImage& cut) const
{
    const QSize canvas(geometry_.canvasWidth, geometry_.canvasHeight);
    QImage surface(canvas, QImage::Format_RGB888);
    surface.fill(options_.marginColor);
    const QPoint at = placementOrigin(Placement(options_.placement), canvas, cut.size());
    ImagePrinter::imageOut(surface, cut, at.x(), at.y(), at.x() + cut.width(), at.y() + cut.height(), true);
    return surface;
}

bool Workspace::RebuildWorkingImage()
{
    if (!hasPicture())
        return false;
    const std::optional<QImage> base = pictureToScale();
    if (!base)
        return false;
    const QImage scaled = Resampler::resize(*base, geometry_.workWidth, geometry_.workHeight);
    if (scaled.isNull())
        return false;
    workingImage_ = scaled;
    emit workingImageChanged(workingImage_);
    ComposeCanvas(geometry_.offsetX, geometry_.offsetY, false);
    return true;
}

std::optional<QImage> Workspace::pictureToScale()
{
    if (ScalablePicture* file = undo_.newestFile()) {
        // The loaded picture as it came from its file, at the smallest scale that still covers the
        // working size: a photo made small never needs its full-size decode.
        const DecodedImage reduced = file->covering(QSize(geometry_.workWidth, geometry_.workHeight));
        if (!reduced.ok()) {
            writeErrorDetail(reduced.error);
            return std::nullopt;
        }
        geometry_.baseWidth = file->size().width();
        geometry_.baseHeight = file->size().height();
        return reduced.image;
    }
    const std::optional<QImage> base = undo_.LoadNewestUndoImage();
    if (base) {
        geometry_.baseWidth = base->width();
        geometry_.baseHeight = base->height();
    }
    return base;
}

void Workspace::showPicture(const QImage& picture)
{
    workingImage_ = picture;
    emit workingImageChanged(workingImage_);
}

#include "moc_Workspace.cpp"
