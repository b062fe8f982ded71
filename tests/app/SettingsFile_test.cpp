#include "app/SettingsFile.h"
#include "foundation/Cp932.h"
#include "foundation/IniFile.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <gtest/gtest.h>

#include <csignal>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {

class SettingsFileTest : public ::testing::Test
{
  protected:
    QString path() const { return dir.filePath(QStringLiteral("pictorel.ini")); }
    SettingsFile file() const { return SettingsFile(path(), QStringLiteral("/opt/pictorel/")); }
    void writeText(const char* utf8)
    {
        QFile f(path());
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(Cp932::encode(QString::fromUtf8(utf8)));
    }
    QByteArray bytes() const
    {
        QFile f(path());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    StoredSettings loaded() const
    {
        StoredSettings s;
        file().LoadSettings(s);
        return s;
    }
    // Every value away from its default.
    static StoredSettings changed()
    {
        StoredSettings s;
        s.mainWindow = {-5000, 33};
        s.subWindow = {44, 55};
        s.optionsDialog = {66, 77};
        s.carrier = QStringLiteral("au");
        s.phone = QStringLiteral("W21S");
        s.mpWidth = 120;
        s.mpHeight = 160;
        s.mpCol = 8;
        s.mpFS = 100;
        s.loadFolder = QStringLiteral("/home/u/写真/");
        s.saveFolder = QStringLiteral("/tmp/");
        s.text.direction = QStringLiteral("上から下(↓)");
        s.text.shadowDistance = 7;
        s.text.fontColor = 0x123456;
        s.text.shadow = false;
        s.text.fontName = QStringLiteral("IPAGothic");
        s.text.fontSize = 20;
        ProgramOptions& o = s.options;
        o.showGuides = o.autoCheck = o.useProxy = o.stayOnTop = o.useSocks = true;
        o.proxyHost = QStringLiteral("proxy.local");
        o.proxyPort = QStringLiteral("8080x");
        o.effects.oilBrush = 42;
        o.effects.wavesPhase = 99;
        o.effects.wavesHorizontal = true;
        o.saveFormat = SaveFormatChoice::Png;
        o.socksServer = QStringLiteral("socks");
        o.socksPort = QStringLiteral("1080");
        o.socksUser = QStringLiteral("ユーザ");
        o.socksPassword = QStringLiteral("p w");
        o.account = {QStringLiteral("me@phone.example"), QStringLiteral("id"), QStringLiteral("\"secret\"")};
        o.services.webHost = QStringLiteral("http://127.0.0.1:8080");
        o.services.ftpHost = QStringLiteral("127.0.0.1:2121");
        o.services.catalogueUrl = QStringLiteral("http://127.0.0.1:8080/c.sys");
        return s;
    }

    QTemporaryDir dir;
};

// The sections of the file in the order they are written, with their key lines.
QStringList sectionsOf(const QString& text)
{
    QStringList sections;
    for (const QString& line : text.split(QStringLiteral("\r\n")))
        if (line.startsWith(QLatin1Char('[')))
            sections << line;
    return sections;
}

mode_t modeOf(const QString& path)
{
    struct stat st
    {
    };
    return stat(QFile::encodeName(path).constData(), &st) == 0 ? st.st_mode & 07777 : 0;
}

} // namespace

