#include "imaging/resampling/ReducedView.h"

#include "imaging/resampling/ResampleKernels.h"

#include <algorithm>
#include <cstdint>
#include <vector>

static_assert(Q_BYTE_ORDER == Q_LITTLE_ENDIAN, "the reduction reads Format_RGB32 pixels byte by byte");

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

// Horizontal pass: shown columns [c0, c1] from one row already averaged down, whose four values a
// pixel (8 bits of fraction kept) start at picture column `from`.
void reduceRow(const uint16_t* row, int from, const ResampleAxis& across, int c0, int c1, QRgb* out)
{
    // 2^14 for the weights and 2^8 for the kept fraction; weights are never negative here.
    const auto channel = [](int sum) { return std::min(255, (sum + (1 << 21)) >> 22); };
    for (int c = c0; c <= c1; ++c) {
        const int16_t* w = across.weights(c);
        const uint16_t* p = row + size_t(across.first(c) - from) * 4;
        int r = 0, g = 0, b = 0;
        for (int i = 0; i < across.count(c); ++i, p += 4) {
            // Format_RGB32 lies in memory as B, G, R, X on the little-endian machines we build for.
            b += w[i] * int(p[0]);
            g += w[i] * int(p[1]);
            r += w[i] * int(p[2]);
        }
        *out++ = qRgb(channel(r), channel(g), channel(b));
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
    // Down first: each shown row averages its picture rows over the columns the shown columns read,
    // in the row kernel's contiguous pass; then along the row, which is short by then.
    const int from = across_->first(c0);
    const int to = across_->first(c1) + across_->count(c1);
    const size_t elements = size_t(to - from) * 4;
    std::vector<uint16_t> row(elements);
    std::vector<const uint8_t*> rows;
    for (int r = r0; r <= r1; ++r) {
        rows.clear();
        for (int i = 0; i < down_->count(r); ++i)
            rows.push_back(picture.constScanLine(down_->first(r) + i) + size_t(from) * 4);
        ResampleKernels::blendRowsDown(rows.data(), down_->weights(r), down_->count(r), elements, row.data());
        reduceRow(row.data(), from, *across_, c0, c1, reinterpret_cast<QRgb*>(pixels_.scanLine(r)) + c0);
    }
}
