#include "foundation/Cp932.h"
#include "foundation/IniFile.h"
#include "support/FileSizeLimit.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QFileInfo>
#include <QtCore/QTemporaryDir>
#include <gtest/gtest.h>

#include <functional>
#include <sys/stat.h>

namespace {

class IniFileTest : public ::testing::Test
{
  protected:
    QString write(const QByteArray& utf8Text)
    {
        const QString path = dir.filePath(QStringLiteral("settings.ini"));
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(Cp932::encode(QString::fromUtf8(utf8Text)));
        return path;
    }
    QByteArray readBack(const QString& path)
    {
        QFile file(path);
        EXPECT_TRUE(file.open(QIODevice::ReadOnly));
        return file.readAll();
    }
    QTemporaryDir dir;
};

} // namespace

TEST_F(IniFileTest, ReadsNamesWithoutRegardToAsciiCaseAndFirstMatchWins)
{
    IniFile ini(write("[パス]\r\nSave=/first\r\nSAVE=/second\r\n[パス]\r\nLoad=/never\r\n[Main]\r\nLeft=10\r\n"));
    EXPECT_EQ(ini.readString(QStringLiteral("パス"), QStringLiteral("save")), QStringLiteral("/first"));
    EXPECT_EQ(ini.readString(QStringLiteral("main"), QStringLiteral("LEFT")), QStringLiteral("10"));
    // Only the first section of a repeated name is read.
    EXPECT_EQ(ini.readString(QStringLiteral("パス"), QStringLiteral("Load"), QStringLiteral("none")),
              QStringLiteral("none"));
}

TEST_F(IniFileTest, TrimsBlanksAndOnePairOfMatchingQuotesAndSkipsComments)
{
    IniFile ini(write("[S]\n;Key=commented\n  Key  =  \"  quoted  \"  \nOdd='x\"\nTwice=\"\"a\"\"\n"));
    EXPECT_EQ(ini.readString(QStringLiteral("S"), QStringLiteral("Key")), QStringLiteral("  quoted  "));
    EXPECT_EQ(ini.readString(QStringLiteral("S"), QStringLiteral("Odd")), QStringLiteral("'x\""));
    EXPECT_EQ(ini.readString(QStringLiteral("S"), QStringLiteral("Twice")), QStringLiteral("\"a\""));
}

TEST_F(IniFileTest, ValuesAreCutAt2047CharactersAndIntegersFallBack)
{
    IniFile ini(write("[S]\nLong=" + QByteArray(3000, 'x') + "\nNum= -42 \nBad=12a\n"));
    EXPECT_EQ(ini.readString(QStringLiteral("S"), QStringLiteral("Long")).size(), 2047);
    EXPECT_EQ(ini.readInteger(QStringLiteral("S"), QStringLiteral("Num"), 0), -42);
    EXPECT_EQ(ini.readInteger(QStringLiteral("S"), QStringLiteral("Bad"), 7), 7);
    EXPECT_EQ(ini.readInteger(QStringLiteral("S"), QStringLiteral("Missing"), 9), 9);
}

TEST_F(IniFileTest, WritingKeepsOtherLinesAndAddsKeysAtTheEndOfTheirSection)
{
    const QString path = write("; header\r\n[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n");
    IniFile ini(path);
    ini.writeString(QStringLiteral("a"), QStringLiteral("X"), QStringLiteral("changed"));
    ini.writeString(QStringLiteral("A"), QStringLiteral("z"), QStringLiteral("3"));
    ini.writeInteger(QStringLiteral("処理数"), QStringLiteral("PROC_NUM"), 5);
    ASSERT_TRUE(ini.save());
    const QString text = Cp932::decode(readBack(path));
    EXPECT_EQ(text,
              QStringLiteral("; header\r\n[A]\r\nx=changed\r\nz=3\r\n\r\n[B]\r\ny=2\r\n[処理数]\r\nPROC_NUM=5\r\n"));
}

TEST_F(IniFileTest, RemovesKeysAndSections)
{
    IniFile ini(write("[A]\nx=1\ny=2\n[B]\nz=3\n[C]\nw=4\n"));
    ini.removeKey(QStringLiteral("A"), QStringLiteral("x"));
    ini.removeSection(QStringLiteral("b"));
    EXPECT_EQ(ini.keys(QStringLiteral("A")), QStringList{QStringLiteral("y")});
    EXPECT_FALSE(ini.hasKey(QStringLiteral("B"), QStringLiteral("z")));
    EXPECT_EQ(ini.readString(QStringLiteral("C"), QStringLiteral("w")), QStringLiteral("4"));
}

