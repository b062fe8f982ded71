// A picture shown smaller than it is: its reduced pixels, kept up to date part by part, and the mapping
// between shown pixels and picture pixels, so that a pointer on the reduced picture lands on the
// picture pixel under it.
#pragma once

#include "imaging/resampling/ResampleAxis.h"

#include <QtCore/QRect>
#include <QtGui/QImage>

#include <memory>

class ReducedView
{
  public:
    // The largest size with the picture's proportions that fits in `room`; the picture's own size
    // when it fits already (never enlarged).
    static QSize fittedSize(QSize picture, QSize room);
    // The picture as it is when it fits in `room`, otherwise whole and reduced to fittedSize(), as
    // a view would show it (Format_RGB32 then).
    static QImage fitted(const QImage& picture, QSize room);

    // Shows a `picture`-sized picture at `shown` size; equal sizes show it one to one.
    void setSizes(QSize picture, QSize shown);
    QSize pictureSize() const { return picture_; }
    QSize shownSize() const { return shown_; }
    bool reduces() const { return shown_ != picture_ && !shown_.isEmpty(); }

    // The picture pixel under the middle of a shown pixel; outside the shown area the mapping goes
    // on beyond the picture's edges, so drags that leave the display keep their direction.
    QPoint toPicture(QPoint shownPixel) const;
    // The shown position of a picture position (a pixel's top-left corner, or an edge one beyond).
    QPoint toShown(QPoint picturePosition) const;

    // Redraws the shown pixels that the picture's `changed` rectangle touches, from `picture`
    // (Format_RGB32, of the picture size); a picture of another size redraws nothing.
    void redraw(const QImage& picture, const QRect& changed);
    // The reduced picture (Format_RGB32); null until the first redraw.
    const QImage& pixels() const { return pixels_; }

  private:
    QSize picture_;
    QSize shown_;
    std::unique_ptr<ResampleAxis> across_;
    std::unique_ptr<ResampleAxis> down_;
    QImage pixels_;
};
