#include "output/JpegSizeFloor.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <limits>
#include <memory>
#include <numeric>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <jpeglib.h>

namespace {

constexpr int zigzag[64] = {0,  1,  8,  16, 9,  2,  3,  10, 17, 24, 32, 25, 18, 11, 4,  5,  12, 19, 26, 33, 40, 48,
                            41, 34, 27, 20, 13, 6,  7,  14, 21, 28, 35, 42, 49, 56, 57, 50, 43, 36, 29, 22, 15, 23,
                            30, 37, 44, 51, 58, 59, 52, 45, 38, 31, 39, 46, 53, 60, 61, 54, 47, 55, 62, 63};

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
        out.push_back(int16_t(d[zigzag[k]]));
}

int bitLength(unsigned v)
{
    return v ? 32 - std::countl_zero(v) : 0;
}

// Per zig-zag position: the magnitude quantises to ((|x| + corr) * recip >> 16) * scale >> 16, two
// 16-bit high multiplies, which SSE2 does eight at a time.
struct JpegDivisors
{
    alignas(16) std::array<uint16_t, 64> recip, corr, scale;
};

// The cost in bits of an optimal (unrestricted) prefix code for these symbol counts.
uint64_t huffmanCost(std::vector<uint64_t> weights)
{
    if (weights.size() == 1)
        return weights[0]; // a real code spends at least one bit per symbol
    std::sort(weights.begin(), weights.end());
    std::vector<uint64_t> merged;
    size_t a = 0, b = 0;
    uint64_t cost = 0;
    auto takeSmallest = [&] {
        if (b >= merged.size() || (a < weights.size() && weights[a] <= merged[b]))
            return weights[a++];
        return merged[b++];
    };
    for (size_t n = weights.size(); n > 1; --n) {
        const uint64_t w = takeSmallest() + takeSmallest();
        cost += w;
        merged.push_back(w);
    }
    return cost;
}

// The library's reciprocal quantiser (compute_reciprocal with the DCT's scale of 8): the same
// rounding as its integer and SIMD paths, which differs from plain division in rare cases.
JpegDivisors divisorsOf(const std::array<uint16_t, 64>& table)
{
    JpegDivisors d;
    for (int k = 0; k < 64; ++k) {
        const uint32_t divisor = uint32_t(table[k]) << 3;
        int r = 16 + bitLength(divisor) - 1;
        uint32_t fq = (uint32_t(1) << r) / divisor;
        const uint32_t fr = (uint32_t(1) << r) % divisor;
        uint32_t c = divisor / 2;
        if (fr == 0) {
            fq >>= 1;
            --r;
        } else if (fr <= divisor / 2) {
            ++c;
        } else {
            ++fq;
        }
        d.recip[k] = uint16_t(fq);
        d.corr[k] = uint16_t(c);
        d.scale[k] = uint16_t(1u << (32 - r)); // r is 18..26 for divisors 8..2040
    }
    return d;
}

inline int quantized(int magnitude, const JpegDivisors& d, int k)
{
    const uint32_t high = ((uint32_t(magnitude) + d.corr[k]) * d.recip[k]) >> 16;
    return int((high * d.scale[k]) >> 16);
}

// Quantises one block's magnitudes; returns a mask of the nonzero ones (bit k for position k).
inline uint64_t quantizeBlock(const int16_t* block, const JpegDivisors& d, uint16_t* magnitude)
{
#if defined(__SSE2__)
    const __m128i zero = _mm_setzero_si128();
    uint64_t zeros = 0;
    for (int k = 0; k < 64; k += 16) {
        __m128i isZero[2];
        for (int h = 0; h < 2; ++h) {
            const int at = k + 8 * h;
            const __m128i x = _mm_loadu_si128(reinterpret_cast<const __m128i*>(block + at));
            const __m128i a = _mm_max_epi16(x, _mm_sub_epi16(zero, x));
            const __m128i sum = _mm_add_epi16(a, _mm_load_si128(reinterpret_cast<const __m128i*>(d.corr.data() + at)));
            const __m128i high =
                _mm_mulhi_epu16(sum, _mm_load_si128(reinterpret_cast<const __m128i*>(d.recip.data() + at)));
            const __m128i q =
                _mm_mulhi_epu16(high, _mm_load_si128(reinterpret_cast<const __m128i*>(d.scale.data() + at)));
            _mm_storeu_si128(reinterpret_cast<__m128i*>(magnitude + at), q);
            isZero[h] = _mm_cmpeq_epi16(q, zero);
        }
        zeros |= uint64_t(uint32_t(_mm_movemask_epi8(_mm_packs_epi16(isZero[0], isZero[1])))) << k;
    }
    return ~zeros;
#else
    uint64_t nonzero = 0;
    for (int k = 0; k < 64; ++k) {
        magnitude[k] = uint16_t(quantized(std::abs(int(block[k])), d, k));
        nonzero |= uint64_t(magnitude[k] != 0) << k;
    }
    return nonzero;
#endif
}

