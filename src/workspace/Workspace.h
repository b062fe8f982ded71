#pragma once
// The phone-sized canvas made from the user's picture: the working image (the picture scaled to the
// working size, shown in the source sub-window with the crop frame) and the workspace image (the
// canvas cut out of it, shown in the main display). Displays follow the signals.
#include "foundation/ProgramOptions.h"
#include "workspace/WorkspaceGeometry.h"

#include <QtCore/QObject>
#include <QtCore/QRect>
#include <QtGui/QImage>

#include <functional>
#include <optional>

class UndoHistory;

class Workspace : public QObject
{
    Q_OBJECT
  public:
    Workspace(WorkspaceGeometry& geometry, UndoHistory& undo, const ProgramOptions& options, QObject* parent = nullptr);

    WorkspaceGeometry& geometry() { return geometry_; }
    bool hasPicture() const { return !picture_.isNull(); }
    QSize workingSize() const { return workingSize_; }
    // The picture scaled to the working size. After a rebuild only the canvas's part of it is
    // scaled; the whole is made when first asked for.
    const QImage& workingImage() const;
    // The working image reduced to `shown` (the sub-window's view of it), from a reduction of the
    // picture that is kept while the picture stays, so a size click does not scale the whole
    // picture again for a small view.
    QImage workingView(QSize shown) const;
    const QImage& workspaceImage() const { return workspaceImage_; }

    void ResizeDisplay(int width, int height);
    // Cuts the canvas out of the working image at the offset (clamped unless keepOffset).
    void ComposeCanvas(int x, int y, bool keepOffset);
    // Reads the newest undo image, scales it to the working size and composes the canvas.
    // False when the picture could not be read or scaled; the displays then keep their images.
    bool RebuildWorkingImage();

    // The part of a picture scaled to `working` that the canvas cuts at the geometry's crop corners,
    // clamped to it; empty when none of it is under the canvas.
    static QRect canvasPart(const WorkspaceGeometry& geometry, QSize working);
    // What was made of a picture before it became the workspace's (while it was decoded), for the
    // picture with that cache key at that working size.
    struct Prepared
    {
        qint64 picture = 0;
        QSize working;
        QRect part; // of the working image
        QImage image;
    };
    // That part scaled: the next rebuild of that picture at that size takes it instead of scaling.
    void offerScaledPart(const Prepared& scaled);

    // How big the sub-window shows a working size; a load reduces the picture for that while it
    // decodes. Without a rule the working image is shown as it is.
    void setViewSizeRule(std::function<QSize(QSize working)> rule) { viewSizeRule_ = std::move(rule); }
    QSize viewSizeOf(QSize working) const { return viewSizeRule_ ? viewSizeRule_(working) : working; }
    // The working image already reduced to the view: workingView gives it for a view of its size.
    void offerView(const Prepared& view);

    // A new picture at its own size becomes the working image (loading); taken, it waits for the
    // rebuild that follows to be shown.
    void takePicture(const QImage& picture);
    void showPicture(const QImage& picture);

  signals:
    void canvasResized(int width, int height);
    void workingImageChanged(QSize workingSize);
    void frameChanged(int left, int top, int right, int bottom);
    void workspaceImageChanged(const QImage& image); // a null image leaves the main display empty

  private:
    QImage placeOnMargin(const QImage& cut) const;
    QImage cutWorkingImage(const QRect& part);
    void setPicture(const QImage& picture, QSize workingSize);
    // What the working image is scaled from; the base size follows it.
    std::optional<QImage> pictureToScale();

    WorkspaceGeometry& geometry_;
    UndoHistory& undo_;
    const ProgramOptions& options_;
    QImage picture_; // what the working image is scaled from
    QSize workingSize_;
    mutable QImage workingImage_; // null until the whole is needed
    // The one part scaled on its own since the picture or the working size changed.
    QRect scaledPart_;
    QImage scaledPartImage_;
    Prepared offeredPart_;      // taken by the next setPicture of that picture at that size
    mutable QImage viewSource_; // the picture reduced for workingView
    mutable qint64 viewSourceKey_ = 0;
    Prepared offeredView_;
    std::function<QSize(QSize)> viewSizeRule_;
    QImage workspaceImage_;
};
