// A picture's unquantised DCT coefficients as libjpeg-turbo computes them for a 4:2:0 file: its
// fixed-point RGB -> YCbCr conversion, its 2x2 averaging with alternating rounding bias, its edge
// padding and its accurate integer DCT (outputs scaled up by 8). Computed once, quantised at will.
#pragma once

#include <QtGui/QImage>

#include <cstdint>
#include <vector>

class JpegCoefficients
{
  public:
    // The order of the 64 coefficients in the file: zigzag[k] is the natural (row-major) index.
    static constexpr int zigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,
                                       12, 19, 26, 33, 40, 48, 41, 34, 27, 20, 13, 6,  7,  14, 21, 28,
                                       35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23, 30, 37, 44, 51,
                                       58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

    // Empty unless `rgb` is a Format_RGB888 picture.
    explicit JpegCoefficients(const QImage& rgb);

    bool empty() const { return cb_.empty(); }
    int width() const { return width_; }
    int height() const { return height_; }
    int lumaBlocksAcross() const { return lumaBlocksAcross_; }
    int lumaBlocksDown() const { return lumaBlocksDown_; }
    int mcusAcross() const { return mcusAcross_; }
    int mcusDown() const { return mcusDown_; }
    // Luma blocks of the last MCUs that lie wholly outside the picture. The library codes them with
    // their neighbour's DC and no AC, so they are not stored.
    int paddingLumaBlocks() const { return mcusAcross_ * mcusDown_ * 4 - lumaBlocksAcross_ * lumaBlocksDown_; }

    // 64 coefficients per block in zig-zag order, the blocks in the file's coding order.
    const std::vector<int16_t>& luma() const { return luma_; }
    const std::vector<int16_t>& cb() const { return cb_; }
    const std::vector<int16_t>& cr() const { return cr_; }

  private:
    struct McuRowBuffers
    {
        std::vector<uint8_t> y, cb, cr, chroma;
    };
    void transformMcuRow(const QImage& rgb, int mcuRow, McuRowBuffers& buffers);

    int width_, height_;
    int lumaBlocksAcross_, lumaBlocksDown_, mcusAcross_, mcusDown_;
    std::vector<int16_t> luma_, cb_, cr_;
};