struct ErrorExit
{
    jpeg_error_mgr pub;
    std::jmp_buf jump;
};

[[noreturn]] void leave(j_common_ptr cinfo)
{
    std::longjmp(reinterpret_cast<ErrorExit*>(cinfo->err)->jump, 1);
}

void silence(j_common_ptr, int) {}

// The quantisation tables the codec uses at every quality (force_baseline, as ImageFile writes).
struct TableMaker
{
    jpeg_compress_struct cinfo{};
    ErrorExit err{};
    ~TableMaker() { jpeg_destroy_compress(&cinfo); }
};

struct CoefficientReader
{
    jpeg_decompress_struct cinfo{};
    ErrorExit err{};
    ~CoefficientReader() { jpeg_destroy_decompress(&cinfo); }
};

} // namespace

struct JpegSizeFloor::Tally
{
    std::array<std::array<uint64_t, 256>, 2> dc{}, ac{};
    uint64_t bitsFloor = 0; // extra bits plus one bit for every symbol
    bool complete = false;  // false: counting stopped early, and only partialBound is known
    qint64 partialBound = 0;
};

JpegSizeFloor::JpegSizeFloor(const QImage& image) : width_(image.width()), height_(image.height())
{
    proven_.fill(0);
    if (image.isNull() || image.format() != QImage::Format_RGB888)
        return;
    auto maker = std::make_unique<TableMaker>();
    maker->cinfo.err = jpeg_std_error(&maker->err.pub);
    maker->err.pub.error_exit = leave;
    maker->err.pub.emit_message = silence;
    if (setjmp(maker->err.jump))
        return;
    jpeg_create_compress(&maker->cinfo);
    maker->cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&maker->cinfo);
    for (int q = 1; q <= 100; ++q) {
        jpeg_set_quality(&maker->cinfo, q, TRUE);
        for (int k = 0; k < 64; ++k) {
            lumaTables_[q][k] = uint16_t(maker->cinfo.quant_tbl_ptrs[0]->quantval[zigzag[k]]);
            chromaTables_[q][k] = uint16_t(maker->cinfo.quant_tbl_ptrs[1]->quantval[zigzag[k]]);
        }
    }
    transform(image);
    transformed_ = true;
}

bool JpegSizeFloor::check(const QByteArray& fileAt100)
{
    valid_ = transformed_ && matchesFile(fileAt100) && coefficientsMatch(fileAt100);
    return valid_;
}

