#include "imaging/effects/EffectRegion.h"

#include "imaging/effects/EffectBufferPool.h"

#include <algorithm>
#include <cstring>

EffectRegion::EffectRegion(QImage source, QImage result, QRect area)
    : source_(std::move(source)), result_(std::move(result)), area_(area)
{
    sourceBits_ = source_.constBits();
    sourceStride_ = source_.bytesPerLine();
    resultBits_ = result_.bits();
    resultStride_ = result_.bytesPerLine();
}

QRect EffectRegion::clip(const QSize& size, const EffectCorners& xs, const EffectCorners& ys)
{
    const auto [left, right] = std::minmax_element(xs.begin(), xs.end());
    const auto [top, bottom] = std::minmax_element(ys.begin(), ys.end());
    // Clamped one by one, so extreme corners cannot overflow a width.
    const int x0 = std::max(*left, 0);
    const int x1 = std::min(*right, size.width() - 1);
    const int y0 = std::max(*top, 0);
    const int y1 = std::min(*bottom, size.height() - 1);
    if (x0 > x1 || y0 > y1)
        return {};
    return QRect(QPoint(x0, y0), QPoint(x1, y1));
}

QImage EffectRegion::fail(QString* error, const QString& message)
{
    if (error)
        *error = message;
    return {};
}

std::optional<EffectRegion> EffectRegion::open(const QImage& image, const EffectCorners& xs, const EffectCorners& ys,
                                               QString* error)
{
    if (image.isNull()) {
        fail(error, QStringLiteral("No image to work on."));
        return std::nullopt;
    }
    const QRect area = clip(image.size(), xs, ys);
    if (area.isEmpty()) {
        fail(error, QStringLiteral("The region lies outside the image."));
        return std::nullopt;
    }
    QImage source = image.format() == QImage::Format_RGB888 ? image : image.convertToFormat(QImage::Format_RGB888);
    QImage result = source.isNull() ? QImage() : EffectBufferPool::blankImage(source.width(), source.height());
    if (result.isNull()) {
        fail(error, QStringLiteral("Not enough memory for the effect."));
        return std::nullopt;
    }
    EffectRegion region(std::move(source), std::move(result), area);
    region.copyOutside();
    return region;
}

// Every pixel outside the area is the input's; the kernels write the area.
void EffectRegion::copyOutside()
{
    const size_t rowBytes = static_cast<size_t>(width()) * 3;
    const size_t leftBytes = static_cast<size_t>(area_.left()) * 3;
    const size_t rightFrom = static_cast<size_t>(area_.right() + 1) * 3;
    for (int y = 0; y < height(); ++y) {
        const uint8_t* in = sourceRow(y);
        uint8_t* out = resultRow(y);
        if (y < area_.top() || y > area_.bottom()) {
            std::memcpy(out, in, rowBytes);
            continue;
        }
        std::memcpy(out, in, leftBytes);
        std::memcpy(out + rightFrom, in + rightFrom, rowBytes - rightFrom);
    }
}

std::optional<EffectRegion> EffectRegion::whole(const QImage& image, QString* error)
{
    const int w = image.width();
    const int h = image.height();
    return open(image, {0, w, w, 0}, {0, 0, h, h}, error);
}

void EffectRegion::loadPadded(int y, int pad, uint8_t* out) const
{
    const uint8_t* row = sourceRow(std::clamp(y, 0, height() - 1));
    const int last = width() - 1;
    const int from = area_.left() - pad;
    const int to = area_.right() + pad;
    // Copy the part inside the image in one go, repeat the edge pixel beyond it.
    const int inFrom = std::max(from, 0);
    const int inTo = std::min(to, last);
    uint8_t* dst = out;
    for (int x = from; x < inFrom; ++x, dst += 3)
        std::memcpy(dst, row, 3);
    std::memcpy(dst, row + inFrom * 3, static_cast<size_t>(inTo - inFrom + 1) * 3);
    dst += (inTo - inFrom + 1) * 3;
    for (int x = inTo + 1; x <= to; ++x, dst += 3)
        std::memcpy(dst, row + last * 3, 3);
}
