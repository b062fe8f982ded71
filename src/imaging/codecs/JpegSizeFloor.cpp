#include "imaging/codecs/JpegSizeFloor.h"

#include <algorithm>
#include <bit>
#include <csetjmp>
#include <cstdio> // jpeglib.h needs FILE
#include <limits>
#include <memory>
#include <new>
#include <numeric>
#include <system_error>
#include <thread>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

#include <jpeglib.h>

namespace {

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
    bool complete = false;  // false: counting stopped early
};

JpegSizeFloor::JpegSizeFloor(const QImage& image) : coefficients_(image)
{
    proven_.fill(0);
    if (coefficients_.empty())
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
            lumaTables_[q][k] = uint16_t(maker->cinfo.quant_tbl_ptrs[0]->quantval[JpegCoefficients::zigzag[k]]);
            chromaTables_[q][k] = uint16_t(maker->cinfo.quant_tbl_ptrs[1]->quantval[JpegCoefficients::zigzag[k]]);
        }
    }
    tablesMade_ = true;
}

bool JpegSizeFloor::check(const QByteArray& fileAt100)
{
    startCheck(fileAt100);
    awaitCheck();
    return valid_;
}

// Comparing the coefficients means decoding the whole quality-100 file. A second thread does it
// while this one checks the markers, and then counts qualities in exceeds().
void JpegSizeFloor::startCheck(const QByteArray& fileAt100)
{
    awaitCheck();
    valid_ = false;
    if (!tablesMade_)
        return;
    fileAt100_ = fileAt100;
    compared_ = false;
    const auto compare = [this] {
        try {
            coefficientsAgree_ = coefficientsMatch(fileAt100_);
        } catch (const std::bad_alloc&) {
            coefficientsAgree_ = false;
        }
        compared_.store(true, std::memory_order_release);
    };
    try {
        comparing_ = std::jthread(compare);
    } catch (const std::system_error&) {
        compare(); // no second thread to be had
    }
    pending_ = matchesFile(fileAt100);
    if (!pending_)
        awaitCheck();
}

void JpegSizeFloor::awaitCheck()
{
    if (!pending_ && !comparing_.joinable())
        return; // settled already
    if (comparing_.joinable())
        comparing_.join();
    valid_ = pending_ && coefficientsAgree_;
    pending_ = false;
}

// While the coefficients are being compared, qualities from `top` down are counted here; none of
// them counts for anything unless the comparison holds.
void JpegSizeFloor::countWhileChecking(int top, qint64 limit, int lowest)
{
    for (int quality = top; quality >= lowest && !compared_.load(std::memory_order_acquire); --quality)
        countQuality(quality, limit);
    awaitCheck();
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
    const JpegCoefficients& m = coefficients_;
    if (int(reader->cinfo.image_width) != m.width() || int(reader->cinfo.image_height) != m.height() ||
        reader->cinfo.num_components != 3)
        return false;
    jvirt_barray_ptr* arrays = jpeg_read_coefficients(&reader->cinfo);
    const std::vector<int16_t>* stores[3] = {&m.luma(), &m.cb(), &m.cr()};
    for (int c = 0; c < 3; ++c) {
        const JpegDivisors divisors = divisorsOf(c == 0 ? lumaTables_[100] : chromaTables_[100]);
        const int across = c == 0 ? m.lumaBlocksAcross() : m.mcusAcross();
        const int down = c == 0 ? m.lumaBlocksDown() : m.mcusDown();
        size_t index = 0;
        for (int mcuRow = 0; mcuRow < m.mcusDown(); ++mcuRow) {
            const int rows = c == 0 ? 2 : 1;
            for (int mcu = 0; mcu < m.mcusAcross(); ++mcu)
                for (int i = 0; i < rows * rows; ++i) {
                    const int bx = mcu * rows + i % rows, by = mcuRow * rows + i / rows;
                    if (bx >= across || by >= down)
                        continue;
                    JBLOCKARRAY blocks = (*reader->cinfo.mem->access_virt_barray)(
                        reinterpret_cast<j_common_ptr>(&reader->cinfo), arrays[c], JDIMENSION(by), 1, FALSE);
                    const int16_t* mine = stores[c]->data() + 64 * index++;
                    for (int k = 0; k < 64; ++k) {
                        const int magnitude = quantized(std::abs(int(mine[k])), divisors, k);
                        if (blocks[0][bx][JpegCoefficients::zigzag[k]] != (mine[k] < 0 ? -magnitude : magnitude))
                            return false;
                    }
                }
        }
    }
    jpeg_finish_decompress(&reader->cinfo);
    return true;
}

