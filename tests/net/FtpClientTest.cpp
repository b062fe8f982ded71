// The FTP client against scripted servers: the usual exchange and servers that misbehave.
#include <gtest/gtest.h>

#include "QtPrinters.h"

#include <QtCore/QCoreApplication>
#include <QtCore/QElapsedTimer>
#include <QtCore/QTimer>

#include "TransferTestFile.h"
#include "net/TFtpClient.h"
#include "netsupport/ScriptedFtpServer.h"

using namespace std::chrono_literals;

namespace {
void aimAt(TFtpClient& client, const ScriptedFtpServer& server, std::chrono::milliseconds timeout = 5s)
{
    client.SetHostName(QStringLiteral("127.0.0.1"));
    client.SetPort(server.port());
    client.SetTimeout(timeout);
}

QList<QByteArray> words(const QList<QByteArray>& commands)
{
    QList<QByteArray> out;
    for (const QByteArray& line : commands)
        out.append(line.split(' ').first());
    return out;
}
} // namespace

TEST(FtpClient, DefaultsAreTheServicesLogin)
{
    TFtpClient client;
    EXPECT_EQ(client.Port(), 21);
    EXPECT_EQ(client.UserName(), QStringLiteral("jex"));
    EXPECT_EQ(client.PassWord(), QStringLiteral("zub"));
    EXPECT_EQ(client.Timeout(), 15s);
    EXPECT_TRUE(client.SocksServer().isEmpty());
}

TEST(FtpClient, UploadsInActiveModeFromTheControlAddress)
{
    ScriptedFtpServer server;
    TransferTestFile file(300000);
    TFtpClient client;
    aimAt(client, server);
    ASSERT_TRUE(client.Connect());
    EXPECT_EQ(client.state(), TFtpClient::State::Ready);
    client.SetLocalFileName(file.path());
    client.SetHostFileName(QStringLiteral("192.168.0.5_7.jpg"));
    ASSERT_TRUE(client.Put()) << client.LastReply().text.toStdString();
    EXPECT_TRUE(client.Quit());
    EXPECT_EQ(client.state(), TFtpClient::State::NotConnected);

    EXPECT_EQ(server.commands, (QList<QByteArray>{"USER jex", "PASS zub", "TYPE I", "PORT " + server.portArgument,
                                                  "STOR 192.168.0.5_7.jpg", "QUIT"}));
    EXPECT_TRUE(server.portArgument.startsWith("127,0,0,1,"));
    EXPECT_TRUE(server.received == file.bytes());
}

TEST(FtpClient, ReadsMultiLineRepliesAndBareLineFeeds)
{
    ScriptedFtpServer server;
    // Taking the first line for the greeting would make the next one look like USER's answer.
    server.greeting = "220-Welcome\r\nThis line has no code\r\n220-more text\n220 ready\r\n";
    server.replies["USER"] = "331 password\n";
    server.replies["PASS"] = "230-Hello\n230 logged in\n";
    TFtpClient client;
    aimAt(client, server);
    EXPECT_TRUE(client.Connect());
    EXPECT_EQ(client.LastReply().code, 230);
    EXPECT_EQ(client.LastReply().text, QStringLiteral("230 logged in"));

    // A "230 …" line inside a 331 reply is its text: taking it as the answer would skip PASS.
    ScriptedFtpServer tricky;
    tricky.replies["USER"] = "331-Password needed\r\n230 looks like a login\r\n331 send it\r\n";
    TFtpClient second;
    aimAt(second, tricky);
    EXPECT_TRUE(second.Connect());
    EXPECT_EQ(tricky.commands, (QList<QByteArray>{"USER jex", "PASS zub"}));
}

TEST(FtpClient, LoginVariants)
{
    {
        ScriptedFtpServer busy;
        busy.greeting = "421 Too many users\r\n";
        TFtpClient client;
        aimAt(client, busy);
        EXPECT_FALSE(client.Connect());
        EXPECT_EQ(client.LastReply().code, 421);
        EXPECT_EQ(client.state(), TFtpClient::State::NotConnected);
        EXPECT_TRUE(busy.commands.isEmpty());
    }
    {
        ScriptedFtpServer open;
        open.replies["USER"] = "230 no password needed\r\n";
        TFtpClient client;
        aimAt(client, open);
        EXPECT_TRUE(client.Connect());
        EXPECT_EQ(open.commands, QList<QByteArray>{"USER jex"});
    }
    {
        ScriptedFtpServer refusing;
        refusing.replies["PASS"] = "530 Login incorrect\r\n";
        TFtpClient client;
        aimAt(client, refusing);
        EXPECT_FALSE(client.Connect());
        EXPECT_EQ(client.LastReply().code, 530);
        // Still connected: a second Connect fails at once, Quit closes.
        EXPECT_FALSE(client.Connect());
        EXPECT_FALSE(client.Put());
        EXPECT_TRUE(client.Quit());
        EXPECT_EQ(words(refusing.commands), (QList<QByteArray>{"USER", "PASS", "QUIT"}));
    }
}

