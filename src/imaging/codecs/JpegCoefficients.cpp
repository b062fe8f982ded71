#include "imaging/codecs/JpegCoefficients.h"

#include <algorithm>

namespace {

// libjpeg-turbo's fixed-point RGB -> YCbCr (16 fraction bits, Cb/Cr rounded by 0.5 - epsilon).
constexpr int32_t fix(double x)
{
    return int32_t(x * 65536 + 0.5);
}
constexpr int32_t half = 1 << 15, chromaOffset = (128 << 16) + half - 1;

int lumaOf(const uchar* p)
{
    return (fix(0.29900) * p[0] + fix(0.58700) * p[1] + fix(0.11400) * p[2] + half) >> 16;
}
int cbOf(const uchar* p)
{
    return (-fix(0.16874) * p[0] - fix(0.33126) * p[1] + fix(0.5) * p[2] + chromaOffset) >> 16;
}
int crOf(const uchar* p)
{
    return (fix(0.5) * p[0] - fix(0.41869) * p[1] - fix(0.08131) * p[2] + chromaOffset) >> 16;
}

// The library's accurate integer forward DCT (jpeg_fdct_islow): output scaled up by 8.
void forwardDct(int* d)
{
    constexpr int constBits = 13, pass1Bits = 2;
    // 32 bits suffice for 8-bit samples; the library's SIMD code keeps these products in 32-bit lanes too.
    auto descale = [](int32_t x, int n) { return int((x + (int32_t(1) << (n - 1))) >> n); };
    for (int pass = 0; pass < 2; ++pass) {
        const int step = pass == 0 ? 1 : 8, stride = pass == 0 ? 8 : 1;
        const int evenShift = pass == 0 ? 0 : pass1Bits; // pass 1 scales up, pass 2 scales back
        const int oddShift = pass == 0 ? constBits - pass1Bits : constBits + pass1Bits;
        for (int i = 0; i < 8; ++i) {
            int* p = d + i * stride;
            const int32_t t0 = p[0] + p[7 * step], t7 = p[0] - p[7 * step];
            const int32_t t1 = p[step] + p[6 * step], t6 = p[step] - p[6 * step];
            const int32_t t2 = p[2 * step] + p[5 * step], t5 = p[2 * step] - p[5 * step];
            const int32_t t3 = p[3 * step] + p[4 * step], t4 = p[3 * step] - p[4 * step];
            const int32_t t10 = t0 + t3, t13 = t0 - t3, t11 = t1 + t2, t12 = t1 - t2;
            if (pass == 0) {
                p[0] = int((t10 + t11) * (1 << pass1Bits));
                p[4 * step] = int((t10 - t11) * (1 << pass1Bits));
            } else {
                p[0] = descale(t10 + t11, evenShift);
                p[4 * step] = descale(t10 - t11, evenShift);
            }
            const int32_t z1e = (t12 + t13) * 4433;
            p[2 * step] = descale(z1e + t13 * 6270, oddShift);
            p[6 * step] = descale(z1e - t12 * 15137, oddShift);
            const int32_t z1 = (t4 + t7) * -7373, z2 = (t5 + t6) * -20995;
            const int32_t z5 = (t4 + t6 + t5 + t7) * 9633;
            const int32_t z3 = (t4 + t6) * -16069 + z5, z4 = (t5 + t7) * -3196 + z5;
            p[7 * step] = descale(t4 * 2446 + z1 + z3, oddShift);
            p[5 * step] = descale(t5 * 16819 + z2 + z4, oddShift);
            p[3 * step] = descale(t6 * 25172 + z2 + z3, oddShift);
            p[step] = descale(t7 * 12299 + z1 + z4, oddShift);
        }
    }
}

// An 8x8 block of samples at (x, y) of a plane `stride` wide, transformed into zig-zag order.
void appendBlock(std::vector<int16_t>& out, const uint8_t* plane, int stride, int x, int y)
{
    int d[64];
    for (int r = 0; r < 8; ++r)
        for (int c = 0; c < 8; ++c)
            d[r * 8 + c] = plane[(y + r) * stride + x + c] - 128;
    forwardDct(d);
    for (int k = 0; k < 64; ++k)
        out.push_back(int16_t(d[JpegCoefficients::zigzag[k]]));
}

} // namespace

