// The FTP client through scripted SOCKS 5 proxies: passive mode, names sent unresolved,
// user/password sub-negotiation and proxies that answer wrongly.
#include <gtest/gtest.h>

#include "QtPrinters.h"

#include "TransferTestFile.h"
#include "net/TFtpClient.h"
#include "netsupport/ScriptedFtpServer.h"
#include "netsupport/ScriptedSocksProxy.h"

using namespace std::chrono_literals;

namespace {
// A host name nobody can resolve: only the proxy's relay makes it reachable.
const QString kHiddenHost = QStringLiteral("ftp.unresolvable.example");

void aimThrough(TFtpClient& client, const ScriptedFtpServer& server, const ScriptedSocksProxy& proxy)
{
    client.SetHostName(kHiddenHost);
    client.SetPort(server.port());
    client.SetTimeout(5s);
    client.SetSocksServer(QStringLiteral("127.0.0.1"));
    client.SetSocksPort(QString::number(proxy.port()));
}
} // namespace

TEST(FtpSocks, UploadsInPassiveModeToTheControlHost)
{
    ScriptedFtpServer server;
    // A hostile server names another machine; the client must ignore the address.
    const quint16 pasv = static_cast<quint16>(server.replies["PASV"].split(',')[4].toUInt() * 256 +
                                              server.replies["PASV"].split(',')[5].split(')')[0].toUInt());
    server.replies["PASV"] =
        QStringLiteral("227 Entering Passive Mode (203,0,113,9,%1,%2)\r\n").arg(pasv >> 8).arg(pasv & 0xff).toLatin1();
    ScriptedSocksProxy proxy;
    proxy.methodReply = QByteArray("\x05\x02", 2);
    TransferTestFile file(700000);
    TFtpClient client;
    aimThrough(client, server, proxy);
    client.SetSocksUserCode(QStringLiteral("alice"));
    client.SetSocksPassword(QStringLiteral("s3cret"));
    ASSERT_TRUE(client.Connect()) << client.LastReply().text.toStdString();
    client.SetLocalFileName(file.path());
    client.SetHostFileName(QStringLiteral("up.jpg"));
    ASSERT_TRUE(client.Put()) << client.LastReply().text.toStdString();
    EXPECT_TRUE(client.Quit());

    EXPECT_TRUE(server.received == file.bytes());
    EXPECT_TRUE(server.commands.contains("PASV"));
    EXPECT_TRUE(server.portArgument.isEmpty());
    EXPECT_EQ(proxy.greetings,
              (QList<QByteArray>{QByteArray("\x05\x02\x00\x02", 4), QByteArray("\x05\x02\x00\x02", 4)}));
    EXPECT_EQ(proxy.users, (QList<QByteArray>{"alice", "alice"}));
    EXPECT_EQ(proxy.passwords, (QList<QByteArray>{"s3cret", "s3cret"}));
    EXPECT_EQ(proxy.hosts, (QList<QByteArray>{kHiddenHost.toLatin1(), kHiddenHost.toLatin1()}));
    EXPECT_EQ(proxy.ports, (QList<quint16>{server.port(), pasv}));
}

TEST(FtpSocks, ReplyWithAHostNameIsSkippedExactly)
{
    ScriptedFtpServer server;
    ScriptedSocksProxy proxy;
    // The greeting follows the reply in the same write; it must not be taken for reply bytes.
    proxy.connectReply = QByteArray("\x05\x00\x00\x03\x09localhost\x00\x15", 16);
    TFtpClient client;
    aimThrough(client, server, proxy);
    EXPECT_TRUE(client.Connect()) << client.LastReply().text.toStdString();
    EXPECT_TRUE(client.Quit());
}

TEST(FtpSocks, WrongAnswersFailTheCall)
{
    const std::pair<QByteArray, QString> methodCases[] = {
        {QByteArray("\x04\x00", 2), QStringLiteral("socks version error")},
        {QByteArray("\x05\xff", 2), QStringLiteral("authentification method not acceptable")}};
    for (const auto& [reply, text] : methodCases) {
        ScriptedFtpServer server;
        ScriptedSocksProxy proxy;
        proxy.methodReply = reply;
        TFtpClient client;
        aimThrough(client, server, proxy);
        EXPECT_FALSE(client.Connect());
        EXPECT_EQ(client.LastReply().text, text);
        EXPECT_EQ(client.state(), TFtpClient::State::NotConnected);
        EXPECT_TRUE(proxy.hosts.isEmpty());
    }

    ScriptedFtpServer server;
    ScriptedSocksProxy refusing;
    refusing.methodReply = QByteArray("\x05\x02", 2);
    refusing.authReply = QByteArray("\x01\x01", 2);
    TFtpClient client;
    aimThrough(client, server, refusing);
    EXPECT_FALSE(client.Connect());
    EXPECT_EQ(client.LastReply().text, QStringLiteral("socks authentication failed"));

    ScriptedSocksProxy unreachable;
    unreachable.connectReply = QByteArray("\x05\x04\x00\x01\x00\x00\x00\x00\x00\x00", 10);
    TFtpClient second;
    aimThrough(second, server, unreachable);
    EXPECT_FALSE(second.Connect());
    EXPECT_EQ(second.LastReply().text, QStringLiteral("Host unreachable"));

    ScriptedSocksProxy oddType;
    oddType.connectReply = QByteArray("\x05\x00\x00\x07\x00\x00\x00\x00\x00\x00", 10);
    TFtpClient third;
    aimThrough(third, server, oddType);
    EXPECT_FALSE(third.Connect());
    EXPECT_EQ(third.state(), TFtpClient::State::NotConnected);
}

TEST(FtpSocks, OverlongCredentialsAreRefusedBeforeSending)
{
    ScriptedFtpServer server;
    ScriptedSocksProxy proxy;
    proxy.methodReply = QByteArray("\x05\x02", 2);
    TFtpClient client;
    aimThrough(client, server, proxy);
    client.SetSocksPassword(QString(256, QLatin1Char('p')));
    EXPECT_FALSE(client.Connect());
    EXPECT_TRUE(proxy.greetings.isEmpty());
    EXPECT_EQ(client.state(), TFtpClient::State::NotConnected);
}

TEST(FtpSocks, ProxyThatIsNotThereOrSilent)
{
    ScriptedFtpServer server;
    TFtpClient client;
    client.SetHostName(kHiddenHost);
    client.SetPort(server.port());
    client.SetSocksServer(QStringLiteral("127.0.0.1"));
    {
        QTcpServer closed;
        closed.listen(QHostAddress::LocalHost, 0);
        client.SetSocksPort(QString::number(closed.serverPort()));
    }
    EXPECT_FALSE(client.Connect());
    EXPECT_EQ(client.state(), TFtpClient::State::NotConnected);

    QTcpServer mute;
    mute.listen(QHostAddress::LocalHost, 0);
    client.SetSocksPort(QString::number(mute.serverPort()));
    client.SetTimeout(300ms);
    EXPECT_FALSE(client.Connect());
    EXPECT_EQ(client.LastReply().text, QStringLiteral("426 Timeout"));

    client.SetSocksPort(QStringLiteral("socks"));
    EXPECT_FALSE(client.Connect());
}
