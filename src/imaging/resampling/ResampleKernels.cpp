#include "imaging/resampling/ResampleKernels.h"

#include "imaging/resampling/ResampleAxis.h"

#include <algorithm>
#include <cstring>
#include <vector>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define PICTOREL_HAVE_AVX2_KERNEL 1
#endif

namespace {

constexpr int kDownShift = ResampleAxis::kWeightBits - ResampleKernels::kExtraBits;
constexpr int kUpShift = ResampleAxis::kWeightBits + ResampleKernels::kExtraBits;
constexpr std::size_t kBlock = 16;
// Up to this many rows of 255 still add up within 16 bits.
constexpr int kMaxRun = 257;

// Sixteen lanes at a time, in the compiler's portable vector types.
using U8x16 = uint8_t __attribute__((vector_size(16)));
using U16x16 = uint16_t __attribute__((vector_size(32)));
using I32x16 = int32_t __attribute__((vector_size(64)));

template <typename Out> inline Out narrow(int32_t sum, int shift)
{
    const int32_t v = (sum + (1 << (shift - 1))) >> shift;
    if constexpr (sizeof(Out) == 1)
        return Out(std::min(255, v));
    else
        return Out(v);
}

// Consecutive rows that share one weight. Area averaging gives most rows of a target row the same weight, so
// 8-bit rows are first added up in 16 bits and multiplied once per run.
struct Run
{
    int first;
    int taps;
    int32_t weight;
};

std::vector<Run> runsOf(const int16_t* weights, int taps, bool merge)
{
    std::vector<Run> runs;
    for (int k = 0; k < taps;) {
        int end = k + 1;
        while (merge && end < taps && weights[end] == weights[k] && end - k < kMaxRun)
            ++end;
        runs.push_back({k, end - k, weights[k]});
        k = end;
    }
    return runs;
}

template <typename In, typename Out>
void blendTail(const In* const* rows, const int16_t* weights, int taps, std::size_t from, std::size_t elements,
               Out* out, int shift)
{
    for (std::size_t i = from; i < elements; ++i) {
        int32_t sum = 0;
        for (int k = 0; k < taps; ++k)
            sum += int32_t(rows[k][i]) * weights[k];
        out[i] = narrow<Out>(sum, shift);
    }
}

template <typename In, typename Out>
void blendRowsPortable(const In* const* rows, const int16_t* weights, int taps, std::size_t elements, Out* out,
                       int shift)
{
    using InVector = std::conditional_t<sizeof(In) == 1, U8x16, U16x16>;
    using OutVector = std::conditional_t<sizeof(Out) == 1, U8x16, U16x16>;
    const std::vector<Run> runs = runsOf(weights, taps, sizeof(In) == 1);
    const int32_t half = 1 << (shift - 1);
    std::size_t i = 0;
    for (; i + kBlock <= elements; i += kBlock) {
        I32x16 total = {};
        for (const Run& run : runs) {
            InVector in;
            std::memcpy(&in, rows[run.first] + i, sizeof in);
            if constexpr (sizeof(In) == 1) {
                U16x16 sum = __builtin_convertvector(in, U16x16);
                for (int r = 1; r < run.taps; ++r) {
                    std::memcpy(&in, rows[run.first + r] + i, sizeof in);
                    sum += __builtin_convertvector(in, U16x16);
                }
                total += __builtin_convertvector(sum, I32x16) * run.weight;
            } else {
                total += __builtin_convertvector(in, I32x16) * run.weight;
            }
        }
        total = (total + half) >> shift;
        if constexpr (sizeof(Out) == 1)
            total = total > 255 ? 255 : total;
        const OutVector narrowed = __builtin_convertvector(total, OutVector);
        std::memcpy(out + i, &narrowed, sizeof narrowed);
    }
    blendTail(rows, weights, taps, i, elements, out, shift);
}

#ifdef PICTOREL_HAVE_AVX2_KERNEL
// The shrinking pass with AVX2: 16 values per step, runs added in 16 bits, products widened to 32 bits with a
// low/high multiply pair, all held in registers.
__attribute__((target("avx2"))) void blendRowsDownAvx2(const uint8_t* const* rows, const int16_t* weights, int taps,
                                                       std::size_t elements, uint16_t* out)
{
    const std::vector<Run> runs = runsOf(weights, taps, true);
    const __m256i half = _mm256_set1_epi32(1 << (kDownShift - 1));
    std::size_t i = 0;
    for (; i + kBlock <= elements; i += kBlock) {
        __m256i low = _mm256_setzero_si256();
        __m256i high = _mm256_setzero_si256();
        for (const Run& run : runs) {
            __m256i sum = _mm256_cvtepu8_epi16(_mm_loadu_si128(reinterpret_cast<const __m128i*>(rows[run.first] + i)));
            for (int r = 1; r < run.taps; ++r)
                sum = _mm256_add_epi16(sum, _mm256_cvtepu8_epi16(_mm_loadu_si128(
                                                reinterpret_cast<const __m128i*>(rows[run.first + r] + i))));
            const __m256i weight = _mm256_set1_epi16(int16_t(run.weight));
            const __m256i productLow = _mm256_mullo_epi16(sum, weight);
            const __m256i productHigh = _mm256_mulhi_epu16(sum, weight);
            low = _mm256_add_epi32(low, _mm256_unpacklo_epi16(productLow, productHigh));
            high = _mm256_add_epi32(high, _mm256_unpackhi_epi16(productLow, productHigh));
        }
        low = _mm256_srli_epi32(_mm256_add_epi32(low, half), kDownShift);
        high = _mm256_srli_epi32(_mm256_add_epi32(high, half), kDownShift);
        // The in-lane pack undoes the in-lane unpack, so the values come out in order.
        _mm256_storeu_si256(reinterpret_cast<__m256i*>(out + i), _mm256_packus_epi32(low, high));
    }
    blendTail(rows, weights, taps, i, elements, out, kDownShift);
}

bool hasAvx2()
{
    static const bool available = __builtin_cpu_supports("avx2");
    return available;
}

// Intermediate back to 8 bits along a row, two taps at a time: the two pixels' values are paired by channel,
// then multiplied and added in one step (pmaddwd). That step is signed, so it takes the values less 32768 and the
// weights' share of that is added back after; the sums stay exact. A load reads eight values from a pair's first
// pixel: hence the slack the source row must have.
// One target pixel's three values, in the low lanes of four. The weights sum to kWeightOne, so 32768 of each
// value comes back as one constant.
__attribute__((target("ssse3"))) inline __m128i pixelAlongRowSsse3(const uint16_t* src, const ResampleAxis& axis, int t)
{
    const __m128i byChannel = _mm_setr_epi8(0, 1, 6, 7, 2, 3, 8, 9, 4, 5, 10, 11, -1, -1, -1, -1);
    const __m128i less = _mm_set1_epi16(int16_t(0x8000));
    const __m128i back = _mm_set1_epi32(32768 * ResampleAxis::kWeightOne + (1 << (kUpShift - 1))); // and rounding
    const int32_t* w = axis.weightPairs(t);
    const uint16_t* p = src + std::size_t(axis.first(t)) * 3;
    __m128i sum = back;
    for (int k = 0, pairs = axis.pairCount(t); k < pairs; ++k, p += 6) {
        const __m128i pair =
            _mm_shuffle_epi8(_mm_xor_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(p)), less), byChannel);
        sum = _mm_add_epi32(sum, _mm_madd_epi16(pair, _mm_set1_epi32(w[k])));
    }
    return _mm_srai_epi32(sum, kUpShift);
}

