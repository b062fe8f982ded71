#include "cli/CommandLine.h"

#include <gtest/gtest.h>

namespace {

const QStringList valued{QStringLiteral("stamp"), QStringLiteral("text"), QStringLiteral("o")};
const QStringList switches{QStringLiteral("keep-aspect")};

QString written(const CommandLine& line)
{
    QStringList parts;
    for (const CommandLine::Option& o : line.options())
        parts << o.name + QLatin1Char('=') + o.value;
    return parts.join(QLatin1Char(' ')) + QStringLiteral(" | ") + line.positionalArguments().join(QLatin1Char(' '));
}

} // namespace

TEST(CommandLineTest, OptionsKeepTheirOrderAndEndAtTheDoubleDash)
{
    const struct
    {
        QStringList arguments;
        const char* read;
    } cases[] = {
        {{"a.jpg", "--stamp", "s.png@1,2", "--text=hi@3,4", "--stamp=t.png@5,6", "b.jpg"},
         "stamp=s.png@1,2 text=hi@3,4 stamp=t.png@5,6 | a.jpg b.jpg"},
        {{"-o", "out.jpg", "-oother.jpg", "-"}, "o=out.jpg o=other.jpg | -"},
        // After "--" nothing is an option, not even a switch's name.
        {{"--keep-aspect", "--", "--keep-aspect", "--stamp", "-o"}, "keep-aspect= | --keep-aspect --stamp -o"},
        // A value may itself start with dashes, and an empty one is still a value.
        {{"--text", "--@1,1", "--text="}, "text=--@1,1 text= | "},
    };
    for (const auto& c : cases) {
        QString error;
        const std::optional<CommandLine> line = CommandLine::read(c.arguments, valued, switches, &error);
        ASSERT_TRUE(line) << error.toStdString();
        EXPECT_EQ(written(*line), QLatin1String(c.read));
    }
    QString error;
    const std::optional<CommandLine> line =
        CommandLine::read({"--text", "one@1,1", "--text", "two@2,2", "--", "--text"}, valued, switches, &error);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->value(QStringLiteral("text")), QStringLiteral("two@2,2")); // the last word wins
    EXPECT_EQ(line->values(QStringLiteral("text")).size(), 2);
    EXPECT_FALSE(line->isSet(QStringLiteral("keep-aspect")));
}

TEST(CommandLineTest, UnknownOptionsMissingValuesAndValuedSwitchesAreRefused)
{
    const struct
    {
        QStringList arguments;
        const char* says;
    } cases[] = {
        {{"--stamps", "x"}, "unknown option '--stamps'"},
        {{"-x"}, "unknown option '-x'"},
        {{"a.jpg", "--stamp"}, "'--stamp' needs a value"},
        {{"--keep-aspect=yes"}, "'--keep-aspect=yes' takes no value"},
    };
    for (const auto& c : cases) {
        QString error;
        EXPECT_FALSE(CommandLine::read(c.arguments, valued, switches, &error)) << c.says;
        EXPECT_TRUE(error.contains(QLatin1String(c.says))) << error.toStdString();
    }
}
