// The code page both ways: decoding never grows the text, encoding gives bytes that decode without
// a replacement character and encode again to themselves.
#include "FuzzCheck.h"

#include "foundation/Cp932.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    const QString decoded = Cp932::decode(bytes);
    FUZZ_CHECK(decoded.size() <= bytes.size());
    QString expected = decoded;
    expected.replace(QChar(0xFFFD), QLatin1Char('?'));
    FUZZ_CHECK(Cp932::decode(Cp932::encode(decoded)) == expected);

    // The same bytes as UTF-16 text, lone surrogates and all.
    const QString text(reinterpret_cast<const QChar*>(bytes.constData()), bytes.size() / 2);
    const QByteArray encoded = Cp932::encode(text);
    FUZZ_CHECK(encoded.size() <= 2 * text.size());
    const QString back = Cp932::decode(encoded);
    FUZZ_CHECK(!back.contains(QChar(0xFFFD)));
    FUZZ_CHECK(Cp932::encode(back) == encoded);
    return 0;
}
