#include "imaging/codecs/JpegDataBudget.h"

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

} // namespace

qint64 JpegDataBudget::codedBytes(const QByteArray& file)
{
    const auto* b = reinterpret_cast<const uchar*>(file.constData());
    const qsizetype n = file.size();
    qint64 coded = 0;
    qsizetype i = 2; // after the start-of-image marker
    while (i + 1 < n) {
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
        if (marker != startOfScan)
            continue;
        // The scan's data runs to the next marker other than a restart or a stuffed zero.
        while (i < n) {
            if (b[i] == 0xFF && i + 1 < n && b[i + 1] != 0x00 && !isRestart(b[i + 1]))
                break;
            if (b[i] == 0xFF && i + 1 < n) {
                coded += b[i + 1] == 0x00 ? 1 : 0;
                i += 2;
                continue;
            }
            ++coded;
            ++i;
        }
    }
    return coded;
}
