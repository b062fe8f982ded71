// Geometric operations that keep every pixel value: turns, flips and rectangular cut-outs.
#pragma once

#include <QtCore/QString>
#include <QtGui/QColor>
#include <QtGui/QImage>

#include <array>

class ImageTransform
{
  public:
    // Flips first (turnX mirrors left-right, turnY top-bottom), then turns by angle / 100 degrees, positive
    // anticlockwise (9000 = a quarter turn left, -9000 or 27000 right). Quarter turns are exact pixel moves.
    // Other angles turn about the centre: `smooth` interpolates, `background` fills the uncovered corners, and
    // `clip` keeps the original size instead of growing to hold the whole turned picture.
    // The result is Format_RGB888. Returns a null image and sets `error` on failure.
    static QImage rotation(const QImage& image, int angle, bool turnX, bool turnY, bool smooth = false,
                           QColor background = Qt::white, bool clip = false, QString* error = nullptr);

    // The part of the rectangle spanned by the four corners (inclusive: right = largest x, bottom = largest y)
    // that lies inside the image. Fails when nothing of it does.
    static QImage selectImage(const QImage& image, const std::array<int, 4>& xs, const std::array<int, 4>& ys,
                              QString* error = nullptr);

  private:
    static QImage quarterTurn(const QImage& image, int quarters);
    static QImage freeTurn(const QImage& image, double degrees, bool smooth, QColor background, bool clip);
};
