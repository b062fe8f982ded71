#include "imaging/effects/EffectBlur.h"

#include "imaging/effects/EffectBands.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

// Multiplier for dividing a box sum by its length in 16-bit fixed point.
uint32_t reciprocal(int radius)
{
    const int length = 2 * radius + 1;
    return static_cast<uint32_t>(((1 << 16) + length / 2) / length);
}

} // namespace

namespace {

// One row of a box filter over a row padded by radius repeated edge pixels on each side; the three channels
// run side by side as independent sums.
void boxRow(const uint8_t* __restrict in, int width, int radius, uint32_t scale, uint8_t* __restrict out)
{
    uint32_t sum[3] = {0, 0, 0};
    for (int i = 0; i < 2 * radius + 1; ++i)
        for (int c = 0; c < 3; ++c)
            sum[c] += in[i * 3 + c];
    const uint8_t* leaving = in;
    const uint8_t* entering = in + (2 * radius + 1) * 3;
    for (int x = 0; x < width; ++x, out += 3, leaving += 3, entering += 3)
        for (int c = 0; c < 3; ++c) {
            out[c] = static_cast<uint8_t>((sum[c] * scale + 32768) >> 16);
            sum[c] += static_cast<uint32_t>(entering[c]) - leaving[c];
        }
}

// Moves one running sum per byte down a row: writes the current row and swaps the leaving row for the entering.
void boxColumnStep(uint32_t* __restrict sum, const uint8_t* __restrict entering, const uint8_t* __restrict leaving,
                   int bytes, uint32_t scale, uint8_t* __restrict out)
{
    for (int i = 0; i < bytes; ++i) {
        out[i] = static_cast<uint8_t>((sum[i] * scale + 32768) >> 16);
        sum[i] += static_cast<uint32_t>(entering[i]) - leaving[i];
    }
}

// Index v mirrored into 0 … n - 1 without repeating the edge (… 2 1 0 1 2 …), so a long box never piles
// weight on one edge pixel.
int mirror(int v, int n)
{
    if (n == 1)
        return 0;
    const int period = 2 * (n - 1);
    int m = std::abs(v) % period;
    return m < n ? m : period - m;
}

} // namespace

void EffectBlur::boxRows(Plane& from, Plane& to, int radius)
{
    const uint32_t scale = reciprocal(radius);
    const int width = from.width;
    EffectBands::run(0, from.height, [&](int begin, int end) {
        // One spare pixel past the padding, read by the last slide step.
        std::vector<uint8_t> padded(static_cast<size_t>(width + 2 * radius + 1) * 3);
        for (int y = begin; y < end; ++y) {
            const uint8_t* in = from.row(y);
            for (int x = 0; x < radius; ++x)
                std::memcpy(padded.data() + x * 3, in + mirror(x - radius, width) * 3, 3);
            std::memcpy(padded.data() + radius * 3, in, static_cast<size_t>(width) * 3);
            for (int x = radius + width; x <= 2 * radius + width; ++x)
                std::memcpy(padded.data() + x * 3, in + mirror(x - radius, width) * 3, 3);
            boxRow(padded.data(), width, radius, scale, to.row(y));
        }
    });
}

void EffectBlur::boxColumns(Plane& from, Plane& to, int radius)
{
    const uint32_t scale = reciprocal(radius);
    const int last = from.height - 1;
    const int bytes = from.width * 3;
    EffectBands::run(0, from.height, [&](int begin, int end) {
        std::vector<uint32_t> sums(static_cast<size_t>(bytes), 0);
        for (int y = begin - radius; y <= begin + radius; ++y) {
            const uint8_t* in = from.row(mirror(y, last + 1));
            for (int i = 0; i < bytes; ++i)
                sums[static_cast<size_t>(i)] += in[i];
        }
        for (int y = begin; y < end; ++y)
            boxColumnStep(sums.data(), from.row(mirror(y + radius + 1, last + 1)),
                          from.row(mirror(y - radius, last + 1)), bytes, scale, to.row(y));
    });
}

QImage EffectBlur::blur(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int level,
                        QString* error)
{
    if (level < 1 || level > 20)
        return EffectRegion::fail(error, QStringLiteral("The blur strength must lie between 1 and 20."));
    auto region = EffectRegion::open(image, xs, ys, error);
    if (!region)
        return {};
    constexpr int rounds = 3;
    // The work area reaches as far beyond the region as the three rounds can carry a pixel.
    const QRect area = region->area();
    const int margin = rounds * level;
    const QRect work = area.adjusted(-margin, -margin, margin, margin) & QRect(0, 0, region->width(), region->height());
    // The rounds run in the result's own rows, with one scratch buffer: no more than two full-size
    // pictures besides the input. The margin ring is restored from the input afterwards.
    std::vector<uint8_t> scratch;
    try {
        scratch.resize(static_cast<size_t>(work.width()) * work.height() * 3);
    } catch (const std::bad_alloc&) {
        return EffectRegion::fail(error, QStringLiteral("Not enough memory for the blur."));
    }
    Plane a{work.width(), work.height(), region->resultRow(work.top()) + work.left() * 3, region->resultStride()};
    Plane b{work.width(), work.height(), scratch.data(), static_cast<qsizetype>(work.width()) * 3};
    const auto restore = [&](int y, int from, int to) { // columns from … to - 1 of work row y
        if (to > from)
            std::memcpy(a.row(y) + (from - work.left()) * 3, region->sourceRow(work.top() + y) + from * 3,
                        static_cast<size_t>(to - from) * 3);
    };
    for (int y = 0; y < work.height(); ++y)
        restore(y, work.left(), work.right() + 1);
    for (int round = 0; round < rounds; ++round) {
        boxRows(a, b, level);
        boxColumns(b, a, level);
    }
    for (int y = 0; y < work.height(); ++y) {
        const int row = work.top() + y;
        if (row < area.top() || row > area.bottom()) {
            restore(y, work.left(), work.right() + 1);
        } else {
            restore(y, work.left(), area.left());
            restore(y, area.right() + 1, work.right() + 1);
        }
    }
    return region->take();
}
