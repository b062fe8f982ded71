// The inner loops of resampling: weighted sums of whole rows and along one row, in fixed point.
#pragma once

#include <cstddef>
#include <cstdint>

class ResampleAxis;

class ResampleKernels
{
  public:
    // Intermediate values carry this many bits more than 8-bit pixels, so the two passes round only once.
    static constexpr int kExtraBits = 8;

    // out[i] = sum over taps of rows[k][i] * weights[k], scaled from 8-bit input to the intermediate precision.
    static void blendRowsDown(const uint8_t* const* rows, const int16_t* weights, int taps, std::size_t elements,
                              uint16_t* out);
    // blendRowsDown without machine-specific vector instructions: the fallback, and the reference in tests.
    static void blendRowsDownPortable(const uint8_t* const* rows, const int16_t* weights, int taps,
                                      std::size_t elements, uint16_t* out);
    // The same from intermediate rows back to 8 bits.
    static void blendRowsUp(const uint16_t* const* rows, const int16_t* weights, int taps, std::size_t elements,
                            uint8_t* out);

    // One row of RGB triples resampled along its length: 8-bit to intermediate, or intermediate to 8-bit.
    static void blendAlongRow(const uint8_t* src, const ResampleAxis& axis, uint16_t* out);
    // The intermediate source row must be readable eight elements past its last pixel.
    static void blendAlongRow(const uint16_t* src, const ResampleAxis& axis, uint8_t* out);
    static void blendAlongRowPortable(const uint16_t* src, const ResampleAxis& axis, uint8_t* out);
};
