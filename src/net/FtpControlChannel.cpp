#include "net/FtpControlChannel.h"

FtpControlChannel::FtpControlChannel(EventWait& wait) : wait_(wait)
{
    // Bounded: the socket stops reading from the peer once this much text waits unread.
    socket_.setReadBufferSize(4 * kLineLimit);
    wait_.watch(&socket_);
}

void FtpControlChannel::close()
{
    socket_.abort();
    replies_.reset();
    overflow_ = false;
}

void FtpControlChannel::send(const QByteArray& command)
{
    // A connection the server has closed gets nothing; reading the reply then reports it.
    if (isOpen())
        socket_.write(command + "\r\n");
}

FtpControlChannel::Result FtpControlChannel::readReply(FtpReply& reply)
{
    bool complete = false;
    const auto outcome = wait_.until([&] {
        complete = complete || takeReply(reply);
        return complete || overflow_ || !isOpen();
    });
    if (complete)
        return Result::Reply;
    if (overflow_)
        return Result::Overflow;
    if (outcome == EventWait::Outcome::TimedOut)
        return Result::TimedOut;
    if (outcome == EventWait::Outcome::Aborted)
        return Result::Aborted;
    return Result::Closed;
}

bool FtpControlChannel::takeReply(FtpReply& reply)
{
    while (socket_.canReadLine()) {
        QByteArray line = socket_.readLine(kLineLimit);
        if (!line.endsWith('\n')) {
            overflow_ = true;
            return false;
        }
        while (line.endsWith('\n') || line.endsWith('\r'))
            line.chop(1);
        if (std::optional<FtpReply> complete = replies_.takeLine(line)) {
            reply = *complete;
            return true;
        }
    }
    if (socket_.bytesAvailable() >= kLineLimit)
        overflow_ = true;
    return false;
}
