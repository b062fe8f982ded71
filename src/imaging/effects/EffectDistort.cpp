#include "imaging/effects/EffectDistort.h"

#include "imaging/effects/EffectBands.h"
#include "imaging/effects/EffectSampler.h"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

namespace {

constexpr double twoPi = 2.0 * std::numbers::pi;

// One period of the wave, 0 … 1 in, -1 … 1 out.
double waveAt(int waveType, double turns)
{
    const double t = turns - std::floor(turns);
    if (waveType == 1)
        return t < 0.25 ? 4 * t : t < 0.75 ? 2 - 4 * t : 4 * t - 4;
    return std::sin(twoPi * t);
}

bool phaseInRange(double phase)
{
    return std::isfinite(phase) && phase >= 0.0 && phase <= 1.0;
}

// Blends two neighbouring pixels, weight 0 … 256 on the second, as the bilinear sampler does.
inline void blend(const uint8_t* __restrict a, const uint8_t* __restrict b, int weight, uint8_t* __restrict out)
{
    for (int c = 0; c < 3; ++c)
        out[c] = static_cast<uint8_t>((a[c] * (256 - weight) + b[c] * weight + 128) >> 8);
}

// Row y of a horizontal wave: the whole row moves by one shift, so the inner part is a two-tap blend of the
// source row; only the ends that read beyond the region go through the sampler.
void shiftRow(EffectRegion& region, const EffectSampler& sampler, float shift, int y)
{
    const QRect area = region.area();
    int whole = static_cast<int>(shift);
    whole -= shift < static_cast<float>(whole);
    const int weight = static_cast<int>((shift - static_cast<float>(whole)) * 256.0f);
    const uint8_t* in = region.sourceRow(y);
    uint8_t* out = region.resultRow(y);
    // Inside: left <= x + whole and x + whole + 1 <= right.
    const int from = std::max(area.left(), area.left() - whole);
    const int to = std::min(area.right(), area.right() - whole - 1);
    for (int x = area.left(); x <= area.right(); ++x) {
        if (x == from && from <= to) {
            for (; x <= to; ++x)
                blend(in + (x + whole) * 3, in + (x + whole + 1) * 3, weight, out + x * 3);
            if (x > area.right())
                break;
        }
        sampler.sample(static_cast<float>(x) + shift, static_cast<float>(y), out + x * 3);
    }
}

// Row y of a vertical wave: each column reads its own pair of rows.
void shiftColumns(EffectRegion& region, const EffectSampler& sampler, const std::vector<float>& shift, int y)
{
    const QRect area = region.area();
    uint8_t* out = region.resultRow(y);
    for (int x = area.left(); x <= area.right(); ++x) {
        const float s = shift[static_cast<size_t>(x - area.left())];
        const float at = static_cast<float>(y) + s;
        int row = static_cast<int>(at);
        row -= at < static_cast<float>(row);
        if (row >= area.top() && row < area.bottom()) {
            const int weight = static_cast<int>((at - static_cast<float>(row)) * 256.0f);
            blend(region.sourceRow(row) + x * 3, region.sourceRow(row + 1) + x * 3, weight, out + x * 3);
        } else {
            sampler.sample(static_cast<float>(x), at, out + x * 3);
        }
    }
}

} // namespace

QImage EffectDistort::ripple(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int amp,
                             int wavelen, double phase, bool backColor, bool reflect, QColor background, QString* error)
{
    if (amp < 1 || amp > 100 || wavelen < 1 || wavelen > 255 || !phaseInRange(phase))
        return EffectRegion::fail(error, QStringLiteral("Ripple needs amplitude 1–100, wavelength 1–255, phase 0–1."));
    auto region = EffectRegion::open(image, xs, ys, error);
    if (!region)
        return {};
    const auto edge = reflect     ? EffectSampler::Edge::Reflect
                      : backColor ? EffectSampler::Edge::Background
                                  : EffectSampler::Edge::Clamp;
    const EffectSampler sampler(*region, edge, background);
    const QRect area = region->area();
    const double cx = area.left() + (area.width() - 1) / 2.0;
    const double cy = area.top() + (area.height() - 1) / 2.0;
    // The radial shift as a table over distance, in tenth pixels, so no pixel needs a sine.
    const double reach = std::hypot(area.width(), area.height());
    std::vector<float> shift(static_cast<size_t>(reach * 10) + 2);
    for (size_t i = 0; i < shift.size(); ++i)
        shift[i] = static_cast<float>(amp * std::sin(twoPi * (i / 10.0 / wavelen + phase)));
    EffectBands::run(area.top(), area.bottom() + 1, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            uint8_t* out = region->resultRow(y) + area.left() * 3;
            const auto dy = static_cast<float>(y - cy);
            for (int x = area.left(); x <= area.right(); ++x, out += 3) {
                const auto dx = static_cast<float>(x - cx);
                const float r = std::sqrt(dx * dx + dy * dy);
                const float scaled = r * 10.0f;
                const auto i = static_cast<size_t>(scaled);
                const float t = scaled - static_cast<float>(i);
                const float moved = shift[i] + (shift[i + 1] - shift[i]) * t;
                const float stretch = r > 1e-3f ? (r + moved) / r : 1.0f;
                sampler.sample(static_cast<float>(cx) + dx * stretch, static_cast<float>(cy) + dy * stretch, out);
            }
        }
    });
    return region->take();
}

QImage EffectDistort::waves(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int direction,
                            int waveType, int period, int amp, double phase, int edges, QColor background,
                            QString* error)
{
    if (direction < 0 || direction > 1 || waveType < 0 || waveType > 1 || edges < 0 || edges > 2)
        return EffectRegion::fail(error, QStringLiteral("Unknown wave direction, type or edge mode."));
    if (period < 1 || period > 255 || amp < 1 || amp > 255 || !phaseInRange(phase))
        return EffectRegion::fail(error, QStringLiteral("Waves need period 1–255, amplitude 1–255, phase 0–1."));
    auto region = EffectRegion::open(image, xs, ys, error);
    if (!region)
        return {};
    static constexpr EffectSampler::Edge edgeModes[3] = {EffectSampler::Edge::Background, EffectSampler::Edge::Reflect,
                                                         EffectSampler::Edge::Clamp};
    const EffectSampler sampler(*region, edgeModes[edges], background);
    const QRect area = region->area();
    const bool vertical = direction == 0;
    // The shift depends on the column (vertical waves) or the row (horizontal ones) only.
    const int steps = vertical ? area.width() : area.height();
    std::vector<float> shift(static_cast<size_t>(steps));
    for (int i = 0; i < steps; ++i)
        shift[static_cast<size_t>(i)] = static_cast<float>(amp * waveAt(waveType, double(i) / period + phase));
    EffectBands::run(area.top(), area.bottom() + 1, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            if (vertical)
                shiftColumns(*region, sampler, shift, y);
            else
                shiftRow(*region, sampler, shift[static_cast<size_t>(y - area.top())], y);
        }
    });
    return region->take();
}
