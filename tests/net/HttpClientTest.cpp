// The HTTP client against scripted servers: outcomes, request lines, redirects, limits, waits.
#include <gtest/gtest.h>

#include "QtPrinters.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTimer>
#include <optional>

#include "net/NetError.h"
#include "net/TNMHTTP.h"
#include "netsupport/ScriptedHttpServer.h"

namespace {
using Answer = ScriptedHttpServer::Answer;

const QByteArray kAccept = "Accept: www/source, text/html, video/mpeg, image/jpeg, image/x-tiff\r\n"
                           "Accept: image/x-rgb, image/x-xbm, image/gif, */*, application/postscript\r\n"
                           "Content-type: application/x-www-form-urlencoded\r\n\r\n";

class HttpClient : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        http_.SetBody(bodyPath());
        http_.SetInputFileMode(true);
        http_.SetTimeOut(3000);
        http_.SetReportLevel(0);
        http_.OnSuccess = [this] { events_ += "success;"; };
        http_.OnFailure = [this] { events_ += "failure;"; };
        http_.OnConnectionFailed = [this] { events_ += "connection failed;"; };
    }

    // Runs Get and returns the text of the error it raised, empty when none.
    QString get(const QString& url)
    {
        try {
            http_.Get(url);
        } catch (const NetError& error) {
            return QString::fromUtf8(error.what());
        }
        return {};
    }

    void answerAlways(const QByteArray& text, bool close = true)
    {
        server_.respond = [text, close](const QByteArray&) { return Answer{{text}, 0, close}; };
    }

    QString bodyPath() const { return dir_.filePath(QStringLiteral("mp_dat_tmp.sys")); }
    QByteArray body() const
    {
        QFile file(bodyPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    QTemporaryDir dir_;
    ScriptedHttpServer server_;
    TNMHTTP http_;
    QString events_;
};
} // namespace

TEST_F(HttpClient, DownloadsTheBodyWithTheExactRequest)
{
    answerAlways("HTTP/1.0 200 OK\r\nServer: test\r\n\r\nline one\r\n\r\nline two");
    EXPECT_EQ(get(server_.url(QStringLiteral("/data/mp_dat.sys"))), QString());
    EXPECT_EQ(events_, QStringLiteral("success;"));
    EXPECT_EQ(http_.StatusCode(), 200);
    EXPECT_EQ(body(), "line one\r\n\r\nline two");
    ASSERT_EQ(server_.requests.size(), 1);
    EXPECT_EQ(server_.requests[0], "GET /data/mp_dat.sys HTTP/1.0\r\nHost: 127.0.0.1\r\n" + kAccept);
}

TEST_F(HttpClient, ThroughAProxyTheRequestCarriesTheWholeAddress)
{
    answerAlways("HTTP/1.0 200 OK\r\nContent-Length: 4\r\n\r\nabcd");
    http_.SetProxy(QStringLiteral("127.0.0.1"));
    http_.SetProxyPort(server_.port());
    EXPECT_EQ(get(QStringLiteral("http://www.unresolvable.example/data/mp_dat.sys")), QString());
    EXPECT_EQ(events_, QStringLiteral("success;"));
    ASSERT_EQ(server_.requests.size(), 1);
    EXPECT_EQ(server_.requests[0], "GET http://www.unresolvable.example/data/mp_dat.sys HTTP/1.0\r\n"
                                   "Proxy-Connection: Keep-Alive\r\nHost: www.unresolvable.example\r\n" +
                                       kAccept);
}