JpegCoefficients::JpegCoefficients(const QImage& rgb)
    : width_(rgb.width()), height_(rgb.height()), lumaBlocksAcross_((width_ + 7) / 8),
      lumaBlocksDown_((height_ + 7) / 8), mcusAcross_((width_ + 15) / 16), mcusDown_((height_ + 15) / 16)
{
    if (rgb.isNull() || rgb.format() != QImage::Format_RGB888)
        return;
    luma_.reserve(size_t(lumaBlocksAcross_) * lumaBlocksDown_ * 64);
    cb_.reserve(size_t(mcusAcross_) * mcusDown_ * 64);
    cr_.reserve(cb_.capacity());
    McuRowBuffers buffers;
    for (int row = 0; row < mcusDown_; ++row)
        transformMcuRow(rgb, row, buffers);
}

// One row of MCUs: 16 picture rows converted to Y, Cb and Cr, and 8 rows of each chroma plane
// averaged from them, padded the way the library pads (edge pixels repeated; chroma rows below the
// picture repeat the last chroma row).
void JpegCoefficients::transformMcuRow(const QImage& rgb, int mcuRow, McuRowBuffers& b)
{
    const int padded = mcusAcross_ * 16, chromaStride = mcusAcross_ * 8;
    b.y.resize(size_t(padded) * 16);
    b.cb.resize(b.y.size());
    b.cr.resize(b.y.size());
    b.chroma.resize(size_t(chromaStride) * 16); // Cb rows 0..7, then Cr rows 0..7
    for (int r = 0; r < 16; ++r) {
        const uchar* line = rgb.constScanLine(std::min(mcuRow * 16 + r, height_ - 1));
        const size_t row = size_t(r) * padded;
        for (int x = 0; x < padded; ++x) {
            const uchar* p = line + 3 * std::min(x, width_ - 1);
            b.y[row + x] = uint8_t(lumaOf(p));
            b.cb[row + x] = uint8_t(cbOf(p));
            b.cr[row + x] = uint8_t(crOf(p));
        }
    }
    const int lastChromaRow = (height_ + 1) / 2 - 1;
    for (int r = 0; r < 8; ++r) {
        const size_t top = size_t(2 * std::min(mcuRow * 8 + r, lastChromaRow) - mcuRow * 16) * padded;
        const size_t below = top + size_t(padded);
        for (int x = 0; x < chromaStride; ++x) {
            const int bias = (x & 1) ? 2 : 1, a = 2 * x, c = 2 * x + 1;
            b.chroma[size_t(r) * chromaStride + x] =
                uint8_t((b.cb[top + a] + b.cb[top + c] + b.cb[below + a] + b.cb[below + c] + bias) >> 2);
            b.chroma[size_t(r + 8) * chromaStride + x] =
                uint8_t((b.cr[top + a] + b.cr[top + c] + b.cr[below + a] + b.cr[below + c] + bias) >> 2);
        }
    }
    for (int mcu = 0; mcu < mcusAcross_; ++mcu) {
        for (int i = 0; i < 4; ++i) {
            const int bx = mcu * 2 + (i & 1), by = mcuRow * 2 + i / 2;
            if (bx < lumaBlocksAcross_ && by < lumaBlocksDown_)
                appendBlock(luma_, b.y.data(), padded, bx * 8, (i / 2) * 8);
        }
        appendBlock(cb_, b.chroma.data(), chromaStride, mcu * 8, 0);
        appendBlock(cr_, b.chroma.data(), chromaStride, mcu * 8, 8);
    }
}
