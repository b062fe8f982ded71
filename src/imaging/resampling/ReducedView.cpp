#include "imaging/resampling/ReducedView.h"

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

// floor(a / b) for b > 0, also for a negative a.
qint64 floorDiv(qint64 a, qint64 b)
{
    return a >= 0 ? a / b : -((-a + b - 1) / b);
}

// The shown pixels [first, last] whose boxes take in any of the picture pixels [from, to).
std::pair<int, int> shownSpan(const ResampleAxis& axis, int from, int to)
{
    int first = axis.length();
    int last = -1;
    for (int t = 0; t < axis.length(); ++t) {
        if (axis.first(t) < to && axis.first(t) + axis.count(t) > from) {
            first = std::min(first, t);
            last = t;
        }
    }
    return {first, last};
}

// Horizontal pass: one picture row into shown columns [c0, c1], three channels with 8 bits of
// fraction kept (a weighted sum of at most 255 * 2^14, shifted right by 6).
void reduceRow(const QRgb* row, const ResampleAxis& across, int c0, int c1, uint16_t* out)
{
    for (int c = c0; c <= c1; ++c) {
        const int16_t* w = across.weights(c);
        const QRgb* p = row + across.first(c);
        int r = 0, g = 0, b = 0;
        for (int i = 0; i < across.count(c); ++i) {
            r += w[i] * int(qRed(p[i]));
            g += w[i] * int(qGreen(p[i]));
            b += w[i] * int(qBlue(p[i]));
        }
        *out++ = uint16_t((r + 32) >> 6);
        *out++ = uint16_t((g + 32) >> 6);
        *out++ = uint16_t((b + 32) >> 6);
    }
}

} // namespace

QSize ReducedView::fittedSize(QSize picture, QSize room)
{
    if (picture.isEmpty() || room.isEmpty() || (picture.width() <= room.width() && picture.height() <= room.height()))
        return picture;
    const qint64 w = picture.width(), h = picture.height();
    // Integer arithmetic, so the limiting side comes out exactly the room's.
    if (w * room.height() >= h * room.width())
        return QSize(room.width(), int(std::max<qint64>(1, h * room.width() / w)));
    return QSize(int(std::max<qint64>(1, w * room.height() / h)), room.height());
}

QImage ReducedView::fitted(const QImage& picture, QSize room)
{
    const QSize shown = fittedSize(picture.size(), room);
    if (shown == picture.size())
        return picture;
    ReducedView view;
    view.setSizes(picture.size(), shown);
    view.redraw(picture.convertToFormat(QImage::Format_RGB32), picture.rect());
    return view.pixels();
}

void ReducedView::setSizes(QSize picture, QSize shown)
{
    if (picture == picture_ && shown == shown_)
        return;
    picture_ = picture;
    shown_ = shown;
    pixels_ = QImage();
    across_.reset();
    down_.reset();
    if (!reduces())
        return;
    across_ = std::make_unique<ResampleAxis>(picture.width(), shown.width());
    down_ = std::make_unique<ResampleAxis>(picture.height(), shown.height());
}

QPoint ReducedView::toPicture(QPoint shownPixel) const
{
    if (!reduces())
        return shownPixel;
    const auto axis = [](int v, int shown, int picture) {
        return int(floorDiv((2 * qint64(v) + 1) * picture, 2 * qint64(shown)));
    };
    return QPoint(axis(shownPixel.x(), shown_.width(), picture_.width()),
                  axis(shownPixel.y(), shown_.height(), picture_.height()));
}

QPoint ReducedView::toShown(QPoint picturePosition) const
{
    if (!reduces())
        return picturePosition;
    return QPoint(int(floorDiv(qint64(picturePosition.x()) * shown_.width(), picture_.width())),
                  int(floorDiv(qint64(picturePosition.y()) * shown_.height(), picture_.height())));
}

void ReducedView::redraw(const QImage& picture, const QRect& changed)
{
    if (!reduces() || picture.size() != picture_ || picture.format() != QImage::Format_RGB32)
        return;
    const QRect area = changed.intersected(QRect(QPoint(0, 0), picture_));
    if (pixels_.isNull()) {
        pixels_ = QImage(shown_, QImage::Format_RGB32);
        if (pixels_.isNull())
            return;
        return redraw(picture, QRect(QPoint(0, 0), picture_)); // the first picture is drawn whole
    }
    if (area.isEmpty())
        return;
    const auto [c0, c1] = shownSpan(*across_, area.left(), area.right() + 1);
    const auto [r0, r1] = shownSpan(*down_, area.top(), area.bottom() + 1);
    if (c1 < c0 || r1 < r0)
        return;
    const int columns = c1 - c0 + 1;
    const int firstRow = down_->first(r0);
    const int lastRow = down_->first(r1) + down_->count(r1) - 1;
    std::vector<uint16_t> rows(size_t(lastRow - firstRow + 1) * size_t(columns) * 3);
    for (int y = firstRow; y <= lastRow; ++y)
        reduceRow(reinterpret_cast<const QRgb*>(picture.constScanLine(y)), *across_, c0, c1,
                  rows.data() + size_t(y - firstRow) * size_t(columns) * 3);
    std::vector<int> sums(size_t(columns) * 3);
    for (int r = r0; r <= r1; ++r) {
        std::fill(sums.begin(), sums.end(), 0);
        const int16_t* w = down_->weights(r);
        for (int i = 0; i < down_->count(r); ++i) {
            const uint16_t* in = rows.data() + size_t(down_->first(r) + i - firstRow) * size_t(columns) * 3;
            for (size_t k = 0; k < sums.size(); ++k)
                sums[k] += w[i] * int(in[k]);
        }
        QRgb* out = reinterpret_cast<QRgb*>(pixels_.scanLine(r)) + c0;
        // 2^14 for the weights and 2^8 for the kept fraction; weights are never negative here.
        const auto channel = [](int sum) { return std::min(255, (sum + (1 << 21)) >> 22); };
        for (int c = 0; c < columns; ++c)
            out[c] =
                qRgb(channel(sums[size_t(c) * 3]), channel(sums[size_t(c) * 3 + 1]), channel(sums[size_t(c) * 3 + 2]));
    }
}