__attribute__((target("ssse3"))) void blendAlongRowUpSsse3(const uint16_t* src, const ResampleAxis& axis, uint8_t* out)
{
    // Four pixels are packed and stored together. Weights are never negative, so the saturating packs only cap
    // at 255, as narrow() does.
    const __m128i squeeze = _mm_setr_epi8(0, 1, 2, 4, 5, 6, 8, 9, 10, 12, 13, 14, -1, -1, -1, -1);
    int t = 0;
    for (; t + 4 <= axis.length(); t += 4, out += 12) {
        const __m128i low = _mm_packs_epi32(pixelAlongRowSsse3(src, axis, t), pixelAlongRowSsse3(src, axis, t + 1));
        const __m128i high =
            _mm_packs_epi32(pixelAlongRowSsse3(src, axis, t + 2), pixelAlongRowSsse3(src, axis, t + 3));
        const __m128i bytes = _mm_shuffle_epi8(_mm_packus_epi16(low, high), squeeze);
        _mm_storel_epi64(reinterpret_cast<__m128i*>(out), bytes);
        const int last = _mm_cvtsi128_si32(_mm_srli_si128(bytes, 8));
        std::memcpy(out + 8, &last, 4);
    }
    for (; t < axis.length(); ++t, out += 3) {
        const __m128i one = pixelAlongRowSsse3(src, axis, t);
        const int packed = _mm_cvtsi128_si32(_mm_packus_epi16(_mm_packs_epi32(one, one), one));
        std::memcpy(out, &packed, 3);
    }
}

