// FTP reply grouping over several lines: a reply ends only at a line with its own code, and
// every reply's code is the three digits its last line starts with.
#include "FuzzCheck.h"

#include "net/FtpReplyAssembler.h"

#include <QtCore/QList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    FtpReplyAssembler assembler;
    QByteArray open; // the code of the multi-line reply in progress, by a model of the rule
    for (QByteArray line : fuzzBytes(data, size).split('\n')) {
        while (line.endsWith('\r'))
            line.chop(1);
        const bool wasOpen = assembler.inReply();
        FUZZ_CHECK(wasOpen == !open.isEmpty());
        const std::optional<FtpReply> reply = assembler.takeLine(line);
        if (!reply) {
            if (!wasOpen && FtpReply::classify(line) == FtpReply::LineKind::Intermediate)
                open = line.left(3);
            continue;
        }
        FUZZ_CHECK(reply->code >= 0 && reply->code <= 999);
        FUZZ_CHECK(line.left(3).toInt() == reply->code);
        FUZZ_CHECK(line.size() == 3 || line[3] != '-');
        if (wasOpen)
            FUZZ_CHECK(line.startsWith(open) && (line.size() == 3 || line[3] == ' '));
        FUZZ_CHECK(!assembler.inReply());
        open.clear();
    }
    return 0;
}
