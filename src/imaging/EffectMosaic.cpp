#include "imaging/EffectMosaic.h"

#include "imaging/EffectBands.h"

#include <algorithm>
#include <vector>

// Sums every block of rows top … bottom in one pass over the pixels, then writes the means.
void EffectMosaic::fillBlockRow(EffectRegion& region, int top, int bottom, int blockWidth)
{
    const QRect area = region.area();
    const int blocks = (area.width() + blockWidth - 1) / blockWidth;
    std::vector<uint32_t> sums(static_cast<size_t>(blocks) * 3, 0);
    for (int y = top; y <= bottom; ++y) {
        const uint8_t* in = region.sourceRow(y) + area.left() * 3;
        for (int x = 0; x < area.width(); ++x, in += 3) {
            uint32_t* sum = sums.data() + static_cast<size_t>(x / blockWidth) * 3;
            sum[0] += in[0];
            sum[1] += in[1];
            sum[2] += in[2];
        }
    }
    std::vector<uint8_t> means(sums.size());
    const int rows = bottom - top + 1;
    for (int b = 0; b < blocks; ++b) {
        const int columns = std::min(blockWidth, area.width() - b * blockWidth);
        const uint32_t count = static_cast<uint32_t>(columns * rows);
        for (int c = 0; c < 3; ++c) {
            const size_t i = static_cast<size_t>(b) * 3 + c;
            means[i] = static_cast<uint8_t>((sums[i] + count / 2) / count);
        }
    }
    for (int y = top; y <= bottom; ++y) {
        uint8_t* out = region.resultRow(y) + area.left() * 3;
        for (int x = 0; x < area.width(); ++x, out += 3) {
            const uint8_t* mean = means.data() + static_cast<size_t>(x / blockWidth) * 3;
            out[0] = mean[0];
            out[1] = mean[1];
            out[2] = mean[2];
        }
    }
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