TEST_F(HttpClient, OutcomesFollowTheStatus)
{
    answerAlways("HTTP/1.0 404 Not Found\r\nContent-Type: text/html\r\n\r\n<html>gone</html>");
    EXPECT_EQ(get(server_.url()), QString());
    EXPECT_EQ(events_, QStringLiteral("failure;"));
    EXPECT_EQ(body(), "<html>gone</html>");

    // An answer that is not HTTP is a failure, whatever follows; a web page is no catalogue.
    for (const char* notHttp : {"I am not HTTP at all\r\n\r\npayload", "HTTP/2.0 200 OK\r\n\r\npayload",
                                "HTTP/1.0 2000 OK\r\n\r\npayload", "<html>200 OK</html>\r\n\r\npayload"}) {
        events_.clear();
        answerAlways(notHttp);
        EXPECT_EQ(get(server_.url()), QString()) << notHttp;
        EXPECT_EQ(events_, QStringLiteral("failure;")) << notHttp;
        EXPECT_EQ(http_.StatusCode(), 0) << notHttp;
    }

    events_.clear();
    answerAlways("HTTP/1.0 300 Multiple Choices\r\nLocation: /elsewhere\r\n\r\n");
    EXPECT_EQ(get(server_.url()), QString());
    EXPECT_EQ(events_, QStringLiteral("failure;"));
}

TEST_F(HttpClient, WithoutFileModeTheBodyIsDropped)
{
    answerAlways("HTTP/1.0 200 OK\r\n\r\nnot wanted");
    http_.SetInputFileMode(false);
    EXPECT_EQ(get(server_.url()), QString());
    EXPECT_EQ(events_, QStringLiteral("success;"));
    EXPECT_FALSE(QFileInfo::exists(bodyPath()));
}