TEST(FtpClient, RefusedStoreKeepsTheControlConnection)
{
    ScriptedFtpServer server;
    server.replies["STOR"] = "550 Permission denied\r\n";
    TransferTestFile file(1000);
    TFtpClient client;
    aimAt(client, server);
    ASSERT_TRUE(client.Connect());
    client.SetLocalFileName(file.path());
    client.SetHostFileName(QStringLiteral("x.jpg"));
    EXPECT_FALSE(client.Put());
    EXPECT_EQ(client.LastReply().code, 550);
    EXPECT_EQ(client.state(), TFtpClient::State::Ready);
    EXPECT_TRUE(server.controlOpen());
    EXPECT_TRUE(client.Quit());
}

TEST(FtpClient, ActiveModeFailsAtOnceWhenTheServerCannotConnectBack)
{
    ScriptedFtpServer server;
    server.connectBack = false;
    server.replies["STOR"] = "150 Opening data connection\r\n425 Can't open data connection\r\n";
    TransferTestFile file(1000);
    TFtpClient client;
    // Waiting out this time-out instead of reading the 425 would end with "426 Timeout".
    aimAt(client, server, 120s);
    ASSERT_TRUE(client.Connect());
    client.SetLocalFileName(file.path());
    client.SetHostFileName(QStringLiteral("x.jpg"));
    EXPECT_FALSE(client.Put());
    EXPECT_EQ(client.LastReply().code, 425);
    EXPECT_EQ(client.state(), TFtpClient::State::Ready);
    EXPECT_TRUE(client.Quit());
}

TEST(FtpClient, DroppedTransferTakesTheServersReason)
{
    ScriptedFtpServer server;
    server.dropAfter = 100000;
    server.dropReply = "452 Disk full\r\n";
    TransferTestFile file(8 * 1024 * 1024);
    TFtpClient client;
    aimAt(client, server);
    ASSERT_TRUE(client.Connect());
    client.SetLocalFileName(file.path());
    client.SetHostFileName(QStringLiteral("a.jpg"));
    EXPECT_FALSE(client.Put());
    EXPECT_EQ(client.LastReply().text, QStringLiteral("452 Disk full"));
    // The reason was taken, so the next exchange is in step again.
    EXPECT_TRUE(client.Quit());
}

TEST(FtpClient, PutFailsBeforeStoreForBadLocalFileOrName)
{
    ScriptedFtpServer server;
    TransferTestFile file(10);
    TFtpClient client;
    aimAt(client, server);
    client.SetLocalFileName(file.path());
    EXPECT_FALSE(client.Put()) << "not connected";
    ASSERT_TRUE(client.Connect());
    client.SetLocalFileName(file.folder() + QStringLiteral("/missing.jpg"));
    client.SetHostFileName(QStringLiteral("a.jpg"));
    EXPECT_FALSE(client.Put());
    client.SetLocalFileName(file.path());
    client.SetHostFileName(QStringLiteral("a.jpg\r\nDELE important"));
    EXPECT_FALSE(client.Put());
    EXPECT_FALSE(server.commands.contains("DELE important"));
    EXPECT_EQ(words(server.commands).count("STOR"), 0);
    EXPECT_EQ(client.state(), TFtpClient::State::Ready);
}

TEST(FtpClient, SilentServerTimesOut)
{
    ScriptedFtpServer mute;
    mute.greeting.clear();
    TFtpClient client;
    aimAt(client, mute, 300ms);
    EXPECT_FALSE(client.Connect());
    EXPECT_EQ(client.LastReply().code, 426);
    EXPECT_EQ(client.LastReply().text, QStringLiteral("426 Timeout"));
    EXPECT_EQ(client.state(), TFtpClient::State::NotConnected);

    ScriptedFtpServer noFinalReply;
    noFinalReply.finalReply.clear();
    TransferTestFile file(5000);
    TFtpClient uploader;
    aimAt(uploader, noFinalReply, 300ms);
    ASSERT_TRUE(uploader.Connect());
    uploader.SetLocalFileName(file.path());
    uploader.SetHostFileName(QStringLiteral("a.jpg"));
    EXPECT_FALSE(uploader.Put());
    EXPECT_EQ(uploader.LastReply().text, QStringLiteral("426 Timeout"));
    EXPECT_EQ(uploader.state(), TFtpClient::State::NotConnected);
}

