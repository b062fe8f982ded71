#include "ImageTransform.h"

#include "ColorReduction.h"

#include <QtGui/QPainter>
#include <QtGui/QTransform>

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

QImage ImageTransform::rotation(const QImage& image, int angle, bool turnX, bool turnY, bool smooth, QColor background,
                                bool clip, QString* error)
{
    if (image.isNull()) {
        setError(error, QStringLiteral("No image to turn."));
        return {};
    }
    QImage out = ColorReduction::toRgb888(image);
    if (turnX || turnY)
        out = out.mirrored(turnX, turnY);
    const int normalised = ((angle % 36000) + 36000) % 36000;
    if (normalised % 9000 == 0)
        out = quarterTurn(out, normalised / 9000);
    else
        out = freeTurn(out, normalised / 100.0, smooth, background, clip);
    if (out.isNull())
        setError(error, QStringLiteral("Not enough memory to turn the image."));
    return out;
}

QImage ImageTransform::quarterTurn(const QImage& image, int quarters)
{
    if (quarters == 0)
        return image;
    // QTransform's sense is clockwise on screen; our angles count anticlockwise.
    return image.transformed(QTransform().rotate(-90.0 * quarters)).convertToFormat(QImage::Format_RGB888);
}

QImage ImageTransform::freeTurn(const QImage& image, double degrees, bool smooth, QColor background, bool clip)
{
    const QTransform turn = QTransform().rotate(-degrees);
    const QSize size = clip ? image.size() : turn.mapRect(QRectF(image.rect())).toAlignedRect().size();
    QImage out(size, QImage::Format_RGB888);
    if (out.isNull())
        return out;
    out.fill(background);
    QPainter painter(&out);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, smooth);
    painter.translate(size.width() / 2.0, size.height() / 2.0);
    painter.rotate(-degrees);
    painter.drawImage(QPointF(-image.width() / 2.0, -image.height() / 2.0), image);
    painter.end();
    return out;
}

QImage ImageTransform::selectImage(const QImage& image, const std::array<int, 4>& xs, const std::array<int, 4>& ys,
                                   QString* error)
{
    if (image.isNull()) {
        setError(error, QStringLiteral("No image to cut from."));
        return {};
    }
    const auto [left, right] = std::minmax_element(xs.begin(), xs.end());
    const auto [top, bottom] = std::minmax_element(ys.begin(), ys.end());
    // Clamped before forming the rectangle, so extreme corners cannot overflow its width.
    const int x0 = std::max(*left, 0);
    const int x1 = std::min(*right, image.width() - 1);
    const int y0 = std::max(*top, 0);
    const int y1 = std::min(*bottom, image.height() - 1);
    const QRect part(QPoint(x0, y0), QPoint(x1, y1));
    if (x0 > x1 || y0 > y1) {
        setError(error, QStringLiteral("The cut-out lies outside the image."));
        return {};
    }
    QImage out = image.copy(part);
    if (out.isNull())
        setError(error, QStringLiteral("Not enough memory to cut out the image."));
    return out;
}
