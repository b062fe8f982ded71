#include "imaging/drawing/ImagePrinter.h"

#include "imaging/drawing/TextRenderer.h"

#include <QtGui/QPainter>

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Far beyond any surface, and small enough that no coordinate arithmetic can overflow.
constexpr int kMaxCoordinate = 1 << 20;

bool coordinatesInRange(std::initializer_list<int> values, QString* error)
{
    for (int v : values)
        if (v < -kMaxCoordinate || v > kMaxCoordinate) {
            setError(error, QStringLiteral("Coordinate %1 is out of range.").arg(v));
            return false;
        }
    return true;
}

bool paintable(const QImage& surface)
{
    return !surface.isNull() && surface.format() != QImage::Format_Indexed8 && surface.depth() >= 16;
}

} // namespace

bool ImagePrinter::checkDrawable(const QImage& surface, QString* error) const
{
    if (!paintable(surface)) {
        setError(error, QStringLiteral("The drawing surface is missing or has a palette."));
        return false;
    }
    if (attributes_.drawMode != PrintAttributes::kDrawCopyPen) {
        setError(error, QStringLiteral("Drawing mode %1 is not available.").arg(attributes_.drawMode));
        return false;
    }
    if (attributes_.penWidth < 1 || attributes_.penWidth > 1000) {
        setError(error, QStringLiteral("Pen width %1 is outside 1 to 1000.").arg(attributes_.penWidth));
        return false;
    }
    return true;
}

void ImagePrinter::fill(QImage& surface, const PixelSpans& spans, QRgb color)
{
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    const QColor c = QColor::fromRgb(qRed(color), qGreen(color), qBlue(color));
    for (const PixelSpan& s : spans)
        painter.fillRect(QRect(s.left, s.y, s.right - s.left + 1, 1), c);
}

bool ImagePrinter::line(QImage& surface, int left, int top, int right, int bottom, QString* error) const
{
    if (!checkDrawable(surface, error) || !coordinatesInRange({left, top, right, bottom}, error))
        return false;
    const ShapeRasterizer raster(surface.rect());
    if (hasPen())
        fill(surface, raster.line(left, top, right, bottom, attributes_.penWidth), attributes_.penColor);
    return true;
}

bool ImagePrinter::rectangle(QImage& surface, int left, int top, int right, int bottom, QString* error) const
{
    if (!checkDrawable(surface, error) || !coordinatesInRange({left, top, right, bottom}, error))
        return false;
    const ShapeRasterizer raster(surface.rect());
    if (hasBrush())
        fill(surface, raster.rectangleFill(left, top, right, bottom), attributes_.brushColor);
    if (hasPen())
        fill(surface, raster.rectangleOutline(left, top, right, bottom, attributes_.penWidth), attributes_.penColor);
    return true;
}

bool ImagePrinter::ellipse(QImage& surface, int left, int top, int right, int bottom, QString* error) const
{
    if (!checkDrawable(surface, error) || !coordinatesInRange({left, top, right, bottom}, error))
        return false;
    const ShapeRasterizer raster(surface.rect());
    if (hasBrush())
        fill(surface, raster.ellipseFill(left, top, right, bottom), attributes_.brushColor);
    if (hasPen())
        fill(surface, raster.ellipseOutline(left, top, right, bottom, attributes_.penWidth), attributes_.penColor);
    return true;
}

bool ImagePrinter::textOut(QImage& surface, int x, int y, QString* error) const
{
    if (!checkDrawable(surface, error))
        return false;
    if (attributes_.textAngle % 90 != 0 || attributes_.textDirection < 0 || attributes_.textDirection > 3) {
        setError(error, QStringLiteral("Text direction %1 or angle %2 is not available.")
                            .arg(attributes_.textDirection)
                            .arg(attributes_.textAngle));
        return false;
    }
    if (attributes_.fontSize < 1 || attributes_.fontSize > 1000) {
        setError(error, QStringLiteral("Font size %1 is outside 1 to 1000 points.").arg(attributes_.fontSize));
        return false;
    }
    if (!coordinatesInRange({x, y}, error))
        return false;
    if (attributes_.text.isEmpty())
        return true;
    // Only what lands on the surface is drawn.
    const TextRenderer::Mask mask = TextRenderer::render(attributes_, surface.rect().translated(-x, -y));
    if (mask.image.isNull() && mask.cell.isEmpty()) {
        setError(error, QStringLiteral("The text is too large to draw."));
        return false;
    }
    if (!attributes_.textTransparent) {
        const QRect box = mask.cell.translated(x, y);
        fill(surface,
             ShapeRasterizer(surface.rect())
                 .rectangleFill(box.left(), box.top(), box.left() + box.width(), box.top() + box.height()),
             0xffffffff);
    }
    PixelSpans spans;
    const QPoint at = QPoint(x, y) + mask.origin;
    for (int row = 0; row < mask.image.height(); ++row) {
        const uchar* bits = mask.image.constScanLine(row);
        for (int col = 0; col < mask.image.width();) {
            if (!bits[col]) {
                ++col;
                continue;
            }
            const int start = col;
            while (col < mask.image.width() && bits[col])
                ++col;
            spans.push_back({at.y() + row, at.x() + start, at.x() + col - 1});
        }
    }
    fill(surface, spans, attributes_.textColor);
    return true;
}

bool ImagePrinter::imageOut(QImage& surface, const QImage& image, int left, int top, int right, int bottom, bool aspect,
                            QString* error)
{
    if (!paintable(surface) || image.isNull()) {
        setError(error, QStringLiteral("Placing a picture needs a drawing surface and a picture."));
        return false;
    }
    if (!coordinatesInRange({left, top, right, bottom}, error))
        return false;
    QRect box(QPoint(std::min(left, right), std::min(top, bottom)),
              QSize(std::abs(right - left), std::abs(bottom - top)));
    if (box.isEmpty())
        return true;
    if (aspect) {
        const QSize fitted = image.size().scaled(box.size(), Qt::KeepAspectRatio).expandedTo(QSize(1, 1));
        box = QRect(box.topLeft() + QPoint((box.width() - fitted.width()) / 2, (box.height() - fitted.height()) / 2),
                    fitted);
    }
    QPainter painter(&surface);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.setCompositionMode(QPainter::CompositionMode_Source);
    painter.drawImage(box, image.hasAlphaChannel() ? image.convertToFormat(QImage::Format_RGB32) : image);
    return true;
}

QImage ImagePrinter::getImageFromHdc(const QImage& surface, int width, int height, int bitCount, QString* error)
{
    if (surface.isNull() || bitCount != 24 || width <= 0 || height <= 0 || width > surface.width() ||
        height > surface.height()) {
        setError(error, QStringLiteral("Cannot take %1 x %2 pixels at %3 bits from the drawing surface.")
                            .arg(width)
                            .arg(height)
                            .arg(bitCount));
        return {};
    }
    // The whole surface needs no cut: the conversion makes the copy (or shares a 24-bit surface until
    // either is painted on).
    const bool whole = width == surface.width() && height == surface.height();
    QImage out = (whole ? surface : surface.copy(0, 0, width, height)).convertToFormat(QImage::Format_RGB888);
    if (out.isNull())
        setError(error, QStringLiteral("Not enough memory to copy the drawing surface."));
    return out;
}
