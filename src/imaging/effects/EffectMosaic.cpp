#include "imaging/effects/EffectMosaic.h"

#include "imaging/effects/EffectBands.h"

#include <algorithm>
#include <cstring>
#include <vector>

// Sums every block of rows top … bottom in one pass over the pixels, then writes the means.
void EffectMosaic::fillBlockRow(EffectRegion& region, int top, int bottom, int blockWidth)
{
    const QRect area = region.area();
    const int blocks = (area.width() + blockWidth - 1) / blockWidth;
    std::vector<uint32_t> sums(static_cast<size_t>(blocks) * 3, 0);
    for (int y = top; y <= bottom; ++y) {
        const uint8_t* in = region.sourceRow(y) + area.left() * 3;
        for (int b = 0; b < blocks; ++b) {
            const int columns = std::min(blockWidth, area.width() - b * blockWidth);
            uint32_t r = 0, g = 0, bl = 0;
            for (int x = 0; x < columns; ++x, in += 3) {
                r += in[0];
                g += in[1];
                bl += in[2];
            }
            uint32_t* sum = sums.data() + static_cast<size_t>(b) * 3;
            sum[0] += r;
            sum[1] += g;
            sum[2] += bl;
        }
    }
    // One row of the finished block colours, then copied to every row of the block row.
    const int rows = bottom - top + 1;
    uint8_t* first = region.resultRow(top) + area.left() * 3;
    uint8_t* out = first;
    for (int b = 0; b < blocks; ++b) {
        const int columns = std::min(blockWidth, area.width() - b * blockWidth);
        const auto count = static_cast<uint32_t>(columns * rows);
        const uint32_t* sum = sums.data() + static_cast<size_t>(b) * 3;
        const uint8_t mean[3] = {static_cast<uint8_t>((sum[0] + count / 2) / count),
                                 static_cast<uint8_t>((sum[1] + count / 2) / count),
                                 static_cast<uint8_t>((sum[2] + count / 2) / count)};
        for (int x = 0; x < columns; ++x, out += 3)
            std::memcpy(out, mean, 3);
    }
    for (int y = top + 1; y <= bottom; ++y)
        std::memcpy(region.resultRow(y) + area.left() * 3, first, static_cast<size_t>(area.width()) * 3);
}

QImage EffectMosaic::mosaic(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int width,
                            int height, QString* error)
{
    if (width < 1 || width > 255 || height < 1 || height > 255)
        return EffectRegion::fail(error, QStringLiteral("The mosaic block size must lie between 1 and 255."));
    auto region = EffectRegion::open(image, xs, ys, error);
    if (!region)
        return {};
    const QRect area = region->area();
    const int blockRows = (area.height() + height - 1) / height;
    EffectBands::run(
        0, blockRows,
        [&](int begin, int end) {
            for (int b = begin; b < end; ++b) {
                const int top = area.top() + b * height;
                fillBlockRow(*region, top, std::min(top + height - 1, area.bottom()), width);
            }
        },
        1);
    return region->take();
}
