// FTP replies and the PASV reply: lines are classified by their first four bytes alone, and the port
// of a well-formed 227 reply is read exactly.
#include "FuzzCheck.h"

#include "net/FtpPassiveReply.h"
#include "net/FtpReply.h"

#include <QtCore/QList>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QByteArray bytes = fuzzBytes(data, size);
    for (const QByteArray& line : bytes.split('\n')) {
        const FtpReply::LineKind kind = FtpReply::classify(line);
        if (kind != FtpReply::LineKind::Ignored) {
            const FtpReply reply = FtpReply::fromLine(line);
            FUZZ_CHECK(reply.code >= 0 && reply.code <= 999);
            FUZZ_CHECK((kind == FtpReply::LineKind::Intermediate) == (line.size() > 3 && line[3] == '-'));
        }
        if (const std::optional<quint16> port = FtpPassiveReply::port(QString::fromLatin1(line)))
            FUZZ_CHECK(line.contains(','));
    }
    if (size >= 6) {
        const QString text = QStringLiteral("227 Entering Passive Mode (%1,%2,%3,%4,%5,%6)")
                                 .arg(data[0])
                                 .arg(data[1])
                                 .arg(data[2])
                                 .arg(data[3])
                                 .arg(data[4])
                                 .arg(data[5]);
        const int port = data[4] * 256 + data[5];
        FUZZ_CHECK(FtpPassiveReply::port(text) == (port ? std::optional<quint16>(quint16(port)) : std::nullopt));
    }
    return 0;
}
