#include "imaging/effects/EffectDetail.h"

#include "imaging/effects/EffectBands.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

// Vertical 1-2-1 sums of three padded rows, byte by byte.
void columnSums(const uint8_t* __restrict above, const uint8_t* __restrict centre, const uint8_t* __restrict below,
                int bytes, uint16_t* __restrict out)
{
    for (int i = 0; i < bytes; ++i)
        out[i] = static_cast<uint16_t>(above[i] + 2 * centre[i] + below[i]);
}

// Horizontal 1-2-1 of the column sums gives the 3 x 3 binomial sum (16 times the blur) of every byte.
template <typename Mix>
void mixRow(const uint16_t* __restrict column, const uint8_t* __restrict centre, int bytes, uint8_t* __restrict out,
            Mix mix)
{
    for (int i = 0; i < bytes; ++i) {
        const int blur16 = column[i] + 2 * column[i + 3] + column[i + 6];
        const int own = centre[i + 3];
        out[i] = static_cast<uint8_t>(std::clamp(mix(own, 16 * own - blur16), 0, 255));
    }
}

} // namespace

template <typename Mix> QImage EffectDetail::filter(EffectRegion& region, Mix mix)
{
    const QRect area = region.area();
    const int bytes = area.width() * 3;
    EffectBands::run(area.top(), area.bottom() + 1, [&](int begin, int end) {
        const int padded = bytes + 6;
        std::vector<uint8_t> rowBuffer(static_cast<size_t>(padded) * 3);
        std::vector<uint16_t> columns(static_cast<size_t>(padded));
        uint8_t* rows[3] = {rowBuffer.data(), rowBuffer.data() + padded, rowBuffer.data() + 2 * padded};
        region.loadPadded(begin - 1, 1, rows[0]);
        region.loadPadded(begin, 1, rows[1]);
        for (int y = begin; y < end; ++y) {
            region.loadPadded(y + 1, 1, rows[2]);
            columnSums(rows[0], rows[1], rows[2], padded, columns.data());
            mixRow(columns.data(), rows[1], bytes, region.resultRow(y) + area.left() * 3, mix);
            std::rotate(rows, rows + 1, rows + 3);
        }
    });
    return region.take();
}

QImage EffectDetail::sharp(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int level,
                           QString* error)
{
    if (level < 0 || level > 100)
        return EffectRegion::fail(error, QStringLiteral("The sharpness must lie between 0 and 100."));
    auto region = EffectRegion::open(image, xs, ys, error);
    if (!region)
        return {};
    // gain = level / 20 in 1/256 steps; the difference carries a factor 16 from the blur sum.
    const int gain = level * 256 / 20;
    return filter(*region, [gain](int own, int diff16) { return own + ((diff16 * gain + 2048) >> 12); });
}

QImage EffectDetail::antiAlias(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, QString* error)
{
    auto region = EffectRegion::open(image, xs, ys, error);
    if (!region)
        return {};
    // The blend weight (0 … 256) grows with the step: a pixel 32 or more away from its blur becomes the blur.
    return filter(*region, [](int own, int diff16) {
        const int weight = std::min(std::abs(diff16), 512) >> 1;
        return own - ((diff16 * weight + 2048) >> 12);
    });
}
