// Taking http addresses apart, the request lines, and reading the answer's head.
#include <gtest/gtest.h>

#include "QtPrinters.h"

#include "net/HttpResponseHead.h"
#include "net/HttpUrl.h"
#include "net/NetError.h"

namespace {
QString raised(const QString& url)
{
    try {
        HttpUrl::parse(url);
    } catch (const NetError& error) {
        return QString::fromUtf8(error.what());
    }
    return {};
}

HttpResponseHead headOf(QByteArray text, QByteArray* rest = nullptr)
{
    HttpResponseHead head;
    if (head.feed(text) != HttpResponseHead::Result::Complete)
        head.finish(text);
    if (rest)
        *rest = text;
    return head;
}
} // namespace

TEST(HttpUrl, SplitsHostPortAndPath)
{
    HttpUrl url = HttpUrl::parse("http://www.example:8080/data/mp_dat.sys");
    EXPECT_EQ(url.host, QStringLiteral("www.example"));
    EXPECT_EQ(url.port, 8080);
    EXPECT_EQ(url.path, QStringLiteral("/data/mp_dat.sys"));
    EXPECT_EQ(url.absolute, QStringLiteral("http://www.example:8080/data/mp_dat.sys"));

    url = HttpUrl::parse("http://www.example");
    EXPECT_EQ(url.port, 80);
    EXPECT_EQ(url.path, QStringLiteral("/"));

    url = HttpUrl::parse("www.example/a/b");
    EXPECT_EQ(url.host, QStringLiteral("www.example"));
    EXPECT_EQ(url.path, QStringLiteral("/a/b"));
    EXPECT_EQ(url.absolute, QStringLiteral("http://www.example/a/b"));
}

TEST(HttpUrl, RaisesTheProgramsErrors)
{
    EXPECT_EQ(raised(""), QStringLiteral("Empty URL"));
    EXPECT_EQ(raised("   "), QStringLiteral("Empty URL"));
    EXPECT_EQ(raised("HTTPS://www.example/"), QStringLiteral("HTTP Secure Socket is not supported"));
    EXPECT_EQ(raised("http:///path"), QStringLiteral("Null Remote Address"));
    EXPECT_FALSE(raised("http://host:0/").isEmpty());
    EXPECT_FALSE(raised("http://host:65536/").isEmpty());
    EXPECT_FALSE(raised("http://host:http/").isEmpty());
    // A line break in the address would add lines of its own to the request.
    EXPECT_FALSE(raised("http://host/a\r\nX-Evil: 1").isEmpty());
    EXPECT_FALSE(raised("http://host/a b").isEmpty());
}

TEST(HttpUrl, RequestLinesDirectAndThroughAProxy)
{
    const HttpUrl url = HttpUrl::parse("http://www.example:8080/data/mp_dat.sys");
    const QByteArray accept = "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
                              "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n"
                              "Content-type: application/x-www-form-urlencoded\r\n\r\n";
    EXPECT_EQ(url.request(false), "GET /data/mp_dat.sys HTTP/1.0\r\nHost: www.example\r\n" + accept);
    EXPECT_EQ(url.request(true), "GET http://www.example:8080/data/mp_dat.sys HTTP/1.0\r\n"
                                 "Proxy-Connection: Keep-Alive\r\nHost: www.example\r\n" +
                                     accept);
}

TEST(HttpUrl, ResolvesRedirectLocations)
{
    const HttpUrl url = HttpUrl::parse("http://www.example:8080/data/old.sys");
    EXPECT_EQ(url.resolve("/new/file"), QStringLiteral("http://www.example:8080/new/file"));
    EXPECT_EQ(url.resolve("other.sys"), QStringLiteral("http://www.example:8080/data/other.sys"));
    EXPECT_EQ(url.resolve("http://mirror.example/x"), QStringLiteral("http://mirror.example/x"));
}

