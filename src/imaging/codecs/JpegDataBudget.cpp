#include "imaging/codecs/JpegDataBudget.h"

#include <algorithm>
#include <cstring>

namespace {

constexpr uchar startOfScan = 0xDA;
constexpr uchar endOfImage = 0xD9;

bool isRestart(uchar marker)
{
    return marker >= 0xD0 && marker <= 0xD7;
}

// Markers that stand alone, without a length.
bool hasNoLength(uchar marker)
{
    return isRestart(marker) || marker == 0x01 || marker == 0xD8;
}

// The next 0xFF at or after i, or n. Coded data is mostly other bytes, so this skips most of it at once.
qsizetype nextFF(const uchar* b, qsizetype i, qsizetype n)
{
    const void* found = i < n ? std::memchr(b + i, 0xFF, size_t(n - i)) : nullptr;
    return found ? qsizetype(static_cast<const uchar*>(found) - b) : n;
}

// Counts one scan's data from i, to the next marker other than a restart or a stuffed zero; returns
// where the scan ends.
qsizetype countScan(const uchar* b, qsizetype i, qsizetype n, qint64& coded, qint64 enough)
{
    while (i < n && coded < enough) {
        const qsizetype ff = nextFF(b, i, n);
        coded += ff - i;
        i = ff;
        if (i + 1 >= n) {
            coded += n - i; // a last lone 0xFF
            return n;
        }
        if (b[i + 1] != 0x00 && !isRestart(b[i + 1]))
            return i;
        coded += b[i + 1] == 0x00 ? 1 : 0;
        i += 2;
    }
    return i;
}

} // namespace

qint64 JpegDataBudget::codedBytes(const QByteArray& file, qint64 enough)
{
    const auto* b = reinterpret_cast<const uchar*>(file.constData());
    const qsizetype n = file.size();
    qint64 coded = 0;
    qsizetype i = 2; // after the start-of-image marker
    while (i + 1 < n && coded < enough) {
        if (b[i] != 0xFF) {
            ++i; // bytes between segments are not picture data
            continue;
        }
        const uchar marker = b[i + 1];
        if (marker == 0xFF) {
            ++i; // fill byte
            continue;
        }
        i += 2;
        if (marker == endOfImage)
            break;
        if (hasNoLength(marker))
            continue;
        if (i + 1 >= n)
            break;
        const qsizetype length = qsizetype(b[i]) << 8 | b[i + 1];
        i += length;
        if (marker == startOfScan)
            i = countScan(b, i, n, coded, enough);
    }
    return std::min(coded, enough);
}
