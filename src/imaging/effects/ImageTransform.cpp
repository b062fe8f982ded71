#include "imaging/effects/ImageTransform.h"

#include "imaging/effects/ColorReduction.h"
#include "imaging/effects/EffectBands.h"

#include <cstring>

#include <QtGui/QPainter>
#include <QtGui/QTransform>

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// Copies pixel by pixel in 32 x 32 tiles, so both pictures stay in cache whatever the direction, with
// the target's rows shared out over the cores.
// `from(x, y, width, height)` tells where a target pixel comes from.
template <typename SourceOf> QImage remap(const QImage& source, QSize targetSize, SourceOf from)
{
    QImage target(targetSize, QImage::Format_RGB888);
    if (target.isNull())
        return target;
    const int w = source.width();
    const int h = source.height();
    const uchar* sourceBits = source.constBits();
    const qsizetype stride = source.bytesPerLine();
    constexpr int tile = 32;
    EffectBands::run(0, targetSize.height(), [&](int top, int bottom) {
        for (int ty = top; ty < bottom; ty += tile)
            for (int tx = 0; tx < targetSize.width(); tx += tile)
                for (int y = ty; y < std::min(ty + tile, bottom); ++y) {
                    uchar* out = target.scanLine(y) + 3 * tx;
                    for (int x = tx; x < std::min(tx + tile, targetSize.width()); ++x, out += 3) {
                        const QPoint p = from(x, y, w, h);
                        const uchar* in = sourceBits + qsizetype(p.y()) * stride + 3 * p.x();
                        out[0] = in[0];
                        out[1] = in[1];
                        out[2] = in[2];
                    }
                }
    });
    return target;
}

QImage flipRows(const QImage& source)
{
    QImage target(source.size(), QImage::Format_RGB888);
    if (target.isNull())
        return target;
    const qsizetype bytes = qsizetype(source.width()) * 3;
    EffectBands::run(0, source.height(), [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            std::memcpy(target.scanLine(y), source.constScanLine(source.height() - 1 - y), size_t(bytes));
    });
    return target;
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
    if (turnY)
        out = flipRows(out);
    if (turnX)
        out = remap(out, out.size(), [](int x, int y, int w, int) { return QPoint(w - 1 - x, y); });
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
    // Our angles count anticlockwise.
    const QSize turned = image.size().transposed();
    switch (quarters) {
    case 1:
        return remap(image, turned, [](int x, int y, int w, int) { return QPoint(w - 1 - y, x); });
    case 2:
        return remap(image, image.size(), [](int x, int y, int w, int h) { return QPoint(w - 1 - x, h - 1 - y); });
    case 3:
        return remap(image, turned, [](int x, int y, int, int h) { return QPoint(y, h - 1 - x); });
    default:
        return image;
    }
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