// Symbol counts of one component's blocks, exactly as the library gathers them for its tables.
// Stops early, returning false, once `over(bits, block)` finds that the counts so far put the file
// above the limit; it is asked every 64 blocks.
template <typename Over>
static bool countBlocks(const std::vector<int16_t>& store, const JpegDivisors& d, std::array<uint64_t, 256>& dc,
                        std::array<uint64_t, 256>& ac, uint64_t& bitsFloor, const Over& over)
{
    int lastDc = 0;
    uint64_t bits = bitsFloor; // a local, not the reference: it would be reloaded after every count
    alignas(16) uint16_t magnitude[64];
    for (size_t at = 0; at < store.size(); at += 64) {
        if ((at & (64 * 63)) == 0 && over(bits, at / 64)) {
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
    const JpegDivisors luma = divisorsOf(lumaTables_[quality]), chroma = divisorsOf(chromaTables_[quality]);
    // Padding blocks repeat their neighbour's DC and carry no AC: a zero difference and an end of block.
    const uint64_t padding = uint64_t(coefficients_.paddingLumaBlocks());
    t.dc[0][0] = t.ac[0][0] = padding;
    t.bitsFloor = 2 * padding;
    // Closer to the limit, every 256 blocks, the symbols so far are also priced at an optimal code
    // for their own counts.
    const auto over = [&](uint64_t bits, size_t block) {
        const qint64 cheap = symbolFloor(bits);
        if (cheap > stopAbove)
            return true;
        return block % 256 == 0 && 3 * cheap > stopAbove && codedBound(t, bits) > stopAbove;
    };
    t.complete = countBlocks(coefficients_.luma(), luma, t.dc[0], t.ac[0], t.bitsFloor, over) &&
                 countBlocks(coefficients_.cb(), chroma, t.dc[1], t.ac[1], t.bitsFloor, over) &&
                 countBlocks(coefficients_.cr(), chroma, t.dc[1], t.ac[1], t.bitsFloor, over);
    return t;
}

// Every symbol costs at least one bit besides its extra bits, and the markers come before them: four
// Huffman tables, each with at least one symbol.
qint64 JpegSizeFloor::symbolFloor(uint64_t bits) const
{
    return fixedBytes_ + 4 * 22 + qint64((bits + 7) / 8);
}

// The symbols' extra bits plus an optimal code for the symbols themselves. A count cut short has
// both floors, and no code for all the symbols undercuts either.
qint64 JpegSizeFloor::bound(const Tally& t) const
{
    const qint64 coded = codedBound(t, t.bitsFloor);
    return t.complete ? coded : std::max(symbolFloor(t.bitsFloor), coded);
}

// The markers, the Huffman tables and the symbols counted so far under an optimal code for their
// counts; `bits` holds their extra bits and one bit for every symbol.
qint64 JpegSizeFloor::codedBound(const Tally& t, uint64_t bits) const
{
    qint64 tableBytes = 0;
    for (const auto* counts : {&t.dc[0], &t.dc[1], &t.ac[0], &t.ac[1]}) {
        std::vector<uint64_t> used;
        used.reserve(counts->size());
        for (uint64_t c : *counts)
            if (c > 0)
                used.push_back(c);
        tableBytes += 21 + qint64(used.size()); // marker, length, class/id, 16 counts, the symbols
        if (!used.empty()) {
            const uint64_t symbols = std::accumulate(used.begin(), used.end(), uint64_t(0));
            bits += huffmanCost(std::move(used)) - symbols; // bits already holds one bit per symbol
        }
    }
    return fixedBytes_ + tableBytes + qint64((bits + 7) / 8);
}

qint64 JpegSizeFloor::floor(int quality)
{
    awaitCheck();
    if (!valid_ || quality < 1 || quality > 100)
        return 0;
    if (!complete_[quality]) {
        proven_[quality] = bound(tally(quality, std::numeric_limits<qint64>::max()));
        complete_[quality] = true;
    }
    return proven_[quality];
}

bool JpegSizeFloor::exceeds(int quality, qint64 limit, int lowest)
{
    if (quality < 1 || quality > 100)
        return false;
    if (pending_)
        countWhileChecking(quality, limit, std::max(lowest, 1));
    if (!valid_)
        return false;
    if (proven_[quality] <= limit && !complete_[quality]) {
        computeBatch(quality, std::clamp(quality - lowest + 1, 1, batch_), limit);
        batch_ = std::min(batch_ * 2, 8);
    }
    return proven_[quality] > limit;
}

bool JpegSizeFloor::agrees(int quality, qint64 encodedSize)
{
    awaitCheck();
    if (!valid_ || quality < 1 || quality > 100 || proven_[quality] <= encodedSize)
        return true;
    valid_ = false;
    return false;
}

// Counts one quality as far as `limit` needs, unless that is known already.
void JpegSizeFloor::countQuality(int quality, qint64 limit)
{
    if (complete_[quality] || proven_[quality] > limit)
        return;
    const Tally t = tally(quality, limit);
    proven_[quality] = std::max(proven_[quality], bound(t));
    complete_[quality] = t.complete;
}

// Qualities top, top - 1, ... (count of them), split between this thread and one more. The ones
// below `top` are done ahead with the same limit; a later step with a higher limit redoes them.
void JpegSizeFloor::computeBatch(int top, int count, qint64 limit)
{
    auto work = [this, top, count, limit](int first) {
        for (int i = first; i < count; i += 2)
            countQuality(top - i, limit);
    };
    if (count == 1) {
        work(0);
        return;
    }
    // A helper that runs out of memory leaves its qualities unproven; they are then encoded instead.
    auto helperWork = [&work] {
        try {
            work(1);
        } catch (const std::bad_alloc&) {
        }
    };
    std::jthread helper; // joined on every way out, an exception from work(0) included
    try {
        helper = std::jthread(helperWork);
    } catch (const std::system_error&) {
        helperWork(); // no second thread to be had: do its share here
    }
    work(0);
}