TEST_F(HttpClient, ClosingTheProgramEndsAWait)
{
    answerAlways("HTTP/1.0 200 OK\r\n\r\nthen silence", false);
    http_.SetTimeOut(30000);
    QTimer::singleShot(100, [] { QCoreApplication::exit(0); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(get(server_.url()).isEmpty());
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(events_, QString());
    // Let the next waits of this process run again.
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
}

TEST_F(HttpClient, EmptyBodyEmptiesAnExistingFile)
{
    {
        QFile old(bodyPath());
        ASSERT_TRUE(old.open(QIODevice::WriteOnly));
        old.write("stale content from the last update");
    }
    answerAlways("HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n");
    EXPECT_EQ(get(server_.url()), QString());
    EXPECT_EQ(events_, QStringLiteral("success;"));
    EXPECT_TRUE(QFileInfo::exists(bodyPath()));
    EXPECT_EQ(body(), QByteArray());
}

TEST_F(HttpClient, KeepAliveAnswerEndsAtItsLength)
{
    answerAlways("HTTP/1.0 200 OK\r\nContent-Length: 5\r\nConnection: keep-alive\r\n\r\nhello", false);
    http_.SetTimeOut(20000);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(get(server_.url()), QString());
    EXPECT_LT(clock.elapsed(), 15000) << "waited for the connection to close";
    EXPECT_EQ(events_, QStringLiteral("success;"));
    EXPECT_EQ(body(), "hello");
}

TEST_F(HttpClient, AnswersThatNeverEndOrEndEarlyRaiseWithoutEvent)
{
    http_.SetTimeOut(300);
    answerAlways("HTTP/1.0 200 OK\r\n\r\nno length and never closed", false);
    EXPECT_FALSE(get(server_.url()).isEmpty());
    EXPECT_EQ(events_, QString());

    answerAlways("HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nonly a little");
    EXPECT_FALSE(get(server_.url()).isEmpty());
    EXPECT_EQ(events_, QString());

    server_.respond = [](const QByteArray&) { return Answer{{}, 0, true}; };
    EXPECT_FALSE(get(server_.url()).isEmpty());
    EXPECT_EQ(events_, QString());

    // A head cut off before its empty line, even after a complete status line.
    for (const char* cut : {"HTTP/1.0 200 OK", "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n"}) {
        answerAlways(cut);
        EXPECT_EQ(get(server_.url()), QStringLiteral("The connection closed before the whole header arrived"));
        EXPECT_EQ(events_, QString());
    }
}

TEST_F(HttpClient, HeaderFloodIsRefused)
{
    QByteArray flood = "HTTP/1.0 200 OK\r\n";
    for (int i = 0; i < 2000; ++i)
        flood += "X-Filler: " + QByteArray(60, 'a') + "\r\n";
    answerAlways(flood, false);
    EXPECT_EQ(get(server_.url()), QStringLiteral("The answer's header is too large"));
    EXPECT_EQ(events_, QString());
}

TEST_F(HttpClient, FollowsRedirectsWithinLimits)
{
    server_.respond = [](const QByteArray& request) {
        if (request.startsWith("GET /old "))
            return Answer{{"HTTP/1.0 301 Moved\r\nLocation: /mid\r\n\r\nmoved"}};
        if (request.startsWith("GET /mid "))
            return Answer{{"HTTP/1.0 307 Temporary\r\nLocation: new\r\n\r\n"}};
        return Answer{{"HTTP/1.0 200 OK\r\n\r\nfinal body"}};
    };
    EXPECT_EQ(get(server_.url(QStringLiteral("/old"))), QString());
    EXPECT_EQ(events_, QStringLiteral("success;"));
    EXPECT_EQ(body(), "final body");
    EXPECT_EQ(server_.requests.size(), 3);
    EXPECT_TRUE(server_.requests[2].startsWith("GET /new HTTP/1.0\r\n"));

    // A chain one longer than allowed.
    events_.clear();
    server_.requests.clear();
    server_.respond = [](const QByteArray& request) {
        const int step = request.mid(5, 1).toInt();
        return Answer{{"HTTP/1.0 302 Found\r\nLocation: /" + QByteArray::number(step + 1) + "\r\n\r\n"}};
    };
    EXPECT_EQ(get(server_.url(QStringLiteral("/0"))), QString());
    EXPECT_EQ(events_, QStringLiteral("failure;"));
    EXPECT_EQ(server_.requests.size(), TNMHTTP::kMaxRedirects + 1);

    events_.clear();
    server_.requests.clear();
    server_.respond = [](const QByteArray& request) {
        return Answer{{request.startsWith("GET /a ") ? "HTTP/1.0 303 See\r\nLocation: /b\r\n\r\n"
                                                     : "HTTP/1.0 308 Perm\r\nLocation: /a\r\n\r\n"}};
    };
    EXPECT_EQ(get(server_.url(QStringLiteral("/a"))), QString());
    EXPECT_EQ(events_, QStringLiteral("failure;"));
    EXPECT_EQ(server_.requests.size(), 2);

    events_.clear();
    answerAlways("HTTP/1.0 302 Found\r\nLocation: https://secure.example/x\r\n\r\n");
    EXPECT_EQ(get(server_.url()), QString());
    EXPECT_EQ(events_, QStringLiteral("failure;"));
}

TEST_F(HttpClient, AddressAndConnectionErrors)
{
    EXPECT_EQ(get(QString()), QStringLiteral("Empty URL"));
    EXPECT_EQ(get(QStringLiteral("https://www.example/")), QStringLiteral("HTTP Secure Socket is not supported"));
    const QString lookup = get(QStringLiteral("http://no-such-host.invalid/x"));
    EXPECT_TRUE(lookup == QStringLiteral("Null Remote Address") || lookup == QStringLiteral("Host Lookup Timed Out"))
        << lookup.toStdString();
    EXPECT_EQ(events_, QString());

    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    EXPECT_FALSE(get(QStringLiteral("http://127.0.0.1:%1/x").arg(port)).isEmpty());
    EXPECT_EQ(events_, QStringLiteral("connection failed;"));

    events_.clear();
    http_.SetBody(dir_.filePath(QStringLiteral("no/such/folder/file")));
    answerAlways("HTTP/1.0 200 OK\r\n\r\nbody");
    EXPECT_FALSE(get(server_.url()).isEmpty());
    EXPECT_EQ(events_, QString());
}

TEST_F(HttpClient, SlowSteadyAnswerKeepsTheWindowAlive)
{
    server_.respond = [](const QByteArray&) {
        return Answer{{"HTTP/1.0 200 OK\r\n\r\n", "part one,", "part two,", "part three"}, 250, true};
    };
    // The pauses together stay within the request's one deadline.
    http_.SetTimeOut(3000);
    int ticks = 0;
    QString nested;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        if (nested.isEmpty())
            nested = get(server_.url());
    });
    timer.start(40);
    QElapsedTimer clock;
    clock.start();
    EXPECT_EQ(get(server_.url()), QString());
    timer.stop();
    EXPECT_GT(clock.elapsed(), 600);
    EXPECT_GT(ticks, 5);
    EXPECT_EQ(nested, QStringLiteral("A request is already in progress"));
    EXPECT_EQ(events_, QStringLiteral("success;"));
    EXPECT_EQ(body(), "part one,part two,part three");
}

