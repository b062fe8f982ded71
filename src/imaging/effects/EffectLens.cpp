#include "imaging/effects/EffectLens.h"

#include "imaging/effects/EffectBands.h"
#include "imaging/effects/EffectSampler.h"

#include <cmath>

QImage EffectLens::lens(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, double refract,
                        bool backColor, QColor background, QString* error)
{
    if (!std::isfinite(refract) || refract < 1.0 || refract > 64.0)
        return EffectRegion::fail(error, QStringLiteral("The lens magnification must lie between 1 and 64."));
    auto region = EffectRegion::open(image, xs, ys, error);
    if (!region)
        return {};
    const EffectSampler sampler(*region, EffectSampler::Edge::Clamp, background);
    const QRect area = region->area();
    const float cx = area.left() + (area.width() - 1) / 2.0f;
    const float cy = area.top() + (area.height() - 1) / 2.0f;
    const float halfWidth = area.width() / 2.0f;
    const float halfHeight = area.height() / 2.0f;
    const auto m = static_cast<float>(refract);
    const uint8_t fill[3] = {static_cast<uint8_t>(background.red()), static_cast<uint8_t>(background.green()),
                             static_cast<uint8_t>(background.blue())};
    EffectBands::run(area.top(), area.bottom() + 1, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            uint8_t* out = region->resultRow(y) + area.left() * 3;
            const float dy = static_cast<float>(y) - cy;
            const float ny = dy / halfHeight;
            for (int x = area.left(); x <= area.right(); ++x, out += 3) {
                const float dx = static_cast<float>(x) - cx;
                const float nx = dx / halfWidth;
                const float rho = std::sqrt(nx * nx + ny * ny);
                if (rho >= 1.0f) {
                    const uint8_t* keep = backColor ? fill : region->sourceRow(y) + x * 3;
                    std::copy(keep, keep + 3, out);
                    continue;
                }
                // Reads radius rho / (m - (m - 1) rho): slope 1 / m at the centre, 1 at the rim.
                const float scale = 1.0f / (m - (m - 1.0f) * rho);
                sampler.sample(cx + dx * scale, cy + dy * scale, out);
            }
        }
    });
    return region->take();
}
