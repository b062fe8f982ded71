// SOCKS 5 replies: the handshake reads only what it asked for, ends in exactly one of done and
// failed, and succeeds only on version 5 answers that grant the connection.
#include "FuzzCheck.h"

#include "net/Socks5Handshake.h"

#include <QtCore/QList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 1)
        return 0;
    const bool withPassword = data[0] & 1;
    Socks5Handshake handshake(withPassword ? "user" : "", withPassword ? "secret" : "", "example.com", 21);
    FUZZ_CHECK(!handshake.begin().isEmpty());
    const QByteArray replies = fuzzBytes(data + 1, size - 1);
    qsizetype at = 0;
    QList<QByteArray> steps;
    while (handshake.wanted() > 0 && at + handshake.wanted() <= replies.size()) {
        const qsizetype n = handshake.wanted();
        FUZZ_CHECK(n <= 300);
        steps << replies.mid(at, n);
        handshake.advance(steps.last());
        at += n;
    }
    FUZZ_CHECK(!(handshake.done() && handshake.failed()));
    FUZZ_CHECK(handshake.wanted() == 0 || (!handshake.done() && !handshake.failed()));
    if (handshake.failed())
        FUZZ_CHECK(!handshake.error().isEmpty());
    if (handshake.done()) {
        FUZZ_CHECK(steps.first().at(0) == 5);
        FUZZ_CHECK(steps.size() >= 3);
        const QByteArray& replyHead = steps.at(steps.size() - 2);
        FUZZ_CHECK(replyHead.at(0) == 5 && replyHead.at(1) == 0);
    }
    return 0;
}