TEST_F(SettingsFileTest, WritesEverySectionAndKeyInOrderAsWindowsJapaneseWithCrLf)
{
    ASSERT_TRUE(file().SaveSettings(StoredSettings{}));
    const QByteArray raw = bytes();
    const QString text = Cp932::decode(raw);
    EXPECT_EQ(raw.count("\r\n"), raw.count('\n'));
    EXPECT_EQ(Cp932::encode(text), raw);
    EXPECT_EQ(sectionsOf(text),
              (QStringList{"[メイン画面]", "[元画像プレビュー画面]", "[オプション設定画面]", "[対応機種]", "[パス]",
                           "[絵・文字：絵を描く]", "[絵・文字：文字を書く]", "[絵・文字：カレンダー]",
                           "[詳細設定：一般]", "[詳細設定：画像の余白]", "[詳細設定：効果]",
                           "[詳細設定：ファイル保存・転送]", "[詳細設定：KestrixNet]", "[サービス]"}));
    const IniFile ini(path());
    EXPECT_EQ(ini.keys(QStringLiteral("詳細設定：一般")),
              (QStringList{"Guide", "GuideColor", "AutoCheck", "Direct", "InDirect", "Proxy", "Port", "Hint", "Splash",
                           "StayOnTop"}));
    EXPECT_EQ(ini.keys(QStringLiteral("詳細設定：画像の余白")).mid(0, 5),
              (QStringList{"MerginColor", "Mergin0", "MgFont0", "Mergin1", "MgFont1"}));
    EXPECT_EQ(ini.keys(QStringLiteral("詳細設定：画像の余白")).size(), 19);
    EXPECT_EQ(ini.keys(QStringLiteral("詳細設定：効果")).mid(9),
              (QStringList{"Waves1", "Waves2", "Waves3", "WavesV", "WavesH"}));
    // System colours are signed; the centre panel is maroon with the window colour.
    EXPECT_EQ(ini.readString(QStringLiteral("詳細設定：画像の余白"), QStringLiteral("Mergin0")), "-2147483633");
    EXPECT_EQ(ini.readString(QStringLiteral("詳細設定：画像の余白"), QStringLiteral("MgFont0")), "-2147483645");
    EXPECT_EQ(ini.readString(QStringLiteral("詳細設定：画像の余白"), QStringLiteral("Mergin4")), "128");
    EXPECT_EQ(ini.readString(QStringLiteral("詳細設定：画像の余白"), QStringLiteral("MgFont4")), "-2147483643");
    EXPECT_EQ(ini.readString(QStringLiteral("詳細設定：ファイル保存・転送"), QStringLiteral("Internet")), "1");
    EXPECT_EQ(ini.readString(QStringLiteral("サービス"), QStringLiteral("CatalogueUrl")),
              "http://www.kestrixnet.example/data/mp_dat.sys");
}

TEST_F(SettingsFileTest, WrittenThenReadGivesTheSameValues)
{
    ASSERT_TRUE(file().SaveSettings(changed()));
    EXPECT_EQ(loaded(), changed());
}

TEST_F(SettingsFileTest, RowsNeverReadComeBackAtTheirFixedValuesWhileTheFileKeepsThem)
{
    StoredSettings s = changed();
    s.pen = {9, 0x0000FF, 0x00FF00, false};
    s.calendar = {30, 31, 0xFF, QStringLiteral("IPAMincho"), 14};
    s.options.guideColor = Qt::red;
    s.options.marginColor = Qt::blue;
    s.options.dither = false;
    s.options.fixedPalette = true;
    s.panels.click(8);
    s.options.placement = 8;
    ASSERT_TRUE(file().SaveSettings(s));

    const StoredSettings back = loaded();
    EXPECT_EQ(back.pen, PenLook{});
    EXPECT_EQ(back.calendar, CalendarLook{});
    EXPECT_EQ(back.options.guideColor, QColor(Qt::black));
    EXPECT_EQ(back.options.marginColor, QColor(Qt::white));
    EXPECT_TRUE(back.options.dither);
    EXPECT_FALSE(back.options.fixedPalette);
    EXPECT_EQ(back.options.placement, PlacementPanels::Centre);
    EXPECT_EQ(back.panels, PlacementPanels{});

    const IniFile ini(path());
    EXPECT_EQ(ini.readInteger(QStringLiteral("絵・文字：絵を描く"), QStringLiteral("LineWidth"), 0), 9);
    EXPECT_EQ(ini.readInteger(QStringLiteral("絵・文字：カレンダー"), QStringLiteral("HSpace"), 0), 30);
    EXPECT_EQ(ini.readInteger(QStringLiteral("詳細設定：一般"), QStringLiteral("GuideColor"), 0), 0x0000FF);
    EXPECT_EQ(ini.readInteger(QStringLiteral("詳細設定：画像の余白"), QStringLiteral("MerginColor"), 0), 0xFF0000);
    EXPECT_EQ(ini.readInteger(QStringLiteral("詳細設定：画像の余白"), QStringLiteral("Mergin8"), 0), 128);
    EXPECT_EQ(ini.readInteger(QStringLiteral("詳細設定：ファイル保存・転送"), QStringLiteral("Dither"), 1), 0);
    EXPECT_EQ(ini.readInteger(QStringLiteral("詳細設定：ファイル保存・転送"), QStringLiteral("FixedPal"), 0), 1);
}

