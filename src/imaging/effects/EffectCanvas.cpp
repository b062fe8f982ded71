#include "imaging/effects/EffectCanvas.h"

#include "imaging/effects/EffectBands.h"

#include <algorithm>
#include <cmath>
#include <numbers>

// Threads 6 pixels wide, alternately over and under, each rounded across its width, with a little fibre noise.
double EffectCanvas::weaveHeight(int x, int y)
{
    constexpr int thread = 6;
    x = ((x % tile) + tile) % tile;
    y = ((y % tile) + tile) % tile;
    const int u = x % thread;
    const int v = y % thread;
    const auto round = [](int t) { return std::sin(std::numbers::pi * (t + 0.5) / thread); };
    const bool weftOnTop = ((x / thread + y / thread) & 1) == 0;
    const double height = weftOnTop ? round(v) * (0.8 + 0.2 * round(u)) : round(u) * (0.8 + 0.2 * round(v));
    const uint32_t hash = (static_cast<uint32_t>(x) * 73856093u) ^ (static_cast<uint32_t>(y) * 19349663u);
    const double fibre = static_cast<double>((hash * 2654435761u) >> 24) / 255.0 - 0.5;
    return height + 0.15 * fibre;
}

// The relief of one tile for this light and depth, as the signed change of every channel.
std::vector<int> EffectCanvas::reliefTile(int direction, int depth)
{
    static constexpr int lightX[4] = {-1, 1, 1, -1};
    static constexpr int lightY[4] = {-1, -1, 1, 1};
    const int dx = lightX[direction];
    const int dy = lightY[direction];
    std::vector<double> shade(tile * tile);
    double strongest = 1e-9;
    for (int y = 0; y < tile; ++y)
        for (int x = 0; x < tile; ++x) {
            const double s = weaveHeight(x + dx, y + dy) - weaveHeight(x - dx, y - dy);
            shade[static_cast<size_t>(y * tile + x)] = s;
            strongest = std::max(strongest, std::abs(s));
        }
    std::vector<int> relief(shade.size());
    for (size_t i = 0; i < shade.size(); ++i)
        relief[i] = static_cast<int>(std::lround(shade[i] / strongest * depth * 1.5));
    return relief;
}

QImage EffectCanvas::canvas(const QImage& image, const EffectCorners& xs, const EffectCorners& ys, int direction,
                            int depth, QString* error)
{
    if (direction < 0 || direction > 3)
        return EffectRegion::fail(error, QStringLiteral("Unknown canvas light direction %1.").arg(direction));
    if (depth < 0 || depth > 255)
        return EffectRegion::fail(error, QStringLiteral("The canvas depth must lie between 0 and 255."));
    auto region = EffectRegion::open(image, xs, ys, error);
    if (!region)
        return {};
    const std::vector<int> relief = reliefTile(direction, depth);
    const QRect area = region->area();
    EffectBands::run(area.top(), area.bottom() + 1, [&](int begin, int end) {
        for (int y = begin; y < end; ++y) {
            const int* reliefRow = relief.data() + (y % tile) * tile;
            const uint8_t* in = region->sourceRow(y) + area.left() * 3;
            uint8_t* out = region->resultRow(y) + area.left() * 3;
            for (int x = area.left(); x <= area.right(); ++x, in += 3, out += 3) {
                const int change = reliefRow[x % tile];
                for (int c = 0; c < 3; ++c)
                    out[c] = static_cast<uint8_t>(std::clamp(in[c] + change, 0, 255));
            }
        }
    });
    return region->take();
}
