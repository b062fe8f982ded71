#include "imaging/resampling/Resampler.h"

#include "imaging/effects/ColorReduction.h"
#include "imaging/effects/EffectBands.h"
#include "imaging/resampling/ResampleAxis.h"
#include "imaging/resampling/ResampleKernels.h"

#include <algorithm>
#include <functional>
#include <memory>
#include <new>
#include <vector>

namespace {

// Target rows per band: small work is not worth a thread and runs in one band, larger work in up to four.
int rowsPerBand(int rows, qint64 work)
{
    return work < 2'000'000 ? rows : (rows + 3) / 4;
}

// The source rows feeding target row t of an axis.
template <typename In>
std::vector<const In*> feedingRows(const ResampleAxis& axis, int t, const std::function<const In*(int)>& row)
{
    std::vector<const In*> rows(size_t(axis.count(t)));
    for (int k = 0; k < axis.count(t); ++k)
        rows[size_t(k)] = row(axis.first(t) + k);
    return rows;
}

// The source pixels a part of the target reads: a rectangle of the source, rows addressed from its top.
struct SourceWindow
{
    const QImage& image;
    int left;
    int top;
    int width;
    const uchar* row(int y) const { return image.constScanLine(top + y) + size_t(left) * 3; }
};

// Whether the source rows target row t reads are there; a source still being filled is waited for.
bool rowsThere(const SourceWindow& source, const ResampleAxis& down, int t, const Resampler::RowsReady& ready)
{
    return !ready || ready(source.top + down.first(t) + down.count(t));
}

// One band for a source still being filled: it follows the rows as they come.
int bandRows(int rows, qint64 work, const Resampler::RowsReady& ready)
{
    return ready ? rows : rowsPerBand(rows, work);
}

// Shrinking in height: each target row is first averaged from its source rows (the big, contiguous
// pass), then scaled along its length while it is still in the cache. Each band keeps one row.
bool verticalFirst(const SourceWindow& source, const ResampleAxis& across, const ResampleAxis& down, QImage& target,
                   const Resampler::RowsReady& ready)
{
    const size_t wide = size_t(source.width) * 3;
    const std::function<const uchar*(int)> sourceRow = [&](int y) { return source.row(y); };
    bool complete = true; // written only by the one band a source being filled has
    const auto band = [&](int begin, int end) {
        // Slack past the row, which the row pass reads and weighs by nothing.
        const std::unique_ptr<uint16_t[]> row(new uint16_t[wide + 8]());
        for (int t = begin; t < end; ++t) {
            if (!rowsThere(source, down, t, ready)) {
                complete = false;
                return;
            }
            ResampleKernels::blendRowsDown(feedingRows(down, t, sourceRow).data(), down.weights(t), down.count(t), wide,
                                           row.get());
            ResampleKernels::blendAlongRow(row.get(), across, target.scanLine(t));
        }
    };
    EffectBands::run(0, target.height(), band,
                     bandRows(target.height(), qint64(source.width) * source.image.height(), ready));
    return complete;
}

// Keeping or growing the height: scale each source row along its length first, then interpolate between rows.
// Each band of target rows keeps only the few scaled source rows its current row needs, in a small ring, so
// no picture-sized buffer is made besides the target.
bool horizontalFirst(const SourceWindow& source, const ResampleAxis& across, const ResampleAxis& down, QImage& target,
                     const Resampler::RowsReady& ready)
{
    bool complete = true; // written only by the one band a source being filled has
    const size_t wide = size_t(target.width()) * 3;
    const auto band = [&](int begin, int end) {
        int taps = 1;
        for (int t = begin; t < end; ++t)
            taps = std::max(taps, down.count(t));
        const std::unique_ptr<uint16_t[]> ring(new uint16_t[size_t(taps) * wide]); // every value is written before use
        std::vector<int> held(size_t(taps), -1);                                   // the source row in each slot
        const std::function<const uint16_t*(int)> row = [&](int y) {
            const size_t slot = size_t(y % taps);
            if (held[slot] != y) {
                ResampleKernels::blendAlongRow(source.row(y), across, ring.get() + slot * wide);
                held[slot] = y;
            }
            return ring.get() + slot * wide;
        };
        for (int t = begin; t < end; ++t) {
            if (!rowsThere(source, down, t, ready)) {
                complete = false;
                return;
            }
            ResampleKernels::blendRowsUp(feedingRows(down, t, row).data(), down.weights(t), down.count(t), wide,
                                         target.scanLine(t));
        }
    };
    EffectBands::run(0, target.height(), band,
                     bandRows(target.height(), qint64(target.width()) * target.height(), ready));
    return complete;
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

QImage Resampler::resize(const QImage& image, int width, int height, QString* error)
{
    return resizePart(image, width, height, QRect(0, 0, width, height), error);
}

QImage Resampler::resizePart(const QImage& image, int width, int height, const QRect& part, QString* error,
                             const RowsReady& ready)
{
    if (image.isNull()) {
        setError(error, QStringLiteral("No image to resize."));
        return {};
    }
    if (width <= 0 || height <= 0 || qint64(width) * height > kMaxPixels) {
        setError(error, QStringLiteral("Cannot resize to %1 x %2 pixels.").arg(width).arg(height));
        return {};
    }
    const QRect whole(0, 0, width, height);
    const QRect wanted = part.intersected(whole);
    if (wanted.isEmpty()) {
        setError(error, QStringLiteral("The part lies outside the resized image."));
        return {};
    }
    const QImage source = ColorReduction::toRgb888(image);
    if (source.size() == whole.size() && ready) // a copy of its own: the source's memory is not ours to keep
        return ready(wanted.bottom() + 1) ? source.copy(wanted) : QImage();
    if (source.size() == whole.size())
        return wanted == whole ? source : source.copy(wanted);
    QImage target(wanted.size(), QImage::Format_RGB888);
    if (source.isNull() || target.isNull()) {
        setError(error, QStringLiteral("Not enough memory to resize the image."));
        return {};
    }
    try {
        // The part's pixels are weighed exactly as in the whole image, so it equals a cut of the whole.
        const ResampleAxis wholeAcross(source.width(), width);
        const ResampleAxis wholeDown(source.height(), height);
        int left = 0, top = 0;
        const ResampleAxis across = wholeAcross.span(wanted.left(), wanted.right() + 1, left);
        const ResampleAxis down = wholeDown.span(wanted.top(), wanted.bottom() + 1, top);
        const SourceWindow window{source, left, top, across.sourcesRead()};
        const bool complete = height < source.height() ? verticalFirst(window, across, down, target, ready)
                                                       : horizontalFirst(window, across, down, target, ready);
        if (!complete) {
            setError(error, QStringLiteral("The picture ended before the rows the part needs."));
            return {};
        }
    } catch (const std::bad_alloc&) {
        setError(error, QStringLiteral("Not enough memory to resize the image."));
        return {};
    }
    return target;
}
