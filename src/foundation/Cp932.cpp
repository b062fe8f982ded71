#include "foundation/Cp932.h"

#include <cerrno>
#include <iconv.h>

namespace {

// Converts with iconv; an undecodable or unencodable character is replaced and skipped.
QByteArray convert(const char* from, const char* to, const QByteArray& input, qsizetype inputStep,
                   const QByteArray& replacement)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == iconv_t(-1))
        return {};
    QByteArray output;
    output.resize(input.size() * 4 + 16);
    char* in = const_cast<char*>(input.constData());
    size_t inLeft = size_t(input.size());
    char* out = output.data();
    size_t outLeft = size_t(output.size());
    const auto grow = [&] {
        const qsizetype used = out - output.data();
        output.resize(output.size() * 2);
        out = output.data() + used;
        outLeft = size_t(output.size() - used);
    };
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != size_t(-1))
            break;
        // E2BIG, or no room left for the replacement: more room, and the same place again.
        if (errno == E2BIG || outLeft < size_t(replacement.size())) {
            grow();
            continue;
        }
        // EILSEQ or EINVAL: replace one input unit and go on.
        memcpy(out, replacement.constData(), size_t(replacement.size()));
        out += replacement.size();
        outLeft -= size_t(replacement.size());
        const size_t step = std::min(size_t(inputStep), inLeft);
        in += step;
        inLeft -= step;
    }
    iconv_close(cd);
    output.truncate(out - output.data());
    return output;
}

} // namespace

QString Cp932::decode(const QByteArray& bytes)
{
    const QByteArray utf16 = convert("CP932", "UTF-16LE", bytes, 1, QByteArray("\xFD\xFF", 2));
    return QString(reinterpret_cast<const QChar*>(utf16.constData()), utf16.size() / 2);
}

QByteArray Cp932::encode(const QString& text)
{
    // Characters beyond the basic plane are never in the code page; one '?' stands for each.
    QString basic;
    basic.reserve(text.size());
    for (qsizetype i = 0; i < text.size(); ++i) {
        const bool pair = text.at(i).isHighSurrogate() && i + 1 < text.size() && text.at(i + 1).isLowSurrogate();
        basic += pair ? QChar(u'?') : text.at(i);
        i += pair ? 1 : 0;
    }
    const QByteArray utf16(reinterpret_cast<const char*>(basic.utf16()), basic.size() * 2);
    return convert("UTF-16LE", "CP932", utf16, 2, QByteArray("?"));
}

QString Cp932::unencodable(const QString& text)
{
    QString missing;
    if (decode(encode(text)) == text)
        return missing; // the common case: one conversion for the whole text
    for (qsizetype i = 0; i < text.size(); ++i) {
        const qsizetype length = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QString character = text.mid(i, length);
        if (decode(encode(character)) != character && !missing.contains(character))
            missing += character;
        i += length - 1;
    }
    return missing;
}
