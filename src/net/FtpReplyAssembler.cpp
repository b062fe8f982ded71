#include "net/FtpReplyAssembler.h"

std::optional<FtpReply> FtpReplyAssembler::takeLine(const QByteArray& line)
{
    if (inReply()) {
        const bool last = line.startsWith(code_) && (line.size() == 3 || line[3] == ' ');
        if (!last)
            return std::nullopt;
        code_.clear();
        return FtpReply::fromLine(line);
    }
    switch (FtpReply::classify(line)) {
    case FtpReply::LineKind::Ignored:
        return std::nullopt;
    case FtpReply::LineKind::Intermediate:
        code_ = line.left(3);
        return std::nullopt;
    case FtpReply::LineKind::Final:
        break;
    }
    return FtpReply::fromLine(line);
}
