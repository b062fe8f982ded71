#include "net/HttpResponseHead.h"

#include <QtCore/QList>

#include <algorithm>

HttpResponseHead::Result HttpResponseHead::feed(QByteArray& buffer)
{
    while (!complete_) {
        const qsizetype end = buffer.indexOf('\n');
        if (end < 0)
            return consumed_ + buffer.size() > kLimit ? Result::TooLarge : Result::NeedMore;
        consumed_ += end + 1;
        if (consumed_ > kLimit)
            return Result::TooLarge;
        QByteArray line = buffer.left(end);
        buffer.remove(0, end + 1);
        takeLine(std::move(line));
    }
    return Result::Complete;
}

void HttpResponseHead::finish(QByteArray& buffer)
{
    if (!complete_ && !buffer.isEmpty())
        takeLine(buffer);
    buffer.clear();
    cutOff_ = !complete_;
    complete_ = true;
}

void HttpResponseHead::takeLine(QByteArray line)
{
    if (line.endsWith('\r'))
        line.chop(1);
    if (!haveStatus_)
        takeStatus(line);
    else if (line.isEmpty())
        complete_ = true;
    else
        takeHeader(line);
}

void HttpResponseHead::takeStatus(const QByteArray& line)
{
    haveStatus_ = true;
    const QList<QByteArray> words = line.split(' ');
    QList<QByteArray> filled;
    for (const QByteArray& word : words)
        if (!word.isEmpty())
            filled.append(word);
    bool ok = false;
    const int code = filled.size() > 1 ? filled[1].toInt(&ok) : 0;
    status_ = ok && code >= 0 && code <= 999 ? code : 0;
    const auto isDigit = [](char c) { return c >= '0' && c <= '9'; };
    statusLineValid_ = filled.size() > 1 && filled[0].size() == 8 && filled[0].startsWith("HTTP/1.") &&
                       isDigit(filled[0][7]) && filled[1].size() == 3 &&
                       std::all_of(filled[1].begin(), filled[1].end(), isDigit);
    if (!statusLineValid_)
        status_ = 0;
}

void HttpResponseHead::takeHeader(const QByteArray& line)
{
    const qsizetype colon = line.indexOf(':');
    if (colon <= 0)
        return;
    const QByteArray name = line.left(colon).trimmed().toLower();
    const QByteArray value = line.mid(colon + 1).trimmed();
    if (name == "location") {
        location_ = QString::fromLatin1(value);
    } else if (name == "transfer-encoding") {
        transferEncoding_ = value.toLower();
    } else if (name == "content-length" && !lengthConflict_) {
        bool ok = false;
        const qint64 length = value.toLongLong(&ok);
        const bool digitsOnly =
            !value.isEmpty() && std::all_of(value.begin(), value.end(), [](char c) { return c >= '0' && c <= '9'; });
        // A length that cannot be trusted is dropped; the body then ends with the connection.
        if (!ok || !digitsOnly || (contentLength_ && *contentLength_ != length)) {
            lengthConflict_ = true;
            contentLength_.reset();
        } else {
            contentLength_ = length;
        }
    }
}
