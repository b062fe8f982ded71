#include "imaging/effects/EffectOilPaint.h"

#include "imaging/effects/EffectBands.h"

#include <algorithm>
#include <new>

namespace {

inline int bucketOf(const uint8_t* pixel)
{
    return (77 * pixel[0] + 150 * pixel[1] + 29 * pixel[2]) >> 11; // luma / 8: 32 buckets
}

// Adds (sign 1) or removes (sign -1) one pixel in a histogram laid out as counts, R sums, G sums, B sums.
inline void count(int32_t* histogram, const uint8_t* pixel, int sign, int buckets)
{
    const int b = bucketOf(pixel);
    histogram[b] += sign;
    histogram[buckets + b] += sign * pixel[0];
    histogram[2 * buckets + b] += sign * pixel[1];
    histogram[3 * buckets + b] += sign * pixel[2];
}

template <int Size>
inline void addAndRemove(int32_t* __restrict window, const int32_t* __restrict in, const int32_t* __restrict out)
{
    for (int i = 0; i < Size; ++i)
        window[i] += in[i] - out[i];
}

// The first bucket with the highest count. Count and reversed index packed into one key make this a plain
// maximum, which vectorises, instead of a chain of compares.
template <int Buckets> inline int mostCommon(const int32_t* __restrict counts)
{
    static_assert((Buckets & (Buckets - 1)) == 0, "the index is packed into the key's low bits");
    int key = 0;
    for (int b = 0; b < Buckets; ++b)
        key = std::max(key, counts[b] * Buckets + (Buckets - 1 - b));
    return Buckets - 1 - (key & (Buckets - 1));
}

} // namespace

// Column histograms cover rows y - radius … y + radius; moving to row y drops row y - radius - 1 and adds
// row y + radius, two updates per column whatever the brush size.
void EffectOilPaint::moveColumns(const EffectRegion& region, int radius, int y, int columnFrom, int columnTo,
                                 std::vector<int32_t>& columns)
{
    const int leaving = y - radius - 1;
    const int entering = y + radius;
    for (int x = columnFrom; x <= columnTo; ++x) {
        int32_t* histogram = columns.data() + static_cast<size_t>(x - columnFrom) * histogramSize;
        if (leaving >= 0)
            count(histogram, region.sourceRow(leaving) + x * 3, -1, buckets);
        if (entering < region.height())
            count(histogram, region.sourceRow(entering) + x * 3, 1, buckets);
    }
}

// The window histogram slides along the row by adding the column histogram that enters and removing the one
// that leaves; the loop over the fixed-size histogram vectorises.
void EffectOilPaint::paintRow(EffectRegion& region, int radius, int y, int columnFrom, int columnTo,
                              const std::vector<int32_t>& columns, const std::vector<uint32_t>& reciprocals)
{
    const QRect area = region.area();
    alignas(32) int32_t window[histogramSize] = {};
    alignas(32) static constexpr int32_t zero[histogramSize] = {};
    const auto column = [&](int x) {
        return x < columnFrom || x > columnTo ? zero
                                              : columns.data() + static_cast<size_t>(x - columnFrom) * histogramSize;
    };
    for (int x = area.left() - radius; x <= area.left() + radius; ++x)
        addAndRemove<histogramSize>(window, column(x), zero);
    uint8_t* out = region.resultRow(y) + area.left() * 3;
    for (int x = area.left(); x <= area.right(); ++x, out += 3) {
        const int best = mostCommon<buckets>(window);
        const uint64_t scale = reciprocals[static_cast<size_t>(window[best])];
        for (int c = 0; c < 3; ++c)
            out[c] = static_cast<uint8_t>(
                (static_cast<uint64_t>(window[(c + 1) * buckets + best]) * scale + (1u << 23)) >> 24);
        addAndRemove<histogramSize>(window, column(x + radius + 1), column(x - radius));
    }
}

void EffectOilPaint::paintBand(EffectRegion& region, int radius, int begin, int end)
{
    const QRect area = region.area();
    const int columnFrom = std::max(area.left() - radius, 0);
    const int columnTo = std::min(area.right() + radius, region.width() - 1);
    std::vector<int32_t> columns(static_cast<size_t>(columnTo - columnFrom + 1) * histogramSize, 0);
    // Filled one row short, as if for row begin - 1; the first move brings it to row begin.
    for (int y = std::max(begin - radius - 1, 0); y < std::min(begin + radius, region.height()); ++y)
        for (int x = columnFrom; x <= columnTo; ++x)
            count(columns.data() + static_cast<size_t>(x - columnFrom) * histogramSize, region.sourceRow(y) + x * 3, 1,
                  buckets);
    // Sums are divided by their count through 24-bit fixed-point reciprocals.
    const int most = (2 * radius + 1) * (2 * radius + 1);
    std::vector<uint32_t> reciprocals(static_cast<size_t>(most) + 1, 0);
    for (int n = 1; n <= most; ++n)
        reciprocals[static_cast<size_t>(n)] = static_cast<uint32_t>(((1u << 24) + n / 2) / n);
    for (int y = begin; y < end; ++y) {
        moveColumns(region, radius, y, columnFrom, columnTo, columns);
        paintRow(region, radius, y, columnFrom, columnTo, columns, reciprocals);
    }
}

QImage EffectOilPaint::oilPaint(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int mode,
                                int maskSize, QString* error)
{
    if (mode != 0)
        return EffectRegion::fail(error, QStringLiteral("Unknown oil paint mode %1.").arg(mode));
    if (maskSize < 1 || maskSize > 100)
        return EffectRegion::fail(error, QStringLiteral("The brush size must lie between 1 and 100."));
    auto region = EffectRegion::open(image, xs, ys, error);
    if (!region)
        return {};
    const int radius = (maskSize - 1) / 2;
    const QRect area = region->area();
    try {
        EffectBands::run(
            area.top(), area.bottom() + 1, [&](int begin, int end) { paintBand(*region, radius, begin, end); }, 8);
    } catch (const std::bad_alloc&) {
        return EffectRegion::fail(error, QStringLiteral("Not enough memory for the oil paint histograms."));
    }
    return region->take();
}