// Reads after every kind of change answer as a fresh reading of the same text does: the lookups
// kept between changes never point at a moved line.
TEST_F(IniFileTest, ReadsAfterChangesMatchAFreshReadingOfTheSameText)
{
    IniFile ini(write("top=0\n[A]\nx=1\n\n[B]\ny=2\n[a]\nx=shadowed\n[C]\n;z=comment\nz=3\n[k=1\n"));
    const QList<std::function<void()>> changes = {
        [&] { ini.writeString(QStringLiteral("A"), QStringLiteral("new"), QStringLiteral("n")); }, // middle of file
        [&] { ini.writeString(QStringLiteral("B"), QStringLiteral("y"), QStringLiteral("[changed]")); },
        [&] { ini.writeString(QStringLiteral("D"), QStringLiteral("w"), QStringLiteral("4")); },   // new section
        [&] { ini.writeString(QStringLiteral("D"), QStringLiteral("[E]"), QStringLiteral("x")); }, // reads as a section
        [&] { ini.writeString(QStringLiteral("C"), QStringLiteral("z2"), QStringLiteral("5")); },
        [&] { ini.writeString(QStringLiteral("C"), QStringLiteral("[k"), QStringLiteral("x]")); }, // now "[k=x]"
        [&] { ini.removeKey(QStringLiteral("A"), QStringLiteral("x")); },
        [&] { ini.writeString(QStringLiteral("A"), QStringLiteral("X"), QStringLiteral("again")); },
        [&] { ini.removeSection(QStringLiteral("B")); },
        [&] { ini.writeString(QStringLiteral("B"), QStringLiteral("y"), QStringLiteral("back")); },
    };
    const QStringList sections = {"A", "a", "B", "C", "D", "E", "k=x", "missing"};
    const QStringList keys = {"x", "X", "y", "z", "z2", "new", "w", "[E]", "[k", "top", ";z"};
    for (int step = 0; step < changes.size(); ++step) {
        changes[step]();
        const IniFile fresh(QStringLiteral("fresh.ini"), ini.bytes());
        for (const QString& section : sections) {
            EXPECT_EQ(ini.keys(section), fresh.keys(section))
                << "step " << step << " [" << section.toStdString() << "]";
            for (const QString& key : keys)
                EXPECT_EQ(ini.readString(section, key, QStringLiteral("-")),
                          fresh.readString(section, key, QStringLiteral("-")))
                    << "step " << step << " [" << section.toStdString() << "] " << key.toStdString();
        }
    }
    EXPECT_EQ(ini.readString(QStringLiteral("A"), QStringLiteral("new")), QStringLiteral("n"));
    EXPECT_EQ(ini.readString(QStringLiteral("B"), QStringLiteral("y")), QStringLiteral("back"));
}

TEST_F(IniFileTest, MissingFileReadsEmptyAndUnwritableFileReportsFailure)
{
    IniFile missing(dir.filePath(QStringLiteral("none.ini")));
    EXPECT_EQ(missing.readString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("d")), QStringLiteral("d"));
    IniFile unwritable(dir.filePath(QStringLiteral("no/such/folder/x.ini")));
    unwritable.writeString(QStringLiteral("S"), QStringLiteral("k"), QStringLiteral("v"));
    EXPECT_FALSE(unwritable.save());
}

TEST(Cp932Test, RoundTripsJapaneseAndMapsWaveDashToFullwidthTilde)
{
    const QByteArray bytes("\x81\x60", 2); // the wave dash row of the code page
    EXPECT_EQ(Cp932::decode(bytes), QString(QChar(0xFF5E)));
    const QString text = QStringLiteral("携帯キャリア～メイン①");
    EXPECT_EQ(Cp932::decode(Cp932::encode(text)), text);
    EXPECT_EQ(Cp932::encode(QStringLiteral("a\U0001F600b")), QByteArray("a?b"));
}

TEST_F(IniFileTest, ReadsHexadecimalIntegersAsTheir32BitPattern)
{
    IniFile ini(write("[S]\r\na=0x1F\r\nb=0X80000008\r\nc=0x\r\nd=0x1G\r\ne=0x123456789\r\nf=0x+1\r\n"));
    const std::pair<const char*, int> cases[] = {{"a", 31}, {"b", qint32(0x80000008u)}, {"c", -1}, {"d", -1}, {"e", -1},
                                                 {"f", -1}};
    for (const auto& [key, expected] : cases)
        EXPECT_EQ(ini.readInteger(QStringLiteral("S"), QLatin1String(key), -1), expected) << key;
}