bool hasSsse3()
{
    static const bool available = __builtin_cpu_supports("ssse3");
    return available;
}
#endif

template <typename In, typename Out> void blendAlongRowOf(const In* src, const ResampleAxis& axis, Out* out, int shift)
{
    for (int t = 0; t < axis.length(); ++t) {
        const int16_t* w = axis.weights(t);
        const In* p = src + std::size_t(axis.first(t)) * 3;
        int32_t r = 0, g = 0, b = 0;
        for (int k = 0; k < axis.count(t); ++k, p += 3) {
            r += int32_t(p[0]) * w[k];
            g += int32_t(p[1]) * w[k];
            b += int32_t(p[2]) * w[k];
        }
        out[3 * t] = narrow<Out>(r, shift);
        out[3 * t + 1] = narrow<Out>(g, shift);
        out[3 * t + 2] = narrow<Out>(b, shift);
    }
}

} // namespace

void ResampleKernels::blendRowsDown(const uint8_t* const* rows, const int16_t* weights, int taps, std::size_t elements,
                                    uint16_t* out)
{
#ifdef PICTOREL_HAVE_AVX2_KERNEL
    if (hasAvx2()) {
        blendRowsDownAvx2(rows, weights, taps, elements, out);
        return;
    }
#endif
    blendRowsDownPortable(rows, weights, taps, elements, out);
}

void ResampleKernels::blendRowsDownPortable(const uint8_t* const* rows, const int16_t* weights, int taps,
                                            std::size_t elements, uint16_t* out)
{
    blendRowsPortable(rows, weights, taps, elements, out, kDownShift);
}

void ResampleKernels::blendRowsUp(const uint16_t* const* rows, const int16_t* weights, int taps, std::size_t elements,
                                  uint8_t* out)
{
    blendRowsPortable(rows, weights, taps, elements, out, kUpShift);
}

void ResampleKernels::blendAlongRow(const uint8_t* src, const ResampleAxis& axis, uint16_t* out)
{
    blendAlongRowOf(src, axis, out, kDownShift);
}

void ResampleKernels::blendAlongRow(const uint16_t* src, const ResampleAxis& axis, uint8_t* out)
{
#ifdef PICTOREL_HAVE_AVX2_KERNEL
    if (hasSsse3()) {
        blendAlongRowUpSsse3(src, axis, out);
        return;
    }
#endif
    blendAlongRowPortable(src, axis, out);
}

void ResampleKernels::blendAlongRowPortable(const uint16_t* src, const ResampleAxis& axis, uint8_t* out)
{
    blendAlongRowOf(src, axis, out, kUpShift);
}
