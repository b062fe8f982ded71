#include "imaging/drawing/LayerCompositor.h"

#include "imaging/effects/ColorReduction.h"

namespace {

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

// The part of target an overlay placed at `at` covers, worked out in 64 bits: a far-off position
// must not overflow the rectangle's corners.
QRect coveredArea(const QRect& target, QPoint at, QSize size)
{
    const qint64 left = std::max<qint64>(target.left(), at.x());
    const qint64 top = std::max<qint64>(target.top(), at.y());
    const qint64 right = std::min<qint64>(qint64(target.right()) + 1, qint64(at.x()) + size.width());
    const qint64 bottom = std::min<qint64>(qint64(target.bottom()) + 1, qint64(at.y()) + size.height());
    if (right <= left || bottom <= top)
        return {};
    return QRect(int(left), int(top), int(right - left), int(bottom - top));
}

inline uchar mix(int over, int under, int level)
{
    return uchar((over * level + under * (255 - level) + 127) / 255);
}

} // namespace

QImage LayerCompositor::layer(const QImage& base, const QImage& overlay, int x, int y, QRgb keyColor, int level,
                              QColor background, bool clip, QString* error)
{
    if (base.isNull() || overlay.isNull()) {
        setError(error, QStringLiteral("Layering needs two images."));
        return {};
    }
    if (level < 0 || level > 255) {
        setError(error, QStringLiteral("Opacity level %1 is outside 0 to 255.").arg(level));
        return {};
    }
    QRect bounds = base.rect();
    if (!clip) {
        const qint64 left = std::min<qint64>(0, x), top = std::min<qint64>(0, y);
        const qint64 right = std::max<qint64>(base.width(), qint64(x) + overlay.width());
        const qint64 bottom = std::max<qint64>(base.height(), qint64(y) + overlay.height());
        if ((right - left) * (bottom - top) > kMaxPixels || right - left > INT_MAX / 4 || bottom - top > INT_MAX / 4) {
            setError(error, QStringLiteral("The layered image would be too large."));
            return {};
        }
        bounds = QRect(int(left), int(top), int(right - left), int(bottom - top));
    }
    QImage out(bounds.size(), QImage::Format_RGB888);
    if (out.isNull()) {
        setError(error, QStringLiteral("Not enough memory to layer the images."));
        return {};
    }
    out.fill(background);
    const QPoint origin = -bounds.topLeft();
    overlayKeyed(out, ColorReduction::toRgb888(base), origin, false, 0);
    overlayKeyed(out, ColorReduction::toRgb888(overlay), QPoint(x, y) + origin, true, keyColor, level);
    return out;
}

void LayerCompositor::overlayKeyed(QImage& target, const QImage& overlay, QPoint at, bool keyed, QRgb keyColor,
                                   int level)
{
    if (target.format() != QImage::Format_RGB888)
        target = ColorReduction::toRgb888(target);
    const QImage src = ColorReduction::toRgb888(overlay);
    const QRect area = coveredArea(target.rect(), at, src.size());
    if (area.isEmpty() || target.isNull())
        return;
    const uchar key[3] = {uchar(qRed(keyColor)), uchar(qGreen(keyColor)), uchar(qBlue(keyColor))};
    for (int y = area.top(); y <= area.bottom(); ++y) {
        const uchar* s = src.constScanLine(y - at.y()) + size_t(area.left() - at.x()) * 3;
        uchar* d = target.scanLine(y) + size_t(area.left()) * 3;
        if (!keyed && level == 255) {
            std::copy_n(s, size_t(area.width()) * 3, d);
            continue;
        }
        for (int i = 0; i < area.width(); ++i, s += 3, d += 3) {
            if (keyed && s[0] == key[0] && s[1] == key[1] && s[2] == key[2])
                continue;
            if (level == 255) {
                d[0] = s[0], d[1] = s[1], d[2] = s[2];
            } else {
                d[0] = mix(s[0], d[0], level), d[1] = mix(s[1], d[1], level), d[2] = mix(s[2], d[2], level);
            }
        }
    }
}
