#include "foundation/HandlerGuard.h"
#include "foundation/ProgramError.h"
#include "support/ScriptedPrompts.h"

#include <gtest/gtest.h>

TEST(TextToIntTest, AcceptsWhatTheFilesHoldAndRejectsTheRest)
{
    EXPECT_EQ(textToInt(QStringLiteral("240")), 240);
    EXPECT_EQ(textToInt(QStringLiteral(" -17")), -17);
    EXPECT_EQ(textToInt(QStringLiteral("+8")), 8);
    EXPECT_EQ(textToInt(QStringLiteral("2147483647")), 2147483647);
    EXPECT_EQ(textToInt(QStringLiteral("-2147483648")), -2147483647 - 1);
    for (const char* bad : {"", "12a", "2147483648", "1 2", "-", "0x10", "240 "})
        EXPECT_THROW(textToInt(QString::fromLatin1(bad)), ConversionError) << bad;
    try {
        textToInt(QStringLiteral("abc"));
        FAIL();
    } catch (const ConversionError& e) {
        EXPECT_EQ(e.text(), QStringLiteral("'abc' は整数ではありません"));
    }
}

TEST(HandlerGuardTest, ShowsAnEscapedErrorInAnErrorBoxAndGoesOn)
{
    ScriptedPrompts prompts;
    bool afterwards = false;
    EXPECT_FALSE(runGuarded(prompts, [] { textToInt(QString::number(5) + QLatin1Char('x')); }));
    afterwards = runGuarded(prompts, [] {});
    ASSERT_EQ(prompts.shown.size(), 1);
    EXPECT_EQ(prompts.shown[0].kind, MessageKind::Error);
    EXPECT_EQ(prompts.shown[0].text, QStringLiteral("'5x' は整数ではありません"));
    EXPECT_TRUE(afterwards);
    // A library's own message stays out of the box.
    EXPECT_FALSE(runGuarded(prompts, [] { throw std::runtime_error("disk gone"); }));
    EXPECT_EQ(prompts.shown.last().text, QStringLiteral("処理中にエラーが発生しました。"));
}
