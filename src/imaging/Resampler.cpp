#include "Resampler.h"

#include "ColorReduction.h"
#include "ResampleAxis.h"

#include <new>
#include <system_error>
#include <thread>

namespace {

// Runs fn(begin, end) over bands of [0, rows), on a few threads when the work is large enough to pay for them.
void forRowBands(int rows, qint64 work, const std::function<void(int, int)>& fn)
{
    const int threads = work < 2'000'000 ? 1 : int(std::clamp(std::thread::hardware_concurrency(), 1u, 4u));
    if (threads <= 1 || rows < threads) {
        fn(0, rows);
        return;
    }
    std::vector<std::thread> pool;
    const int band = (rows + threads - 1) / threads;
    int begin = band;
    for (; begin < rows; begin += band) {
        try {
            pool.emplace_back(fn, begin, std::min(rows, begin + band));
        } catch (const std::system_error&) {
            break; // no thread to spare: the rest runs here
        }
    }
    fn(0, std::min(rows, band));
    if (begin < rows)
        fn(begin, rows);
    for (auto& t : pool)
        t.join();
}

// Horizontal pass: source rows to rows of the target width, kept at 8 extra bits of precision.
void scaleRows(const QImage& source, const ResampleAxis& axis, std::vector<uint16_t>& out, int begin, int end)
{
    const size_t stride = size_t(axis.length()) * 3;
    for (int y = begin; y < end; ++y) {
        const uchar* src = source.constScanLine(y);
        uint16_t* dst = out.data() + size_t(y) * stride;
        for (int t = 0; t < axis.length(); ++t) {
            const int16_t* w = axis.weights(t);
            const uchar* p = src + size_t(axis.first(t)) * 3;
            int r = 0, g = 0, b = 0;
            for (int k = 0; k < axis.count(t); ++k, p += 3) {
                r += p[0] * w[k];
                g += p[1] * w[k];
                b += p[2] * w[k];
            }
            const int shift = ResampleAxis::kWeightBits - 8;
            dst[3 * t] = uint16_t((r + (1 << (shift - 1))) >> shift);
            dst[3 * t + 1] = uint16_t((g + (1 << (shift - 1))) >> shift);
            dst[3 * t + 2] = uint16_t((b + (1 << (shift - 1))) >> shift);
        }
    }
}

// Vertical pass: the widened rows to target rows, back to 8 bits.
void scaleColumns(const std::vector<uint16_t>& rows, const ResampleAxis& axis, QImage& target, int begin, int end)
{
    const size_t stride = size_t(target.width()) * 3;
    std::vector<int32_t> sum(stride);
    const int shift = ResampleAxis::kWeightBits + 8;
    for (int t = begin; t < end; ++t) {
        std::fill(sum.begin(), sum.end(), 0);
        const int16_t* w = axis.weights(t);
        for (int k = 0; k < axis.count(t); ++k) {
            const uint16_t* src = rows.data() + size_t(axis.first(t) + k) * stride;
            const int32_t weight = w[k];
            for (size_t i = 0; i < stride; ++i)
                sum[i] += src[i] * weight;
        }
        uchar* dst = target.scanLine(t);
        for (size_t i = 0; i < stride; ++i)
            dst[i] = uchar(std::min(255, (sum[i] + (1 << (shift - 1))) >> shift));
    }
}

void setError(QString* error, const QString& text)
{
    if (error)
        *error = text;
}

} // namespace

QImage Resampler::resize(const QImage& image, int width, int height, QString* error)
{
    if (image.isNull()) {
        setError(error, QStringLiteral("No image to resize."));
        return {};
    }
    if (width <= 0 || height <= 0 || qint64(width) * height > kMaxPixels) {
        setError(error, QStringLiteral("Cannot resize to %1 x %2 pixels.").arg(width).arg(height));
        return {};
    }
    const QImage source = ColorReduction::toRgb888(image);
    QImage target(width, height, QImage::Format_RGB888);
    if (source.isNull() || target.isNull()) {
        setError(error, QStringLiteral("Not enough memory to resize the image."));
        return {};
    }
    if (source.size() == target.size())
        return source;
    try {
        const ResampleAxis horizontal(source.width(), width);
        const ResampleAxis vertical(source.height(), height);
        std::vector<uint16_t> rows(size_t(source.height()) * size_t(width) * 3);
        forRowBands(source.height(), qint64(source.width()) * source.height(),
                    [&](int begin, int end) { scaleRows(source, horizontal, rows, begin, end); });
        forRowBands(height, qint64(width) * source.height(),
                    [&](int begin, int end) { scaleColumns(rows, vertical, target, begin, end); });
    } catch (const std::bad_alloc&) {
        setError(error, QStringLiteral("Not enough memory to resize the image."));
        return {};
    }
    return target;
}
