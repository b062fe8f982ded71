#include "imaging/effects/EffectTone.h"

#include "imaging/effects/EffectBands.h"

#include <algorithm>
#include <cmath>

namespace {

bool gammaInRange(double value)
{
    return std::isfinite(value) && value >= -0.9 && value <= 9.0;
}

std::array<uint8_t, 256> gammaTable(double value)
{
    std::array<uint8_t, 256> table{};
    const double exponent = 1.0 + value;
    for (int i = 0; i < 256; ++i)
        table[static_cast<size_t>(i)] = static_cast<uint8_t>(std::lround(255.0 * std::pow(i / 255.0, exponent)));
    return table;
}

std::array<uint8_t, 256> levelTable(int amount)
{
    std::array<uint8_t, 256> table{};
    for (int i = 0; i < 256; ++i)
        table[static_cast<size_t>(i)] = static_cast<uint8_t>(std::clamp(i + amount, 0, 255));
    return table;
}

// One row through the three channel tables; restrict lets the table bases stay in registers.
void mapRow(const uint8_t* __restrict in, uint8_t* __restrict out, int pixels, const uint8_t* __restrict red,
            const uint8_t* __restrict green, const uint8_t* __restrict blue)
{
    for (int x = 0; x < pixels; ++x, in += 3, out += 3) {
        const uint8_t r = red[in[0]], g = green[in[1]], b = blue[in[2]];
        out[0] = r;
        out[1] = g;
        out[2] = b;
    }
}

void grayRow(const uint8_t* __restrict in, uint8_t* __restrict out, int pixels)
{
    for (int x = 0; x < pixels; ++x, in += 3, out += 3) {
        // Weights sum to 256, so white stays 255.
        const auto luma = static_cast<uint8_t>((77 * in[0] + 150 * in[1] + 29 * in[2] + 128) >> 8);
        out[0] = out[1] = out[2] = luma;
    }
}

} // namespace

QImage EffectTone::applyTables(std::optional<EffectRegion> region, const std::array<Table, 3>& tables)
{
    const QRect area = region->area();
    EffectBands::run(area.top(), area.bottom() + 1, [&](int begin, int end) {
        for (int y = begin; y < end; ++y)
            mapRow(region->sourceRow(y) + area.left() * 3, region->resultRow(y) + area.left() * 3, area.width(),
                   tables[0].data(), tables[1].data(), tables[2].data());
    });
    return region->take();
}

QImage EffectTone::rgbGamma(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, double red,
                            double green, double blue, QString* error)
{
    if (!gammaInRange(red) || !gammaInRange(green) || !gammaInRange(blue))
        return EffectRegion::fail(error, QStringLiteral("The gamma change must lie between -0.9 and 9."));
    auto region = EffectRegion::open(image, xs, ys, error);
    if (!region)
        return {};
    return applyTables(std::move(region), {gammaTable(red), gammaTable(green), gammaTable(blue)});
}

QImage EffectTone::rgbLevel(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int red, int green,
                            int blue, QString* error)
{
    const auto inRange = [](int v) { return v >= -255 && v <= 255; };
    if (!inRange(red) || !inRange(green) || !inRange(blue))
        return EffectRegion::fail(error, QStringLiteral("The level change must lie between -255 and 255."));
    auto region = EffectRegion::open(image, xs, ys, error);
    if (!region)
        return {};
    return applyTables(std::move(region), {levelTable(red), levelTable(green), levelTable(blue)});
}

QImage EffectTone::setGray(const QImage& image, QString* error)
{
    auto region = EffectRegion::whole(image, error);
    if (!region)
        return {};
    const int w = region->width();
    EffectBands::run(0, region->height(), [&](int begin, int end) {
        for (int y = begin; y < end; ++y)
            grayRow(region->sourceRow(y), region->resultRow(y), w);
    });
    return region->take();
}
