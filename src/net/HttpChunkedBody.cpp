#include "net/HttpChunkedBody.h"

namespace {

// The size at the front of a chunk line, before any ";extension"; -1 when it is not hex.
qint64 chunkSize(const QByteArray& line)
{
    const qsizetype end = line.indexOf(';');
    const QByteArray digits = (end < 0 ? line : line.left(end)).trimmed();
    if (digits.isEmpty() || digits.size() > 15) // 15 hex digits stay far below qint64's end
        return -1;
    qint64 value = 0;
    for (const char c : digits) {
        const int digit = c >= '0' && c <= '9'   ? c - '0'
                          : c >= 'a' && c <= 'f' ? c - 'a' + 10
                          : c >= 'A' && c <= 'F' ? c - 'A' + 10
                                                 : -1;
        if (digit < 0)
            return -1;
        value = value * 16 + digit;
    }
    return value;
}

} // namespace

HttpChunkedBody::Result HttpChunkedBody::feed(QByteArray& input, const Sink& sink)
{
    qsizetype at = 0;
    while (at < input.size() && state_ != State::Done && state_ != State::Broken) {
        if (state_ == State::Data) {
            const qint64 n = std::min<qint64>(remaining_, input.size() - at);
            sink(input.constData() + at, n);
            at += n;
            remaining_ -= n;
            if (remaining_ == 0)
                state_ = State::DataEnd;
            continue;
        }
        const qsizetype end = input.indexOf('\n', at);
        const qsizetype take = (end < 0 ? input.size() : end) - at;
        if (line_.size() + take > kLineLimit) {
            state_ = State::Broken;
            break;
        }
        line_.append(input.constData() + at, take);
        at += take;
        if (end < 0)
            break;
        ++at; // the '\n'
        if (line_.endsWith('\r'))
            line_.chop(1);
        const QByteArray line = std::exchange(line_, {});
        if (!takeLine(line))
            state_ = State::Broken;
    }
    input.remove(0, at);
    if (state_ == State::Broken)
        return Result::Malformed;
    return state_ == State::Done ? Result::Complete : Result::NeedMore;
}

bool HttpChunkedBody::takeLine(const QByteArray& line)
{
    switch (state_) {
    case State::Size:
        remaining_ = chunkSize(line);
        state_ = remaining_ > 0 ? State::Data : State::Trailer;
        return remaining_ >= 0;
    case State::DataEnd: // the line end after the data, nothing else
        state_ = State::Size;
        return line.isEmpty();
    case State::Trailer:
        if (line.isEmpty())
            state_ = State::Done;
        return true;
    default:
        return false;
    }
}
