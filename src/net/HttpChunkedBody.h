// Undoes "Transfer-Encoding: chunked": hex sizes, data, the closing zero chunk and its trailer.
// Fed the received bytes in any pieces; the size and trailer lines are bounded, so a peer cannot
// make it hold more than a few kilobytes besides the data it hands on.
#pragma once

#include <functional>

#include <QtCore/QByteArray>

class HttpChunkedBody
{
  public:
    static constexpr qsizetype kLineLimit = 4096;
    enum class Result { NeedMore, Complete, Malformed };
    using Sink = std::function<void(const char* data, qint64 size)>;

    // Takes what it can off the front of input, handing decoded data to sink. After Complete,
    // what stays in input follows the body.
    Result feed(QByteArray& input, const Sink& sink);

  private:
    enum class State { Size, Data, DataEnd, Trailer, Done, Broken };
    bool takeLine(const QByteArray& line);

    State state_ = State::Size;
    qint64 remaining_ = 0;
    QByteArray line_;
};