void JpegSizeFloor::transform(const QImage& rgb)
{
    lumaBlocksAcross_ = (width_ + 7) / 8;
    lumaBlocksDown_ = (height_ + 7) / 8;
    mcusAcross_ = (width_ + 15) / 16;
    mcusDown_ = (height_ + 15) / 16;
    dummyLumaBlocks_ = mcusAcross_ * mcusDown_ * 4 - lumaBlocksAcross_ * lumaBlocksDown_;
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
void JpegSizeFloor::transformMcuRow(const QImage& rgb, int mcuRow, McuRowBuffers& b)
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

// The file's marker layout: everything but the Huffman tables and the entropy-coded data is the
// same at every quality. The table markers must be what tally() predicts.
bool JpegSizeFloor::matchesFile(const QByteArray& file)
{
    const auto* b = reinterpret_cast<const uchar*>(file.constData());
    const qsizetype n = file.size();
    if (n < 4 || b[0] != 0xFF || b[1] != 0xD8 || b[n - 2] != 0xFF || b[n - 1] != 0xD9)
        return false;
    qint64 tableBytes = 0, entropyStart = 0;
    bool baseline420 = false;
    for (qsizetype pos = 2; pos + 4 <= n;) {
        if (b[pos] != 0xFF)
            return false;
        const int marker = b[pos + 1], length = b[pos + 2] << 8 | b[pos + 3];
        if (marker == 0xC4)
            tableBytes += 2 + length;
        if (marker == 0xC0 && pos + 19 <= n)
            baseline420 = b[pos + 9] == 3 && b[pos + 11] == 0x22 && b[pos + 14] == 0x11 && b[pos + 17] == 0x11;
        if (marker == 0xDA) {
            entropyStart = pos + 2 + length;
            break;
        }
        pos += 2 + length;
    }
    if (!baseline420 || entropyStart == 0 || entropyStart > n - 2)
        return false;
    const qint64 entropyBytes = n - 2 - entropyStart;
    fixedBytes_ = n - tableBytes - entropyBytes;
    const Tally t = tally(100, std::numeric_limits<qint64>::max());
    qint64 predictedTables = 0;
    for (int table = 0; table < 2; ++table)
        predictedTables += 42 + std::count_if(t.dc[table].begin(), t.dc[table].end(), [](auto c) { return c > 0; }) +
                           std::count_if(t.ac[table].begin(), t.ac[table].end(), [](auto c) { return c > 0; });
    return predictedTables == tableBytes && bound(t) <= n;
}

// Every real block's quantised coefficients at quality 100 against those in the file.
bool JpegSizeFloor::coefficientsMatch(const QByteArray& file)
{
    auto reader = std::make_unique<CoefficientReader>();
    reader->cinfo.err = jpeg_std_error(&reader->err.pub);
    reader->err.pub.error_exit = leave;
    reader->err.pub.emit_message = silence;
    if (setjmp(reader->err.jump))
        return false;
    jpeg_create_decompress(&reader->cinfo);
    jpeg_mem_src(&reader->cinfo, reinterpret_cast<const uchar*>(file.constData()),
                 static_cast<unsigned long>(file.size()));
    jpeg_read_header(&reader->cinfo, TRUE);
    if (int(reader->cinfo.image_width) != width_ || int(reader->cinfo.image_height) != height_ ||
        reader->cinfo.num_components != 3)
        return false;
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&reader->cinfo);
    const std::vector<int16_t>* stores[3] = {&luma_, &cb_, &cr_};
    for (int c = 0; c < 3; ++c) {
        const JpegDivisors divisors = divisorsOf(c == 0 ? lumaTables_[100] : chromaTables_[100]);
        const int across = c == 0 ? lumaBlocksAcross_ : mcusAcross_, down = c == 0 ? lumaBlocksDown_ : mcusDown_;
        size_t index = 0;
        for (int mcuRow = 0; mcuRow < mcusDown_; ++mcuRow) {
            const int rows = c == 0 ? 2 : 1;
            for (int mcu = 0; mcu < mcusAcross_; ++mcu)
                for (int i = 0; i < rows * rows; ++i) {
                    const int bx = mcu * rows + i % rows, by = mcuRow * rows + i / rows;
                    if (bx >= across || by >= down)
                        continue;
                    JBLOCKARRAY blocks = (*reader->cinfo.mem->access_virt_barray)(
                        reinterpret_cast<j_common_ptr>(&reader->cinfo), arrays[c], JDIMENSION(by), 1, FALSE);
                    const int16_t* mine = stores[c]->data() + 64 * index++;
                    for (int k = 0; k < 64; ++k) {
                        const int magnitude = quantized(std::abs(int(mine[k])), divisors, k);
                        if (blocks[0][bx][zigzag[k]] != (mine[k] < 0 ? -magnitude : magnitude))
                            return false;
                    }
                }
        }
    }
    jpeg_finish_decompress(&reader->cinfo);
    return true;
}

// Symbol counts of one component's blocks, exactly as the library gathers them for its tables.
// Stops early, returning false, once the counts alone put the file above `stopAbove`: every symbol
// costs at least one bit besides its extra bits, and `base` bytes are spent before any of them.
static bool countBlocks(const std::vector<int16_t>& store, const JpegDivisors& d, std::array<uint64_t, 256>& dc,
                        std::array<uint64_t, 256>& ac, uint64_t& bitsFloor, qint64 base, qint64 stopAbove)
{
    int lastDc = 0;
    uint64_t bits = bitsFloor; // a local, not the reference: it would be reloaded after every count
    alignas(16) uint16_t magnitude[64];
    for (size_t at = 0; at < store.size(); at += 64) {
        if ((at & (64 * 63)) == 0 && base + qint64((bits + 7) / 8) > stopAbove) {
            bitsFloor = bits;
            return false;
        }
        const int16_t* block = store.data() + at;
        uint64_t nonzero = quantizeBlock(block, d, magnitude) & ~uint64_t(1);
        const int dcValue = block[0] < 0 ? -magnitude[0] : magnitude[0];
        const int dcBits = bitLength(unsigned(std::abs(dcValue - lastDc)));
        lastDc = dcValue;
        ++dc[dcBits];
        bits += unsigned(dcBits) + 1;
        int previous = 0;
        while (nonzero) {
            const int k = std::countr_zero(nonzero);
            nonzero &= nonzero - 1;
            int run = k - previous - 1;
            for (; run > 15; run -= 16, ++bits)
                ++ac[0xF0];
            const int extra = bitLength(magnitude[k]);
            ++ac[(run << 4) | extra];
            bits += unsigned(extra) + 1;
            previous = k;
        }
        if (previous < 63) {
            ++ac[0]; // end of block
            ++bits;
        }
    }
    bitsFloor = bits;
    return true;
}