TEST_F(HttpClient, OneDeadlineForTheWholeRequestEvenWhenDataKeepsComing)
{
    server_.respond = [](const QByteArray&) {
        QList<QByteArray> drip{"HTTP/1.0 200 OK\r\n"};
        for (int i = 0; i < 40; ++i)
            drip << "X-Slow: a\r\n";
        return Answer{drip, 100, true};
    };
    http_.SetTimeOut(500);
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(get(server_.url()).isEmpty());
    EXPECT_LT(clock.elapsed(), 2500);
    EXPECT_EQ(events_, QString());
}

TEST_F(HttpClient, InterimAnswersChunkedBodiesAndTheBodyCap)
{
    struct Case
    {
        QByteArray answer;
        qint64 cap;
        QString events;
        QByteArray body;
    };
    const QList<Case> cases = {
        {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 500 Oops\r\n\r\nbad", -1, "failure;", "bad"},
        {"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\nContent-Length: 2\r\n\r\nok", -1, "success;", "ok"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5;x=1\r\nhello\r\n1\r\n!\r\n0\r\nT: 1\r\n\r\n", -1,
         "success;", "hello!"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nzz\r\nhello\r\n0\r\n\r\n", -1, "", "(missing)"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhel", -1, "", "(missing)"},
        {"HTTP/1.1 200 OK\r\nTransfer-Encoding: gzip\r\n\r\nxx", -1, "", "(missing)"},
        {"HTTP/1.0 200 OK\r\n\r\n0123456789", 10, "success;", "0123456789"},
        {"HTTP/1.0 200 OK\r\n\r\n0123456789A", 10, "", "(missing)"},
    };
    for (const Case& c : cases) {
        events_.clear();
        QFile::remove(bodyPath());
        answerAlways(c.answer);
        http_.SetMaxBodyBytes(c.cap);
        get(server_.url());
        EXPECT_EQ(events_, c.events) << c.answer.constData();
        EXPECT_EQ(body(), c.body) << c.answer.constData();
    }
}

// The refusals the client decides itself carry their cause, so the caller can name it.
TEST_F(HttpClient, ItsOwnRefusalsCarryTheirCause)
{
    struct Case
    {
        const char* name;
        QByteArray answer;
        bool close;
        qint64 cap;
        NetError::Cause cause;
    };
    const Case cases[] = {
        {"deadline", "HTTP/1.0 200 OK\r\n\r\nno length and never closed", false, -1, NetError::Cause::TimedOut},
        {"cut short", "HTTP/1.0 200 OK\r\nContent-Length: 100\r\n\r\nonly a little", true, -1,
         NetError::Cause::CutShort},
        {"no answer", "", true, -1, NetError::Cause::CutShort},
        {"over the cap", "HTTP/1.0 200 OK\r\n\r\n0123456789A", true, 10, NetError::Cause::TooLarge},
    };
    http_.SetTimeOut(300);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        answerAlways(c.answer, c.close);
        http_.SetMaxBodyBytes(c.cap);
        std::optional<NetError::Cause> cause;
        try {
            http_.Get(server_.url());
        } catch (const NetError& error) {
            cause = error.cause();
        }
        EXPECT_EQ(cause, c.cause);
    }
    // A connection refused is reported by its own event, not as a refusal of ours.
    QTcpServer closed;
    closed.listen(QHostAddress::LocalHost, 0);
    const quint16 port = closed.serverPort();
    closed.close();
    try {
        http_.Get(QStringLiteral("http://127.0.0.1:%1/").arg(port));
        ADD_FAILURE() << "no error";
    } catch (const NetError& error) {
        EXPECT_EQ(error.cause(), NetError::Cause::Other);
    }
}