TEST(HttpResponseHead, StatusFromTheSecondWord)
{
    EXPECT_EQ(headOf("HTTP/1.0 404 Not Found\r\n\r\n").status(), 404);
    EXPECT_EQ(headOf("HTTP/1.1  200  OK\n\n").status(), 200);
    EXPECT_EQ(headOf("garbage\r\n\r\n").status(), 0);
    EXPECT_EQ(headOf("HTTP/1.0 OK 200\r\n\r\n").status(), 0);
    EXPECT_EQ(headOf("HTTP/1.0 99999999999\r\n\r\n").status(), 0);
    EXPECT_EQ(headOf("HTTP/1.0 302 Found").status(), 302);
}

TEST(HttpResponseHead, OnlyHttpOneStatusLinesAreValidAndACutHeadIsNotWhole)
{
    for (const char* valid : {"HTTP/1.0 200 OK", "HTTP/1.1 404", "HTTP/1.1  302  Found"})
        EXPECT_TRUE(headOf(QByteArray(valid) + "\r\n\r\n").statusLineValid()) << valid;
    for (const char* invalid : {"HTTP/2 200 OK", "HTTP/1.x 200", "HTTP/1.0 20", "HTTP/1.0 2000", "HTTP/1.0 20a",
                                "http/1.0 200 OK", "<html>", ""})
        EXPECT_FALSE(headOf(QByteArray(invalid) + "\r\n\r\n").statusLineValid()) << invalid;
    EXPECT_TRUE(headOf("HTTP/1.0 200 OK\r\n\r\n").whole());
    EXPECT_FALSE(headOf("HTTP/1.0 200 OK\r\nServer: x\r\n").whole());
}

TEST(HttpResponseHead, HeadersEndAtTheEmptyLineAndTheRestIsBody)
{
    QByteArray rest;
    const HttpResponseHead head =
        headOf("HTTP/1.0 301 Moved\r\nLOCATION:  http://b.example/x \r\ncontent-length: 5\r\n\r\nhello\r\n\r\n", &rest);
    EXPECT_EQ(head.location(), QStringLiteral("http://b.example/x"));
    EXPECT_EQ(head.contentLength(), std::optional<qint64>(5));
    EXPECT_EQ(rest, "hello\r\n\r\n");
}

TEST(HttpResponseHead, UntrustworthyLengthsAreDropped)
{
    EXPECT_FALSE(headOf("HTTP/1.0 200 OK\r\nContent-Length: -5\r\n\r\n").contentLength());
    EXPECT_FALSE(headOf("HTTP/1.0 200 OK\r\nContent-Length: 12abc\r\n\r\n").contentLength());
    EXPECT_FALSE(headOf("HTTP/1.0 200 OK\r\nContent-Length: 99999999999999999999999\r\n\r\n").contentLength());
    EXPECT_FALSE(headOf("HTTP/1.0 200 OK\r\nContent-Length: 5\r\nContent-Length: 6\r\n\r\n").contentLength());
    EXPECT_EQ(headOf("HTTP/1.0 200 OK\r\nContent-Length: 5\r\nContent-Length: 5\r\n\r\n").contentLength(),
              std::optional<qint64>(5));
}

TEST(HttpResponseHead, StopsAHeadBeyondTheLimit)
{
    HttpResponseHead endless;
    QByteArray line = "HTTP/1.0 200 OK\r\n";
    EXPECT_EQ(endless.feed(line), HttpResponseHead::Result::NeedMore);
    HttpResponseHead::Result result = HttpResponseHead::Result::NeedMore;
    for (int i = 0; i < 10000 && result == HttpResponseHead::Result::NeedMore; ++i) {
        QByteArray header = "X-Filler: " + QByteArray(100, 'a') + "\r\n";
        result = endless.feed(header);
    }
    EXPECT_EQ(result, HttpResponseHead::Result::TooLarge);

    HttpResponseHead oneLine;
    QByteArray huge(HttpResponseHead::kLimit + 1, 'x');
    EXPECT_EQ(oneLine.feed(huge), HttpResponseHead::Result::TooLarge);
}
