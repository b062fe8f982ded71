// The HTTP client against a real file server (python3 -m http.server), directly and through
// tinyproxy.
#include <gtest/gtest.h>

#include "QtPrinters.h"

#include <QtCore/QTemporaryDir>
#include <QtCore/QTextStream>

#include "TransferTestFile.h"
#include "net/NetError.h"
#include "net/TNMHTTP.h"
#include "netsupport/ExternalServer.h"

namespace {
const QString kPython = QStringLiteral("/usr/bin/python3");
const QString kTinyproxy = QStringLiteral("/usr/bin/tinyproxy");

class HttpRealServer : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!ExternalServer::installed(kPython))
            GTEST_SKIP() << "/usr/bin/python3 is not installed";
        ASSERT_TRUE(
            web_.startAndReadPort(kPython, {QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"),
                                            QStringLiteral("0"), QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                                            QStringLiteral("--directory"), served_.folder()}));
        http_.SetBody(out_.filePath(QStringLiteral("mp_dat_tmp.sys")));
        http_.SetTimeOut(10000);
        http_.OnSuccess = [this] { events_ += "success;"; };
        http_.OnFailure = [this] { events_ += "failure;"; };
        http_.OnConnectionFailed = [this] { events_ += "connection failed;"; };
    }

    void startProxy()
    {
        const QString configPath = out_.filePath(QStringLiteral("tinyproxy.conf"));
        ASSERT_TRUE(proxy_.startOnFreePort(kTinyproxy, [&](quint16 port) {
            QFile config(configPath);
            if (config.open(QIODevice::WriteOnly))
                QTextStream(&config) << "Port " << port << "\nListen 127.0.0.1\nTimeout 30\nMaxClients 10\n"
                                     << "Allow 127.0.0.1\nLogLevel Error\n";
            return QStringList{QStringLiteral("-d"), QStringLiteral("-c"), configPath};
        }));
        http_.SetProxy(QStringLiteral("127.0.0.1"));
        http_.SetProxyPort(proxy_.port());
    }

    QByteArray downloaded() const
    {
        QFile file(http_.Body());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    QString url(const QString& name) const
    {
        return QStringLiteral("http://127.0.0.1:%1/%2").arg(web_.port()).arg(name);
    }

    TransferTestFile served_{2 * 1024 * 1024 + 3};
    QTemporaryDir out_;
    ExternalServer web_;
    ExternalServer proxy_;
    TNMHTTP http_;
    QString events_;
};
} // namespace

TEST_F(HttpRealServer, DownloadsDirectly)
{
    http_.Get(url(QStringLiteral("upload.jpg")));
    EXPECT_EQ(events_, QStringLiteral("success;"));
    EXPECT_EQ(http_.StatusCode(), 200);
    EXPECT_TRUE(downloaded() == served_.bytes());

    events_.clear();
    http_.Get(url(QStringLiteral("missing.sys")));
    EXPECT_EQ(events_, QStringLiteral("failure;"));
    EXPECT_EQ(http_.StatusCode(), 404);
    EXPECT_TRUE(downloaded().contains("404"));
}

TEST_F(HttpRealServer, DownloadsThroughTinyproxy)
{
    if (!ExternalServer::installed(kTinyproxy))
        GTEST_SKIP() << "tinyproxy is not installed";
    ASSERT_NO_FATAL_FAILURE(startProxy());
    http_.Get(url(QStringLiteral("upload.jpg")));
    EXPECT_EQ(events_, QStringLiteral("success;"));
    EXPECT_TRUE(downloaded() == served_.bytes());

    events_.clear();
    http_.Get(url(QStringLiteral("missing.sys")));
    EXPECT_EQ(events_, QStringLiteral("failure;"));
}
