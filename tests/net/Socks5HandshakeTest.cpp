// The SOCKS 5 exchange byte by byte, including every refusal of a proxy's answer.
#include <gtest/gtest.h>

#include "QtPrinters.h"

#include "net/Socks5Handshake.h"

namespace {
QByteArray bytes(std::initializer_list<int> values)
{
    QByteArray out;
    for (int v : values)
        out.append(static_cast<char>(v));
    return out;
}

// Runs the handshake up to the connect request with method 0 chosen.
Socks5Handshake atReply(const QByteArray& host = "ftp.example", quint16 port = 21)
{
    Socks5Handshake handshake("", "", host, port);
    handshake.begin();
    handshake.advance(bytes({5, 0}));
    return handshake;
}
} // namespace

TEST(Socks5Handshake, WithoutAuthenticationSendsTheHostByName)
{
    Socks5Handshake handshake("", "", "ftp.example", 0x1234);
    EXPECT_EQ(handshake.begin(), bytes({5, 1, 0}));
    EXPECT_EQ(handshake.wanted(), 2);
    const QByteArray request = handshake.advance(bytes({5, 0}));
    EXPECT_EQ(request, bytes({5, 1, 0, 3, 11}) + "ftp.example" + bytes({0x12, 0x34}));
    EXPECT_EQ(handshake.wanted(), 5);
    EXPECT_TRUE(handshake.advance(bytes({5, 0, 0, 1, 127})).isEmpty());
    // Exactly the rest of the reply is asked for: what follows belongs to the tunnel.
    EXPECT_EQ(handshake.wanted(), 5);
    handshake.advance(bytes({0, 0, 1, 0, 21}));
    EXPECT_TRUE(handshake.done());
    EXPECT_EQ(handshake.wanted(), 0);
}

TEST(Socks5Handshake, UserAndPasswordWhenTheProxyChoosesThem)
{
    Socks5Handshake handshake("alice", "secret", "host", 21);
    EXPECT_EQ(handshake.begin(), bytes({5, 2, 0, 2}));
    EXPECT_EQ(handshake.advance(bytes({5, 2})), bytes({1, 5}) + "alice" + bytes({6}) + "secret");
    EXPECT_EQ(handshake.advance(bytes({1, 0})), bytes({5, 1, 0, 3, 4}) + "host" + bytes({0, 21}));

    Socks5Handshake refused("alice", "wrong", "host", 21);
    refused.begin();
    refused.advance(bytes({5, 2}));
    refused.advance(bytes({1, 1}));
    EXPECT_TRUE(refused.failed());
    EXPECT_EQ(refused.error(), QStringLiteral("socks authentication failed"));

    Socks5Handshake badVersion("alice", "secret", "host", 21);
    badVersion.begin();
    badVersion.advance(bytes({5, 2}));
    badVersion.advance(bytes({5, 0}));
    EXPECT_EQ(badVersion.error(), QStringLiteral("socks version error"));
}

TEST(Socks5Handshake, RefusesWrongVersionsAndMethods)
{
    Socks5Handshake four("", "", "host", 21);
    four.begin();
    four.advance(bytes({4, 0}));
    EXPECT_TRUE(four.failed());
    EXPECT_EQ(four.error(), QStringLiteral("socks version error"));

    Socks5Handshake none("", "", "host", 21);
    none.begin();
    none.advance(bytes({5, 0xff}));
    EXPECT_EQ(none.error(), QStringLiteral("authentification method not acceptable"));

    Socks5Handshake reply = atReply();
    reply.advance(bytes({4, 0, 0, 1, 0}));
    EXPECT_EQ(reply.error(), QStringLiteral("socks version error"));
}

TEST(Socks5Handshake, ReportsTheProxysReplyCodes)
{
    const std::pair<int, const char*> cases[] = {{1, "general SOCKS server failure"},
                                                 {2, "connection not allowed by ruleset"},
                                                 {3, "Network unreachable"},
                                                 {4, "Host unreachable"},
                                                 {5, "Connection refused"},
                                                 {6, "TTL expired"},
                                                 {7, "Command not supported"},
                                                 {8, "Address type not supported"},
                                                 {9, "unassigned error"},
                                                 {255, "unassigned error"}};
    for (const auto& [code, text] : cases) {
        Socks5Handshake handshake = atReply();
        handshake.advance(bytes({5, code, 0, 1, 0}));
        EXPECT_TRUE(handshake.failed()) << code;
        EXPECT_EQ(handshake.error(), QString::fromLatin1(text)) << code;
    }
}

TEST(Socks5Handshake, ReplyLengthFollowsTheAddressType)
{
    Socks5Handshake named = atReply();
    named.advance(bytes({5, 0, 0, 3, 9}));
    EXPECT_EQ(named.wanted(), 9 + 2);
    named.advance(QByteArray("localhost") + bytes({0, 21}));
    EXPECT_TRUE(named.done());

    Socks5Handshake six = atReply();
    six.advance(bytes({5, 0, 0, 4, 0}));
    EXPECT_EQ(six.wanted(), 15 + 2);

    for (int type : {0, 2, 5, 255}) {
        Socks5Handshake odd = atReply();
        odd.advance(bytes({5, 0, 0, type, 0}));
        EXPECT_TRUE(odd.failed()) << type;
    }
    Socks5Handshake emptyName = atReply();
    emptyName.advance(bytes({5, 0, 0, 3, 0}));
    EXPECT_TRUE(emptyName.failed());
}

TEST(Socks5Handshake, RefusesOverlongNamesBeforeSendingAnything)
{
    const QByteArray longest(255, 'u');
    EXPECT_FALSE(Socks5Handshake(longest, longest, "host", 21).begin().isEmpty());
    const QByteArray tooLong(256, 'u');
    for (Socks5Handshake handshake :
         {Socks5Handshake(tooLong, "", "host", 21), Socks5Handshake("", tooLong, "host", 21),
          Socks5Handshake("", "", tooLong, 21), Socks5Handshake("", "", "", 21)}) {
        EXPECT_TRUE(handshake.begin().isEmpty());
        EXPECT_TRUE(handshake.failed());
        EXPECT_EQ(handshake.wanted(), 0);
    }
}
