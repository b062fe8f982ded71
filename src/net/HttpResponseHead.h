// The status line and header lines of an HTTP answer, read from the front of the received bytes
// within a fixed size limit.
#pragma once

#include <optional>

#include <QtCore/QByteArray>
#include <QtCore/QString>

class HttpResponseHead
{
  public:
    static constexpr qsizetype kLimit = 64 * 1024;

    enum class Result { NeedMore, Complete, TooLarge };

    // Takes the head's lines off the front of buffer; what stays after Complete is body.
    Result feed(QByteArray& buffer);
    // The connection ended before the empty line: a partial last line still counts.
    void finish(QByteArray& buffer);

    bool started() const { return haveStatus_; }
    // Whether the head ended with its empty line, rather than with the connection.
    bool whole() const { return complete_ && !cutOff_; }
    // Whether the status line reads "HTTP/1.x NNN …"; status() is 0 when it does not.
    bool statusLineValid() const { return statusLineValid_; }
    int status() const { return status_; }
    QString location() const { return location_; }
    std::optional<qint64> contentLength() const { return contentLength_; }
    // The Transfer-Encoding named, lower case; empty when none was.
    QByteArray transferEncoding() const { return transferEncoding_; }

  private:
    void takeLine(QByteArray line);
    void takeStatus(const QByteArray& line);
    void takeHeader(const QByteArray& line);

    qsizetype consumed_ = 0;
    bool haveStatus_ = false;
    bool complete_ = false;
    bool cutOff_ = false;
    bool statusLineValid_ = false;
    int status_ = 0;
    QString location_;
    std::optional<qint64> contentLength_;
    bool lengthConflict_ = false;
    QByteArray transferEncoding_;
};