TEST_F(SettingsFileTest, MissingAndUnconvertibleValuesGiveTheDefaults)
{
    writeText("[メイン画面]\r\nTop=-5000\r\nLeft=abc\r\n[元画像プレビュー画面]\r\nTop=0x1F4\r\nLeft=0x\r\n"
              "[対応機種]\r\nCarrier=XYZ\r\nMpFS=100\r\nMpWidth=12.5\r\n[詳細設定：効果]\r\nOil=0X10\r\nBlur=\r\n"
              "[詳細設定：一般]\r\nGuide=7\r\n");
    const StoredSettings s = loaded();
    const StoredSettings d;
    EXPECT_EQ(s.mainWindow, (WindowPlace{-5000, 10}));
    EXPECT_EQ(s.subWindow, (WindowPlace{500, 750}));
    EXPECT_EQ(s.optionsDialog, (WindowPlace{150, 150}));
    EXPECT_EQ(s.carrier, QStringLiteral("XYZ"));
    EXPECT_EQ(s.phone, d.phone);
    EXPECT_EQ(s.mpFS, 100); // the field's range is enforced only when the user edits it
    EXPECT_EQ(s.mpWidth, 240);
    EXPECT_EQ(s.options.effects.oilBrush, 16);
    EXPECT_EQ(s.options.effects.blurStrength, 5);
    EXPECT_TRUE(s.options.showGuides); // any non-zero flag is on
    EXPECT_EQ(s.loadFolder, QStringLiteral("/opt/pictorel/"));
    EXPECT_EQ(s.text, TextToolSettings{});
    EXPECT_EQ(s.options.services.ftpHost, QStringLiteral("ftp.kestrixnet.example"));
    EXPECT_EQ(s.options.services.catalogueAddress(), QStringLiteral("http://www.kestrixnet.example/data/mp_dat.sys"));
}

TEST_F(SettingsFileTest, RadioPairsAndFormatButtonsKeepOneMemberOn)
{
    struct Case
    {
        const char* lines; // of "[詳細設定：一般]" and "[詳細設定：ファイル保存・転送]"
        SaveFormatChoice formatBefore, format;
        bool proxyBefore, proxy;
    };
    const Case cases[] = {
        {"JPEG=0\r\nGIF=1\r\n", SaveFormatChoice::Bmp, SaveFormatChoice::Gif, true, false},
        {"JPEG=1\r\nPNG=1\r\nBMP=1\r\nDirect=1\r\nInDirect=1\r\n", SaveFormatChoice::Jpeg, SaveFormatChoice::Bmp, false,
         true},
        {"JPEG=0\r\nGIF=0\r\nPNG=0\r\nBMP=0\r\nDirect=0\r\nInDirect=0\r\n", SaveFormatChoice::Png,
         SaveFormatChoice::Png, true, true},
        {"", SaveFormatChoice::Bmp, SaveFormatChoice::Jpeg, true, false},
    };
    for (const Case& c : cases) {
        const QByteArray lines(c.lines);
        writeText(("[詳細設定：一般]\r\n" + lines + "[詳細設定：ファイル保存・転送]\r\n" + lines).constData());
        StoredSettings s;
        s.options.saveFormat = c.formatBefore;
        s.options.useProxy = c.proxyBefore;
        file().LoadSettings(s);
        EXPECT_EQ(s.options.saveFormat, c.format) << c.lines;
        EXPECT_EQ(s.options.useProxy, c.proxy) << c.lines;
    }
}

