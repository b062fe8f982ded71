// Draws on a picture surface the way the drawing layers need it: aliased shapes and text in exact colours,
// pictures placed into rectangles, and the surface read back as a 24-bit image.
#pragma once

#include "imaging/drawing/PrintAttributes.h"
#include "imaging/drawing/ShapeRasterizer.h"

#include <QtCore/QString>
#include <QtGui/QImage>

class ImagePrinter
{
  public:
    PrintAttributes& attributes() { return attributes_; }
    const PrintAttributes& attributes() const { return attributes_; }
    void clearProperty() { attributes_ = PrintAttributes(); }

    // Each returns false (with `error`) when the surface cannot be drawn on or an attribute is out of range.
    // Nothing is ever blended: every touched pixel takes exactly the pen, brush or text colour.
    bool line(QImage& surface, int left, int top, int right, int bottom, QString* error = nullptr) const;
    bool rectangle(QImage& surface, int left, int top, int right, int bottom, QString* error = nullptr) const;
    bool ellipse(QImage& surface, int left, int top, int right, int bottom, QString* error = nullptr) const;
    // The unturned text box's top-left corner at (x, y); the box turns about that point by the angle.
    bool textOut(QImage& surface, int x, int y, QString* error = nullptr) const;

    // Draws `image` into the rectangle (corners sorted, right and bottom excluded). With `aspect` it keeps its
    // proportions, centred in the rectangle; without, it is stretched to fill it. Scaling picks the nearest
    // pixel, so key-coloured areas keep their exact colour.
    static bool imageOut(QImage& surface, const QImage& image, int left, int top, int right, int bottom, bool aspect,
                         QString* error = nullptr);

    // The surface's top-left width x height pixels as a new Format_RGB888 image; bitCount must be 24.
    static QImage getImageFromHdc(const QImage& surface, int width, int height, int bitCount, QString* error = nullptr);

  private:
    bool checkDrawable(const QImage& surface, QString* error) const;
    static void fill(QImage& surface, const PixelSpans& spans, QRgb color);
    bool hasPen() const { return attributes_.penStyle != PrintAttributes::kPenNone; }
    bool hasBrush() const { return attributes_.brushStyle != PrintAttributes::kBrushNone; }

    PrintAttributes attributes_;
};
