// http addresses and the Location header: a parsed address never puts a line break, space or
// control character into the request, and where a Location points parses by the same rules.
#include "FuzzCheck.h"

#include "net/HttpUrl.h"
#include "net/NetError.h"

namespace {

// Every line of the request ends in CR LF and holds no other CR, LF or control character.
void checkRequest(const HttpUrl& url)
{
    FUZZ_CHECK(!url.host.isEmpty());
    FUZZ_CHECK(url.port > 0);
    for (const bool proxy : {false, true}) {
        const QByteArray request = url.request(proxy);
        FUZZ_CHECK(request.endsWith("\r\n\r\n"));
        FUZZ_CHECK(request.count("\r\n\r\n") == 1);
        for (qsizetype i = 0; i < request.size(); ++i) {
            const uchar c = uchar(request[i]);
            if (c == '\r')
                FUZZ_CHECK(i + 1 < request.size() && request[i + 1] == '\n');
            else if (c == '\n')
                FUZZ_CHECK(i > 0 && request[i - 1] == '\r');
            else
                FUZZ_CHECK(c >= 0x20 && c != 0x7f);
        }
        const QByteArray first = request.left(request.indexOf("\r\n"));
        FUZZ_CHECK(first.startsWith("GET ") && first.endsWith(" HTTP/1.0") && first.count(' ') == 2);
    }
}

std::optional<HttpUrl> parsed(const QString& text)
{
    try {
        return HttpUrl::parse(text);
    } catch (const NetError&) {
        return std::nullopt;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    // The first line is the address asked for, the rest a Location header's value.
    const qsizetype newline = bytes.indexOf('\n');
    const QString address = QString::fromUtf8(newline < 0 ? bytes : bytes.left(newline));
    const QString location = newline < 0 ? QString() : QString::fromLatin1(bytes.mid(newline + 1));
    const std::optional<HttpUrl> url = parsed(address);
    if (!url)
        return 0;
    checkRequest(*url);
    FUZZ_CHECK(parsed(url->absolute).has_value()); // the address as sent to a proxy reads back
    if (const std::optional<HttpUrl> next = parsed(url->resolve(location)))
        checkRequest(*next);
    return 0;
}