TEST_F(SettingsFileTest, KeepsUnknownLinesAndMakesTheFileTheOwnersOnly)
{
    writeText("; a comment\r\n[メイン画面]\r\nTop=1\r\nFuture=keep me\r\n[他のプログラム]\r\nX=1\r\n");
    ASSERT_TRUE(QFile::setPermissions(path(), QFileDevice::ReadOwner | QFileDevice::WriteOwner |
                                                  QFileDevice::ReadGroup | QFileDevice::ReadOther));
    ASSERT_TRUE(file().SaveSettings(StoredSettings{}));
    const QString text = Cp932::decode(bytes());
    EXPECT_TRUE(
        text.startsWith(QStringLiteral("; a comment\r\n[メイン画面]\r\nTop=10\r\nFuture=keep me\r\nLeft=10\r\n")));
    EXPECT_TRUE(text.contains(QStringLiteral("[他のプログラム]\r\nX=1\r\n")));
    EXPECT_EQ(modeOf(path()), 0600);
    QFile::remove(path());
    ASSERT_TRUE(file().SaveSettings(StoredSettings{}));
    EXPECT_EQ(modeOf(path()), 0600);
}

TEST_F(SettingsFileTest, TextTheCodePageCannotHoldIsWrittenAsQuestionMarks)
{
    StoredSettings s;
    s.options.account.userId = QStringLiteral("me\U0001F600x");
    s.options.account.password = QStringLiteral("pass\u00E9");
    ASSERT_TRUE(file().SaveSettings(s));
    const StoredSettings back = loaded();
    EXPECT_EQ(back.options.account.userId, QStringLiteral("me?x"));
    EXPECT_EQ(back.options.account.password, QStringLiteral("pass?"));
    EXPECT_EQ(back.options.account.mailAddress, s.options.account.mailAddress);
    EXPECT_EQ(back.options.services, s.options.services); // nothing after the text was disturbed
}

TEST_F(SettingsFileTest, AWriteThatFailsHalfwayLeavesThePreviousFile)
{
    ASSERT_TRUE(file().SaveSettings(StoredSettings{}));
    const QByteArray before = bytes();
    // A disk that fills up after 512 bytes: the writer gets an error, not a signal.
    const auto oldHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit old{};
    getrlimit(RLIMIT_FSIZE, &old);
    rlimit small = old;
    small.rlim_cur = 512;
    ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &small), 0);
    QString reason;
    const bool saved = file().SaveSettings(changed(), &reason);
    setrlimit(RLIMIT_FSIZE, &old);
    std::signal(SIGXFSZ, oldHandler);
    EXPECT_FALSE(saved) << bytes().size() << " of " << before.size();
    EXPECT_FALSE(reason.isEmpty());
    EXPECT_EQ(bytes(), before);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files), QStringList{QStringLiteral("pictorel.ini")});
}

TEST_F(SettingsFileTest, IsReadOnceAndAFileThatIsNoPlainSettingsFileIsRefusedAndKept)
{
    writeText("[メイン画面]\r\nTop=77\r\n");
    const SettingsFile settings = file();
    StoredSettings first, again;
    settings.LoadSettings(first);
    writeText("[メイン画面]\r\nTop=88\r\n"); // start-up loads three times; the file is read once
    settings.LoadSettings(again);
    EXPECT_EQ(first.mainWindow.top, 77);
    EXPECT_EQ(again.mainWindow.top, 77);

    QFile::remove(path());
    ASSERT_EQ(::mkfifo(QFile::encodeName(path()).constData(), 0600), 0);
    EXPECT_EQ(loaded().mainWindow.top, StoredSettings{}.mainWindow.top); // and does not wait for a writer
    QString reason;
    EXPECT_FALSE(file().SaveSettings(changed(), &reason));
    EXPECT_FALSE(reason.isEmpty());
    struct stat info
    {
    };
    ASSERT_EQ(::stat(QFile::encodeName(path()).constData(), &info), 0);
    EXPECT_TRUE(S_ISFIFO(info.st_mode));
}