TEST(FtpClient, OverlongOrBrokenRepliesEndCleanly)
{
    ScriptedFtpServer flood;
    flood.greeting = QByteArray(20000, 'x');
    TFtpClient client;
    aimAt(client, flood);
    EXPECT_FALSE(client.Connect());
    EXPECT_EQ(client.LastReply().code, 500);
    EXPECT_EQ(client.state(), TFtpClient::State::NotConnected);

    ScriptedFtpServer longCode;
    longCode.greeting = "220 " + QByteArray(5000, 'y') + "\r\n";
    TFtpClient second;
    aimAt(second, longCode);
    EXPECT_FALSE(second.Connect());
    EXPECT_EQ(second.LastReply().code, 500);

    ScriptedFtpServer hangsUp;
    hangsUp.greeting = "220 ready\r\n";
    hangsUp.replies["USER"] = "331 go on\r\n";
    TFtpClient third;
    aimAt(third, hangsUp);
    hangsUp.replies["PASS"].clear();
    QTimer::singleShot(200, &hangsUp, [&hangsUp] { hangsUp.closeControl(); });
    EXPECT_FALSE(third.Connect());
    EXPECT_EQ(third.LastReply().code, 500);
    EXPECT_EQ(third.state(), TFtpClient::State::NotConnected);
}

TEST(FtpClient, SettingsStayWhileConnected)
{
    ScriptedFtpServer server;
    TFtpClient client;
    aimAt(client, server);
    ASSERT_TRUE(client.Connect());
    EXPECT_FALSE(client.SetSocksServer(QStringLiteral("proxy.example")));
    EXPECT_FALSE(client.SetSocksPort(QStringLiteral("1080")));
    EXPECT_FALSE(client.SetSocksUserCode(QStringLiteral("u")));
    EXPECT_FALSE(client.SetSocksPassword(QStringLiteral("p")));
    EXPECT_FALSE(client.SetHostName(QStringLiteral("other.example")));
    EXPECT_TRUE(client.SocksServer().isEmpty());
    EXPECT_TRUE(client.Quit());
    EXPECT_TRUE(client.SetSocksServer(QStringLiteral("  proxy.example ")));
    EXPECT_EQ(client.SocksServer(), QStringLiteral("proxy.example"));
}

TEST(FtpClient, SlowTransferKeepsTheWindowAliveAndRefusesSecondCalls)
{
    ScriptedFtpServer slow;
    slow.readChunk = 64 * 1024;
    slow.readPauseMs = 10;
    TransferTestFile file(12 * 1024 * 1024);
    TFtpClient client;
    // Far shorter than the whole transfer: only progress keeps it going.
    aimAt(client, slow, 1500ms);
    ASSERT_TRUE(client.Connect());
    client.SetLocalFileName(file.path());
    client.SetHostFileName(QStringLiteral("big.jpg"));

    int ticks = 0;
    bool nestedCallsFailed = true;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] {
        ++ticks;
        nestedCallsFailed = nestedCallsFailed && !client.Put() && !client.Quit() && !client.Connect();
    });
    timer.start(50);
    QElapsedTimer clock;
    clock.start();
    const bool stored = client.Put();
    timer.stop();
    EXPECT_TRUE(stored) << client.LastReply().text.toStdString() << " after " << slow.received.size();
    EXPECT_GT(clock.elapsed(), 1500);
    EXPECT_GT(ticks, 3);
    EXPECT_TRUE(nestedCallsFailed);
    EXPECT_TRUE(slow.received == file.bytes());
    EXPECT_TRUE(client.Quit());
}

TEST(FtpClient, ClosingTheProgramEndsAWait)
{
    ScriptedFtpServer mute;
    mute.greeting.clear();
    TFtpClient client;
    aimAt(client, mute, 30s);
    QTimer::singleShot(100, [] { QCoreApplication::exit(0); });
    QElapsedTimer clock;
    clock.start();
    EXPECT_FALSE(client.Connect());
    EXPECT_LT(clock.elapsed(), 10000);
    EXPECT_EQ(client.state(), TFtpClient::State::NotConnected);
    EXPECT_FALSE(client.LastReply().text.isEmpty());
    // Let the next waits of this process run again.
    QTimer::singleShot(0, [] { QCoreApplication::quit(); });
    QCoreApplication::exec();
}
