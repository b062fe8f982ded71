#include "net/FtpReply.h"

namespace {
bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}
} // namespace

FtpReply::LineKind FtpReply::classify(const QByteArray& line)
{
    if (line.size() < 3 || !isDigit(line[0]) || !isDigit(line[1]) || !isDigit(line[2]))
        return LineKind::Ignored;
    return line.size() > 3 && line[3] == '-' ? LineKind::Intermediate : LineKind::Final;
}

FtpReply FtpReply::fromLine(const QByteArray& line)
{
    return FtpReply{line.left(3).toInt(), QString::fromUtf8(line)};
}
