// The HTTP answer's head and chunked body: the outcome does not depend on how the bytes arrive,
// and the decoded body is never longer than what came.
#include "FuzzCheck.h"

#include "net/HttpChunkedBody.h"
#include "net/HttpResponseHead.h"

namespace {

struct Outcome
{
    HttpResponseHead::Result head = HttpResponseHead::Result::NeedMore;
    int status = 0;
    std::optional<qint64> length;
    QString location;
    HttpChunkedBody::Result body = HttpChunkedBody::Result::NeedMore;
    QByteArray decoded;
    bool operator==(const Outcome&) const = default;
};

// Feeds the bytes in pieces of `piece` bytes (0: all at once).
Outcome read(const QByteArray& bytes, qsizetype piece)
{
    Outcome o;
    HttpResponseHead head;
    HttpChunkedBody chunks;
    QByteArray buffer;
    const auto sink = [&o](const char* data, qint64 n) { o.decoded.append(data, n); };
    for (qsizetype at = 0; at < bytes.size();) {
        const qsizetype n = piece > 0 ? std::min(piece, bytes.size() - at) : bytes.size();
        buffer.append(bytes.mid(at, n));
        at += n;
        if (o.head == HttpResponseHead::Result::NeedMore)
            o.head = head.feed(buffer);
        if (o.head == HttpResponseHead::Result::Complete && o.body == HttpChunkedBody::Result::NeedMore)
            o.body = chunks.feed(buffer, sink);
        if (o.head == HttpResponseHead::Result::TooLarge || o.body != HttpChunkedBody::Result::NeedMore)
            break;
    }
    o.status = head.status();
    o.length = head.contentLength();
    o.location = head.location();
    return o;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const QByteArray bytes = fuzzBytes(data + 1, size - 1);
    const Outcome whole = read(bytes, 0);
    FUZZ_CHECK(whole.status >= 0 && whole.status <= 999);
    FUZZ_CHECK(whole.decoded.size() <= bytes.size());
    FUZZ_CHECK(!whole.length || *whole.length >= 0);
    FUZZ_CHECK(read(bytes, 1 + data[0] % 16) == whole);
    return 0;
}
