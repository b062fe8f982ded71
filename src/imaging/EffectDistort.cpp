#include "imaging/EffectDistort.h"

#include "imaging/EffectBands.h"
#include "imaging/EffectSampler.h"

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
            uint8_t* out = region->resultRow(y) + area.left() * 3;
            const float rowShift = vertical ? 0.0f : shift[static_cast<size_t>(y - area.top())];
            for (int x = area.left(); x <= area.right(); ++x, out += 3) {
                if (vertical)
                    sampler.sample(float(x), float(y) + shift[static_cast<size_t>(x - area.left())], out);
                else
                    sampler.sample(float(x) + rowShift, float(y), out);
            }
        }
    });
    return region->take();
}