JpegSizeFloor::Tally JpegSizeFloor::tally(int quality, qint64 stopAbove) const
{
    Tally t;
    const qint64 base = fixedBytes_ + 4 * 22; // four table markers, each with at least one symbol
    const JpegDivisors luma = divisorsOf(lumaTables_[quality]), chroma = divisorsOf(chromaTables_[quality]);
    // Padding blocks repeat their neighbour's DC and carry no AC: a zero difference and an end of block.
    t.dc[0][0] = t.ac[0][0] = uint64_t(dummyLumaBlocks_);
    t.bitsFloor = 2 * uint64_t(dummyLumaBlocks_);
    t.complete = countBlocks(luma_, luma, t.dc[0], t.ac[0], t.bitsFloor, base, stopAbove) &&
                 countBlocks(cb_, chroma, t.dc[1], t.ac[1], t.bitsFloor, base, stopAbove) &&
                 countBlocks(cr_, chroma, t.dc[1], t.ac[1], t.bitsFloor, base, stopAbove);
    if (!t.complete)
        t.partialBound = base + qint64((t.bitsFloor + 7) / 8);
    return t;
}

// The symbols' extra bits plus an optimal code for the symbols themselves.
qint64 JpegSizeFloor::bound(const Tally& t) const
{
    if (!t.complete)
        return t.partialBound;
    qint64 tableBytes = 0;
    uint64_t bits = t.bitsFloor;
    for (const auto* counts : {&t.dc[0], &t.dc[1], &t.ac[0], &t.ac[1]}) {
        std::vector<uint64_t> used;
        for (uint64_t c : *counts)
            if (c > 0)
                used.push_back(c);
        tableBytes += 21 + qint64(used.size()); // marker, length, class/id, 16 counts, the symbols
        if (!used.empty()) {
            const uint64_t symbols = std::accumulate(used.begin(), used.end(), uint64_t(0));
            bits += huffmanCost(std::move(used)) - symbols; // bitsFloor already holds one bit per symbol
        }
    }
    return fixedBytes_ + tableBytes + qint64((bits + 7) / 8);
}

qint64 JpegSizeFloor::floor(int quality)
{
    if (!valid_ || quality < 1 || quality > 100)
        return 0;
    if (!complete_[quality]) {
        proven_[quality] = bound(tally(quality, std::numeric_limits<qint64>::max()));
        complete_[quality] = true;
    }
    return proven_[quality];
}

bool JpegSizeFloor::exceeds(int quality, qint64 limit)
{
    if (!valid_ || quality < 1 || quality > 100)
        return false;
    if (proven_[quality] <= limit && !complete_[quality]) {
        computeBatch(quality, std::min(batch_, quality), limit);
        batch_ = std::min(batch_ * 2, 8);
    }
    return proven_[quality] > limit;
}

// Qualities top, top - 1, ... (count of them), split between this thread and one more. The ones
// below `top` are done ahead with the same limit; a later step with a higher limit redoes them.
void JpegSizeFloor::computeBatch(int top, int count, qint64 limit)
{
    auto work = [this, top, count, limit](int first) {
        for (int i = first; i < count; i += 2) {
            const int quality = top - i;
            if (complete_[quality] || proven_[quality] > limit)
                continue;
            const Tally t = tally(quality, limit);
            proven_[quality] = std::max(proven_[quality], bound(t));
            complete_[quality] = t.complete;
        }
    };
    if (count == 1) {
        work(0);
        return;
    }
    std::thread helper;
    try {
        helper = std::thread(work, 1);
    } catch (const std::system_error&) {
        work(1); // no second thread to be had: do its share here
    }
    work(0);
    if (helper.joinable())
        helper.join();
}