TEST_F(IniFileTest, TextsWithOuterBlanksOrQuotesOrLineBreaksReadBackSafely)
{
    const QString path = dir.filePath(QStringLiteral("t.ini"));
    const QStringList texts{QStringLiteral(" padded "), QStringLiteral("\"quoted\""), QStringLiteral("'x'"),
                            QStringLiteral("\"open"), QStringLiteral("plain text")};
    IniFile ini(path);
    for (int i = 0; i < texts.size(); ++i)
        ini.writeString(QStringLiteral("S"), QString::number(i), texts.at(i));
    ini.writeString(QStringLiteral("S"), QStringLiteral("broken"), QStringLiteral("one\r\n[T]\ntwo"));
    ASSERT_TRUE(ini.save());
    const IniFile back(path);
    for (int i = 0; i < texts.size(); ++i)
        EXPECT_EQ(back.readString(QStringLiteral("S"), QString::number(i)), texts.at(i));
    EXPECT_EQ(back.readString(QStringLiteral("S"), QStringLiteral("broken")), QStringLiteral("one [T] two"));
    EXPECT_FALSE(back.hasKey(QStringLiteral("T"), QStringLiteral("two")));
}

TEST_F(IniFileTest, ADiskThatFillsUpKeepsThePreviousFileAndLeavesNothingBehind)
{
    const QString path = write("[a]\r\nkey=old\r\n");
    const QByteArray before = readBack(path);
    IniFile ini(path);
    ini.writeString(QStringLiteral("a"), QStringLiteral("key"), QString(2000, QLatin1Char('n')));
    {
        const FileSizeLimit full(1024);
        EXPECT_FALSE(ini.save());
    }
    EXPECT_EQ(readBack(path), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files | QDir::Hidden), QStringList{QStringLiteral("settings.ini")});
}

TEST_F(IniFileTest, LinesTheProgramDoesNotWriteAreKeptByteForByte)
{
    const QString path = dir.filePath(QStringLiteral("settings.ini"));
    // A UTF-8 comment, stray bytes, a key line of another program, and lines the program rewrites.
    const QByteArray foreign = "; \xE8\xA8\xAD\xE5\xAE\x9A (UTF-8)\r\n[a]\r\nkey=old\r\nother=\x80\xFF\xFE\r\n"
                               "same=" +
                               Cp932::encode(QStringLiteral("値")) + "\r\n\xA0\xA1 stray\r\n";
    {
        QFile file(path);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(foreign);
    }
    IniFile ini(path);
    EXPECT_EQ(ini.bytes(), foreign); // nothing changed, nothing re-encoded
    ini.writeString(QStringLiteral("a"), QStringLiteral("key"), QStringLiteral("新しい"));
    ini.writeString(QStringLiteral("a"), QStringLiteral("same"), QStringLiteral("値"));
    ini.writeString(QStringLiteral("b"), QStringLiteral("added"), QStringLiteral("1"));
    ASSERT_TRUE(ini.save());
    QByteArray expected = foreign;
    expected.replace("key=old", "key=" + Cp932::encode(QStringLiteral("新しい")));
    expected += "[b]\r\nadded=1\r\n";
    EXPECT_EQ(readBack(path), expected);
}

TEST_F(IniFileTest, SpecialAndOversizedFilesAreNotReadAndNeverReplaced)
{
    const QString fifo = dir.filePath(QStringLiteral("fifo.ini"));
    ASSERT_EQ(::mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    const QString large = dir.filePath(QStringLiteral("large.ini"));
    {
        QFile file(large);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        ASSERT_TRUE(file.resize(IniFile::MaxFileBytes + 1));
    }
    for (const QString& path : {fifo, large, dir.path()}) {
        IniFile ini(path); // a FIFO must not wait for a writer
        EXPECT_FALSE(ini.refusal().isEmpty()) << path.toStdString();
        EXPECT_FALSE(ini.hasKey(QStringLiteral("a"), QStringLiteral("b")));
        ini.writeString(QStringLiteral("a"), QStringLiteral("b"), QStringLiteral("c"));
        QString error;
        EXPECT_FALSE(ini.save(IniFile::Access::Shared, &error)) << path.toStdString();
        EXPECT_FALSE(error.isEmpty());
    }
    EXPECT_EQ(QFileInfo(large).size(), IniFile::MaxFileBytes + 1);
    EXPECT_FALSE(QFileInfo(fifo).isFile()) << "the FIFO was replaced";
    IniFile missing(dir.filePath(QStringLiteral("missing.ini")));
    EXPECT_TRUE(missing.refusal().isEmpty());
}
