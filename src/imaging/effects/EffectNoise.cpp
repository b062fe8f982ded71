#include "imaging/effects/EffectNoise.h"

#include "imaging/effects/EffectBands.h"

#include <algorithm>
#include <cstdlib>
#include <vector>

namespace {

inline uint8_t median3(uint8_t a, uint8_t b, uint8_t c)
{
    return std::max(std::min(a, b), std::min(std::max(a, b), c));
}

} // namespace

// Each padded column of three is sorted once; the median of nine is then the median of the largest low, the
// middle middle and the smallest high of three neighbouring columns. Bytes are handled independently, so the
// loops run over R, G and B alike and vectorise.
void EffectNoise::medianRow(const uint8_t* __restrict above, const uint8_t* __restrict row,
                            const uint8_t* __restrict below, int bytes, int level, uint8_t* __restrict sortedLow,
                            uint8_t* __restrict sortedMid, uint8_t* __restrict sortedHigh, uint8_t* __restrict out)
{
    const int padded = bytes + 6;
    for (int i = 0; i < padded; ++i) {
        const uint8_t a = above[i], b = row[i], c = below[i];
        const uint8_t lo = std::min(a, b), hi = std::max(a, b);
        sortedLow[i] = std::min(lo, c);
        sortedHigh[i] = std::max(hi, c);
        sortedMid[i] = std::max(lo, std::min(hi, c));
    }
    for (int i = 0; i < bytes; ++i) {
        const uint8_t low = std::max(std::max(sortedLow[i], sortedLow[i + 3]), sortedLow[i + 6]);
        const uint8_t mid = median3(sortedMid[i], sortedMid[i + 3], sortedMid[i + 6]);
        const uint8_t high = std::min(std::min(sortedHigh[i], sortedHigh[i + 3]), sortedHigh[i + 6]);
        const uint8_t median = median3(low, mid, high);
        const uint8_t own = row[i + 3];
        out[i] = std::abs(own - median) > level ? median : own;
    }
}

QImage EffectNoise::removeNoise(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int mode,
                                int level, QString* error)
{
    if (mode != 0)
        return EffectRegion::fail(error, QStringLiteral("Unknown noise removal mode %1.").arg(mode));
    if (level < 0 || level > 255)
        return EffectRegion::fail(error, QStringLiteral("The noise threshold must lie between 0 and 255."));
    auto region = EffectRegion::open(image, xs, ys, error);
    if (!region)
        return {};
    const QRect area = region->area();
    const int bytes = area.width() * 3;
    EffectBands::run(area.top(), area.bottom() + 1, [&](int begin, int end) {
        const auto padded = static_cast<size_t>(bytes + 6);
        std::vector<uint8_t> buffer(padded * 6);
        uint8_t* rows[3] = {buffer.data(), buffer.data() + padded, buffer.data() + 2 * padded};
        uint8_t* sorted = buffer.data() + 3 * padded;
        region->loadPadded(begin - 1, 1, rows[0]);
        region->loadPadded(begin, 1, rows[1]);
        for (int y = begin; y < end; ++y) {
            region->loadPadded(y + 1, 1, rows[2]);
            medianRow(rows[0], rows[1], rows[2], bytes, level, sorted, sorted + padded, sorted + 2 * padded,
                      region->resultRow(y) + area.left() * 3);
            std::rotate(rows, rows + 1, rows + 3);
        }
    });
    return region->take();
}
