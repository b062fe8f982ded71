// Shows a picture on a background colour, with up to 31 raster layers over it, a frame or selection
// rectangle, and mouse events in image pixels. The picture is shown at one screen pixel per image pixel,
// or reduced to a smaller size with the frame, the selection and the mouse still in image pixels.
#pragma once

#include "imaging/drawing/FrameDrag.h"
#include "imaging/drawing/LayerStack.h"
#include "imaging/resampling/ReducedView.h"

#include <QtWidgets/QWidget>

class ImageDisplay : public QWidget
{
    Q_OBJECT

  public:
    explicit ImageDisplay(QWidget* parent = nullptr);

    void setImage(const QImage& image);
    const QImage& image() const { return layers_.image(); }
    bool hasImage() const { return !layers_.image().isNull(); }
    void setBackColor(QColor color);
    QColor backColor() const { return layers_.backColor(); }
    // Drops the picture, the layers and the rectangle.
    void reset();

    const RasterLayer& raster(int index) const { return layers_.raster(index); }
    void setRaster(int index, const RasterLayer& layer);
    void setRasterImage(int index, const QImage& image);
    void setRasterVisible(int index, bool visible);
    void setRasterKey(int index, bool transparent, QRgb keyColor);

    // The rectangle: the frame the program sets, or the user's selection. Right and bottom lie one beyond.
    void setRect(int left, int top, int right, int bottom);
    int rectLeft() const { return drag_.rect().left; }
    int rectTop() const { return drag_.rect().top; }
    int rectRight() const { return drag_.rect().right; }
    int rectBottom() const { return drag_.rect().bottom; }
    void clearSelection();

    // On: a left drag inside the frame moves it. Off: a left drag draws a selection when selection is enabled.
    void setFrameDragEnabled(bool enabled);
    bool frameDragEnabled() const { return drag_.mode() == FrameDrag::Mode::MoveFrame; }
    void setSelectionEnabled(bool enabled);

    // Kept for the callers that set it; no grid is drawn.
    void setGridSpace(double space) { gridSpace_ = space; }
    double gridSpace() const { return gridSpace_; }

    // A picture of `picture` size is shown at `shown` size (one to one when they are equal). The
    // caller sizes the display.
    void setReducedView(QSize picture, QSize shown);
    // A picture reduced already: `shown` stands for a picture of `picture` size, and the frame, the
    // selection and the mouse stay in that picture's pixels. No raster layers go over it.
    void showReduced(const QImage& shown, QSize picture);
    const ReducedView& reducedView() const { return view_; }

    // The picture as it is: picture and visible layers composed (Format_RGB32).
    const QImage& composedImage() const { return layers_.composed(); }
    // The picture as the screen shows it: the composed picture, reduced when the view reduces.
    const QImage& shownImage() const;

  signals:
    void mouseDownImage(Qt::MouseButton button, int x, int y);
    void mouseMoveImage(int x, int y);
    void mouseUpImage(int x, int y);
    // After a frame drag ends, with the frame's new place.
    void frameMoved(int left, int top, int right, int bottom);

  protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

  private:
    QPoint imagePoint(const QMouseEvent* event) const;
    void changed() { update(); }

    LayerStack layers_;
    mutable ReducedView view_; // its pixels follow the composed picture when painted
    mutable quint64 shownRevision_ = 0;
    FrameDrag drag_;
    // Off by default, so a display that only takes pen strokes shows no rubber band.
    bool selectionEnabled_ = false;
    double gridSpace_ = 0;
};
