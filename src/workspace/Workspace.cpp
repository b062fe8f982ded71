#include "workspace/Workspace.h"

#include "foundation/ErrorDetail.h"
#include "imaging/drawing/ImagePrinter.h"
#include "imaging/resampling/Resampler.h"
#include "workspace/UndoHistory.h"

#include <algorithm>
#include <cmath>

namespace {

// The size of the reduction workingView keeps of a `picture`-sized picture for a view `shown` of
// its `working` size: at least twice the view's pixels each way, so the second reduction still
// averages.
QSize viewSourceSize(QSize picture, QSize working, QSize shown)
{
    const double scale = std::min(
        1.0, 2.0 * std::max(double(shown.width()) / working.width(), double(shown.height()) / working.height()));
    return QSize(int(std::ceil(picture.width() * scale)), int(std::ceil(picture.height() * scale)));
}

} // namespace

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
    const QRect part = canvasPart(g, workingSize_);
    const QImage cut = part.isEmpty() ? QImage() : cutWorkingImage(part);
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

QRect Workspace::canvasPart(const WorkspaceGeometry& g, QSize working)
{
    const auto [left, right] = std::minmax_element(g.cropXs.begin(), g.cropXs.end());
    const auto [top, bottom] = std::minmax_element(g.cropYs.begin(), g.cropYs.end());
    const int x0 = std::max(*left, 0);
    const int x1 = std::min(*right, working.width() - 1);
    const int y0 = std::max(*top, 0);
    const int y1 = std::min(*bottom, working.height() - 1);
    return x0 > x1 || y0 > y1 ? QRect() : QRect(QPoint(x0, y0), QPoint(x1, y1));
}

void Workspace::offerScaledPart(const Prepared& scaled)
{
    offeredPart_ = scaled.image.isNull() ? Prepared{} : scaled;
}

QImage Workspace::cutWorkingImage(const QRect& part)
{
    if (!workingImage_.isNull())
        return workingImage_.copy(part);
    if (part == scaledPart_)
        return scaledPartImage_;
    // A second place since the rebuild: the canvas is being moved about, and the whole pays off.
    if (!scaledPart_.isNull())
        return workingImage().copy(part);
    // Most often only the canvas is wanted: a size click scales the canvas's part alone.
    QString error;
    scaledPartImage_ = Resampler::resizePart(picture_, workingSize_.width(), workingSize_.height(), part, &error);
    scaledPart_ = scaledPartImage_.isNull() ? QRect() : part;
    if (scaledPartImage_.isNull())
        writeErrorDetail(QStringLiteral("the canvas could not be scaled: ") + error);
    return scaledPartImage_;
}

const QImage& Workspace::workingImage() const
{
    if (workingImage_.isNull() && hasPicture()) {
        QString error;
        workingImage_ = Resampler::resize(picture_, workingSize_.width(), workingSize_.height(), &error);
        if (workingImage_.isNull())
            writeErrorDetail(QStringLiteral("the working image could not be made: ") + error);
    }
    return workingImage_;
}

QImage Workspace::workingView(QSize shown) const
{
    if (!hasPicture() || shown.isEmpty())
        return {};
    if (shown == workingSize_)
        return workingImage();
    const Prepared& offered = offeredView_;
    if (offered.picture == picture_.cacheKey() && offered.working == workingSize_ && offered.image.size() == shown)
        return offered.image;
    const QSize needed = viewSourceSize(picture_.size(), workingSize_, shown);
    if (viewSourceKey_ != picture_.cacheKey() || viewSource_.width() < needed.width() ||
        viewSource_.height() < needed.height()) {
        viewSource_ =
            needed == picture_.size() ? picture_ : Resampler::resize(picture_, needed.width(), needed.height());
        viewSourceKey_ = picture_.cacheKey();
    }
    return Resampler::resize(viewSource_, shown.width(), shown.height());
}

void Workspace::offerView(const Prepared& view)
{
    offeredView_ = view.image.isNull() ? Prepared{} : view;
}

void Workspace::setPicture(const QImage& picture, QSize workingSize)
{
    picture_ = picture;
    workingSize_ = workingSize;
    workingImage_ = QImage();
    const Prepared& part = offeredPart_;
    const bool offered = !part.image.isNull() && part.picture == picture.cacheKey() && part.working == workingSize;
    scaledPart_ = offered ? part.part : QRect();
    scaledPartImage_ = offered ? part.image : QImage();
    offeredPart_ = {};
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
    const QSize working(geometry_.workWidth, geometry_.workHeight);
    if (base->isNull() || working.isEmpty() || qint64(working.width()) * working.height() > Resampler::kMaxPixels)
        return false;
    setPicture(*base, working);
    emit workingImageChanged(workingSize_);
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

void Workspace::takePicture(const QImage& picture)
{
    setPicture(picture, picture.size());
    workingImage_ = picture; // at its own size, as it is
}

void Workspace::showPicture(const QImage& picture)
{
    takePicture(picture);
    emit workingImageChanged(workingSize_);
}

#include "moc_Workspace.cpp"
