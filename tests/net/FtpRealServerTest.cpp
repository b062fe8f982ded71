// The FTP client against a real FTP server (pyftpdlib), directly and through microsocks.
#include <gtest/gtest.h>

#include "QtPrinters.h"

#include <QtCore/QDir>

#include "TransferTestFile.h"
#include "net/TFtpClient.h"
#include "netsupport/ExternalServer.h"

using namespace std::chrono_literals;

namespace {
const QString kPython = QStringLiteral("/usr/bin/python3");
const QString kMicrosocks = QStringLiteral("/usr/bin/microsocks");

class FtpRealServer : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!ExternalServer::installed(kPython) ||
            !QFileInfo::exists(QStringLiteral("/usr/lib/python3/dist-packages/pyftpdlib")))
            GTEST_SKIP() << "pyftpdlib for /usr/bin/python3 is not installed";
        ASSERT_TRUE(QDir().mkpath(file_.folder() + QStringLiteral("/store")));
        ASSERT_TRUE(ftp_.startAndReadPort(
            kPython, {QStringLiteral(PICTOREL_FTP_SERVER_SCRIPT), file_.folder() + QStringLiteral("/store")}));
        client_.SetHostName(QStringLiteral("127.0.0.1"));
        client_.SetPort(ftp_.port());
        client_.SetTimeout(10s);
        client_.SetLocalFileName(file_.path());
        client_.SetHostFileName(QStringLiteral("10.0.0.8_42.jpg"));
    }

    void startSocks(const QStringList& extra)
    {
        ASSERT_TRUE(socks_.startOnFreePort(kMicrosocks, [&](quint16 port) {
            return QStringList{QStringLiteral("-i"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                               QString::number(port)} +
                   extra;
        }));
        client_.SetSocksServer(QStringLiteral("127.0.0.1"));
        client_.SetSocksPort(QString::number(socks_.port()));
    }

    QByteArray stored() const
    {
        QFile file(file_.folder() + QStringLiteral("/store/10.0.0.8_42.jpg"));
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
    }

    void uploadAndCheck()
    {
        ASSERT_TRUE(client_.Connect()) << client_.LastReply().text.toStdString();
        ASSERT_TRUE(client_.Put()) << client_.LastReply().text.toStdString();
        EXPECT_EQ(client_.LastReply().code / 100, 2);
        EXPECT_TRUE(client_.Quit());
        EXPECT_TRUE(stored() == file_.bytes());
    }

    TransferTestFile file_{3 * 1024 * 1024 + 17};
    ExternalServer ftp_;
    ExternalServer socks_;
    TFtpClient client_;
};
} // namespace

TEST_F(FtpRealServer, UploadsDirectlyInActiveMode)
{
    uploadAndCheck();
    // A second exchange on the same client starts afresh.
    client_.SetHostFileName(QStringLiteral("10.0.0.8_42.jpg"));
    uploadAndCheck();
}

TEST_F(FtpRealServer, WrongPasswordFailsAndQuitCloses)
{
    client_.SetPassWord(QStringLiteral("wrong"));
    EXPECT_FALSE(client_.Connect());
    EXPECT_EQ(client_.LastReply().code, 530);
    client_.Quit();
    EXPECT_EQ(client_.state(), TFtpClient::State::NotConnected);
}

TEST_F(FtpRealServer, UploadsThroughSocksWithoutAuthentication)
{
    if (!ExternalServer::installed(kMicrosocks))
        GTEST_SKIP() << "microsocks is not installed";
    ASSERT_NO_FATAL_FAILURE(startSocks({}));
    uploadAndCheck();
}

TEST_F(FtpRealServer, UploadsThroughSocksWithUserAndPassword)
{
    if (!ExternalServer::installed(kMicrosocks))
        GTEST_SKIP() << "microsocks is not installed";
    ASSERT_NO_FATAL_FAILURE(
        startSocks({QStringLiteral("-u"), QStringLiteral("alice"), QStringLiteral("-P"), QStringLiteral("s3cret")}));
    client_.SetSocksUserCode(QStringLiteral("alice"));
    client_.SetSocksPassword(QStringLiteral("s3cret"));
    uploadAndCheck();

    client_.SetSocksPassword(QStringLiteral("guess"));
    EXPECT_FALSE(client_.Connect());
    EXPECT_EQ(client_.LastReply().text, QStringLiteral("socks authentication failed"));
}
