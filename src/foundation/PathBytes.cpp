#include "foundation/PathBytes.h"

namespace {

constexpr char16_t firstEscape = 0xdc80;
constexpr char16_t lastEscape = 0xdcff;

bool isContinuation(uchar byte)
{
    return (byte & 0xc0) == 0x80;
}

// The length of the valid UTF-8 sequence at `at`, or 0: no overlong forms, no surrogates, nothing
// beyond U+10FFFF.
qsizetype validSequenceAt(const QByteArray& bytes, qsizetype at)
{
    const auto byte = [&](qsizetype i) { return uchar(bytes.at(at + i)); };
    const uchar lead = byte(0);
    if (lead < 0x80)
        return 1;
    const qsizetype length = lead >= 0xc2 && lead <= 0xdf   ? 2
                             : lead >= 0xe0 && lead <= 0xef ? 3
                             : lead >= 0xf0 && lead <= 0xf4 ? 4
                                                            : 0;
    if (length == 0 || at + length > bytes.size())
        return 0;
    for (qsizetype i = 1; i < length; ++i)
        if (!isContinuation(byte(i)))
            return 0;
    const uchar second = byte(1);
    if ((lead == 0xe0 && second < 0xa0) || (lead == 0xed && second > 0x9f) || (lead == 0xf0 && second < 0x90) ||
        (lead == 0xf4 && second > 0x8f))
        return 0;
    return length;
}

bool isEscape(QChar c)
{
    return c.unicode() >= firstEscape && c.unicode() <= lastEscape;
}

} // namespace

namespace PathBytes {

QString fromBytes(const QByteArray& bytes)
{
    QString text;
    text.reserve(bytes.size());
    qsizetype runStart = 0;
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype length = validSequenceAt(bytes, at);
        if (length > 0) {
            at += length;
            continue;
        }
        text += QString::fromUtf8(bytes.constData() + runStart, at - runStart);
        text += QChar(char16_t(firstEscape + (uchar(bytes.at(at)) - 0x80)));
        runStart = ++at;
    }
    text += QString::fromUtf8(bytes.constData() + runStart, bytes.size() - runStart);
    return text;
}

QByteArray toBytes(QStringView text)
{
    QByteArray bytes;
    bytes.reserve(text.size());
    qsizetype runStart = 0;
    for (qsizetype i = 0; i < text.size(); ++i) {
        // The low half of a pair is a character of its own, never an escaped byte.
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate()) {
            ++i;
            continue;
        }
        if (!isEscape(text.at(i)))
            continue;
        bytes += text.mid(runStart, i - runStart).toUtf8();
        bytes += char(0x80 + (text.at(i).unicode() - firstEscape));
        runStart = i + 1;
    }
    bytes += text.mid(runStart).toUtf8();
    return bytes;
}

bool holdsRawBytes(QStringView text)
{
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate())
            ++i;
        else if (isEscape(text.at(i)))
            return true;
    }
    return false;
}

} // namespace PathBytes
