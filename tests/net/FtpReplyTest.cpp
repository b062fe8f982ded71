// Reading FTP reply lines and the passive-mode reply.
#include <gtest/gtest.h>

#include "QtPrinters.h"

#include "net/FtpPassiveReply.h"
#include "net/FtpReply.h"
#include "net/FtpReplyAssembler.h"

TEST(FtpReply, ClassifiesIntermediateFinalAndIgnoredLines)
{
    using Kind = FtpReply::LineKind;
    EXPECT_EQ(FtpReply::classify("220-Welcome"), Kind::Intermediate);
    EXPECT_EQ(FtpReply::classify("220 ready"), Kind::Final);
    EXPECT_EQ(FtpReply::classify("220"), Kind::Final);
    EXPECT_EQ(FtpReply::classify(" 220 indented text"), Kind::Ignored);
    EXPECT_EQ(FtpReply::classify("Welcome to the server"), Kind::Ignored);
    EXPECT_EQ(FtpReply::classify("22 short"), Kind::Ignored);
    EXPECT_EQ(FtpReply::classify(""), Kind::Ignored);
    const FtpReply reply = FtpReply::fromLine("550 Permission denied");
    EXPECT_EQ(reply.code, 550);
    EXPECT_EQ(reply.text, QStringLiteral("550 Permission denied"));
}

TEST(FtpReplyAssembler, AMultiLineReplyEndsOnlyAtItsOwnCodeAndASpace)
{
    struct Case
    {
        const char* name;
        QList<QByteArray> lines;
        QList<int> codes; // the replies completed, in order
    };
    const Case cases[] = {
        {"single lines", {"220 ready", "331", "230 in"}, {220, 331, 230}},
        {"another code inside", {"331-Password needed", "230 looks final but is text", "331 send it"}, {331}},
        {"own code with a dash inside", {"220-Welcome", "220-still welcome", "220 ready", "331 next"}, {220, 331}},
        {"text lines inside", {"250-Listing", " 250 indented", "plain text", "250 done"}, {250}},
        {"own code glued to text", {"226-a", "226x not the end", "226"}, {226}},
        {"noise outside", {"hello", "", "150 go"}, {150}},
    };
    for (const Case& c : cases) {
        FtpReplyAssembler assembler;
        QList<int> codes;
        QString lastText;
        for (const QByteArray& line : c.lines)
            if (const std::optional<FtpReply> reply = assembler.takeLine(line)) {
                codes << reply->code;
                lastText = reply->text;
            }
        EXPECT_EQ(codes, c.codes) << c.name;
        EXPECT_FALSE(assembler.inReply()) << c.name;
    }
    FtpReplyAssembler open;
    EXPECT_FALSE(open.takeLine("331-first"));
    EXPECT_TRUE(open.inReply());
}

TEST(FtpPassiveReply, TakesOnlyThePort)
{
    EXPECT_EQ(FtpPassiveReply::port("227 Entering Passive Mode (127,0,0,1,4,1)"), std::optional<quint16>(1025));
    EXPECT_EQ(FtpPassiveReply::port("227 =( 10, 1, 2, 3, 255, 255 )."), std::optional<quint16>(65535));
    // The address part is not used, so a foreign address still gives just the port.
    EXPECT_EQ(FtpPassiveReply::port("227 (203,0,113,9,0,21)"), std::optional<quint16>(21));
}

TEST(FtpPassiveReply, RefusesMalformedNumbers)
{
    EXPECT_FALSE(FtpPassiveReply::port("227 Entering Passive Mode"));
    EXPECT_FALSE(FtpPassiveReply::port("227 (127,0,0,1,4)"));
    EXPECT_FALSE(FtpPassiveReply::port("227 (127,0,0,1,4,1,7)"));
    EXPECT_FALSE(FtpPassiveReply::port("227 (127,0,0,1,256,1)"));
    EXPECT_FALSE(FtpPassiveReply::port("227 (127,0,0,1,1,65537)"));
    EXPECT_FALSE(FtpPassiveReply::port("227 (127,0,0,1,-1,3)"));
    EXPECT_FALSE(FtpPassiveReply::port("227 (127,0,0,1,x,3)"));
    EXPECT_FALSE(FtpPassiveReply::port("227 (127,0,0,1,0,0)"));
    EXPECT_FALSE(FtpPassiveReply::port("227 (127,0,0,1,0001,3)"));
    EXPECT_FALSE(FtpPassiveReply::port("227 )1,2,3,4,5,6("));
}
