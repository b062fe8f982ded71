// Sending against a real FTP server (pyftpdlib), through microsocks, and against scripted peers.
#include "decoration/DrawingLayers.h"
#include "foundation/ProgramFolders.h"
#include "foundation/Progress.h"
#include "output/SendCommand.h"
#include "workspace/WorkspaceRig.h"

#include "netsupport/ExternalServer.h"
#include "netsupport/ScriptedFtpServer.h"

#include <QtCore/QDir>
#include <QtCore/QFile>
#include <QtCore/QRegularExpression>
#include <gtest/gtest.h>

namespace {

const QString python = QStringLiteral("/usr/bin/python3");
const QString microsocks = QStringLiteral("/usr/bin/microsocks");

struct RecordedProgress final : Progress
{
    QList<int> positions;
    int open = 0;
    void BeginProgress(int steps) override { open += steps > 0 ? 1 : 0; }
    void ProgressStep(int position, const QString&) override { positions << position; }
    void EndProgress() override { --open; }
};

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

class SendCommandTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        if (!ExternalServer::installed(python) ||
            !QFileInfo::exists(QStringLiteral("/usr/lib/python3/dist-packages/pyftpdlib")))
            GTEST_SKIP() << "pyftpdlib for /usr/bin/python3 is not installed";
        ASSERT_TRUE(ftp.startAndReadPort(python, {QStringLiteral(PICTOREL_FTP_SERVER_SCRIPT), store.path()}));
        layers.setCanvasSize(QSize(240, 320));
        rig.undoCommand.setLayerUndo([this] { layers.UndoCommit(); });
        rig.load(gradientPicture(320, 400));
        rig.prompts.shown.clear();
        rig.options.services.ftpHost = QStringLiteral("127.0.0.1:%1").arg(ftp.port());
        rig.options.account = {QStringLiteral("taro@phone.example"), QStringLiteral("taro"), QStringLiteral("p&s#+ w")};
        sender.setLimitSource([this] { return limit; });
        sender.setProgress(&progress);
        sender.setPreview([this](const QString& path) {
            previewed << path;
            return previewAnswer;
        });
        sender.setOpenAccountOptions([this] { optionsOpenedWithBusyDepth << rig.prompts.busyDepth; });
        sender.setHostAddressLookup([] { return QStringLiteral("192.168.0.5"); });
        sender.FtpKestrix().SetTimeout(std::chrono::seconds(10));
    }

    QStringList storedNames() const { return QDir(store.path()).entryList(QDir::Files); }
    QString working(const char* name) const { return rig.folder + QLatin1String(name); }
    // The send number the registration address carried.
    int sentNumber() const
    {
        const QRegularExpressionMatch m =
            QRegularExpression(QStringLiteral("&rd=(\\d+)$")).match(rig.prompts.openedUrls.value(0));
        return m.hasMatch() ? m.captured(1).toInt() : -1;
    }
    void startSocks(const QStringList& extra)
    {
        ASSERT_TRUE(socks.startOnFreePort(microsocks, [&](quint16 port) {
            return QStringList{QStringLiteral("-i"), QStringLiteral("127.0.0.1"), QStringLiteral("-p"),
                               QString::number(port)} +
                   extra;
        }));
    }

    WorkspaceRig rig;
    DrawingLayers layers{rig.undo, rig.prompts};
    ProgramFolders folders = ProgramFolders::portable(rig.folder);
    SendCommand sender{rig.workspace, layers, rig.undoCommand, rig.options, folders, rig.prompts};
    QTemporaryDir store;
    ExternalServer ftp;
    ExternalServer socks;
    RecordedProgress progress;
    qint64 limit = 7372800;
    bool previewAnswer = true;
    QStringList previewed;
    QList<int> optionsOpenedWithBusyDepth;
};

} // namespace

TEST_F(SendCommandTest, EachFormatIsUploadedUnderTheAddressAndRegistered)
{
    struct Case
    {
        SaveFormatChoice format;
        const char* file;
    };
    for (const Case& c : {Case{SaveFormatChoice::Jpeg, "send_img.jpg"}, Case{SaveFormatChoice::Gif, "send_img.gif"},
                          Case{SaveFormatChoice::Png, "send_img.png"}}) {
        SCOPED_TRACE(c.file);
        for (const char* stale : {"send_img.jpg", "send_img.gif", "send_img.png", "send_img.bmp"}) {
            QFile file(working(stale));
            ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        }
        for (const QString& name : storedNames())
            QFile::remove(store.filePath(name));
        rig.prompts.openedUrls.clear();
        progress.positions.clear();
        previewed.clear();
        rig.options.saveFormat = c.format;
        sender.btSendClick();

        EXPECT_TRUE(rig.prompts.shown.isEmpty()) << rig.prompts.texts().join(u'|').toStdString();
        ASSERT_EQ(rig.prompts.openedUrls.size(), 1);
        const int number = sentNumber();
        ASSERT_GE(number, 0);
        ASSERT_LE(number, 99);
        // The password and address are encoded; the user ID is never sent.
        EXPECT_EQ(rig.prompts.openedUrls[0],
                  QStringLiteral("http://www.kestrixnet.example/pc/stb_img_up.php?pas=p%26s%23%2B%20w"
                                 "&mem=taro%40phone.example&ip=192.168.0.5&rd=%1")
                      .arg(number));
        // Whatever the format, the server's name ends in ".jpg"; the bytes are the previewed file's.
        EXPECT_EQ(storedNames(), QStringList{QStringLiteral("192.168.0.5_%1.jpg").arg(number)});
        EXPECT_EQ(previewed, QStringList{working(c.file)});
        EXPECT_EQ(contents(store.filePath(storedNames().value(0))), contents(working(c.file)));
        const QStringList left = QDir(rig.folder).entryList({QStringLiteral("send_img.*")}, QDir::Files);
        EXPECT_EQ(left, QStringList{QLatin1String(c.file)});
        EXPECT_EQ(progress.positions, (QList<int>{0, 1, 2, 4, 5, 6}));
        EXPECT_EQ(progress.open, 0);
        EXPECT_FALSE(rig.undo.hasSteps()); // the temporary layer was taken back
        EXPECT_EQ(layers.CurrentLayer(), 0);
        EXPECT_EQ(rig.prompts.busyDepth, 0);
        EXPECT_EQ(sender.FtpKestrix().state(), TFtpClient::State::NotConnected);
    }
}

TEST_F(SendCommandTest, RefusalsUploadNothing)
{
    struct Case
    {
        const char* name;
        std::function<void()> arrange;
        std::optional<MessageKind> kind;
        QString textStart;
        bool workingFileStays;
        bool previewShown;
    };
    const Case cases[] = {
        {"BMP", [this] { rig.options.saveFormat = SaveFormatChoice::Bmp; }, MessageKind::Error,
         QStringLiteral("BMP形式でのアップロードはできません。"), false, false},
        {"never fits", [this] { limit = 256; }, MessageKind::Warning,
         QStringLiteral("品質自動調整保存に失敗しました。"), true, false},
        {"preview cancelled", [this] { previewAnswer = false; }, std::nullopt, QString(), true, true},
        {"no user ID", [this] { rig.options.account.userId.clear(); }, MessageKind::Warning,
         QStringLiteral("KestrixNetの登録情報が設定されていません。\n転送を中止します。"), true, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.options.saveFormat = SaveFormatChoice::Jpeg;
        limit = 7372800;
        previewAnswer = true;
        rig.options.account.userId = QStringLiteral("taro");
        rig.prompts.shown.clear();
        previewed.clear();
        optionsOpenedWithBusyDepth.clear();
        c.arrange();
        sender.btSendClick();
        if (c.kind) {
            ASSERT_EQ(rig.prompts.shown.size(), 1);
            EXPECT_EQ(rig.prompts.shown[0].kind, *c.kind);
            EXPECT_TRUE(rig.prompts.shown[0].text.startsWith(c.textStart)) << rig.prompts.shown[0].text.toStdString();
        } else {
            EXPECT_TRUE(rig.prompts.shown.isEmpty());
        }
        EXPECT_EQ(QFileInfo::exists(working("send_img.jpg")), c.workingFileStays);
        EXPECT_EQ(!previewed.isEmpty(), c.previewShown);
        EXPECT_FALSE(QFileInfo::exists(working("send_img.bmp")));
        EXPECT_TRUE(storedNames().isEmpty());
        EXPECT_TRUE(rig.prompts.openedUrls.isEmpty());
        EXPECT_FALSE(rig.undo.hasSteps());
        EXPECT_EQ(progress.open, 0);
    }
    // Only the missing account opens the options, with the normal cursor back.
    EXPECT_EQ(optionsOpenedWithBusyDepth, QList<int>{0});
}

TEST_F(SendCommandTest, SocksForOneSendAndDirectForTheNext)
{
    if (!ExternalServer::installed(microsocks))
        GTEST_SKIP() << "microsocks is not installed";
    startSocks({QStringLiteral("-u"), QStringLiteral("user"), QStringLiteral("-P"), QStringLiteral("secret")});
    rig.options.useSocks = true;
    rig.options.socksServer = QStringLiteral(" 127.0.0.1 ");
    rig.options.socksPort = QString::number(socks.port());
    rig.options.socksUser = QStringLiteral("user");
    rig.options.socksPassword = QStringLiteral("wrong");
    sender.btSendClick(); // the proxy refuses the password: the settings reached it
    ASSERT_EQ(rig.prompts.shown.size(), 1);
    EXPECT_TRUE(rig.prompts.shown[0].text.startsWith(QStringLiteral("転送サーバへの接続に失敗しました")));
    EXPECT_TRUE(storedNames().isEmpty());

    rig.options.socksPassword = QStringLiteral("secret");
    sender.btSendClick();
    EXPECT_EQ(rig.prompts.shown.size(), 1);
    EXPECT_EQ(storedNames().size(), 1);

    // SOCKS off: the proxy settings, now pointing nowhere, are not used.
    rig.options.useSocks = false;
    rig.options.socksPort = QString::number(ExternalServer::freePort());
    sender.btSendClick();
    EXPECT_EQ(rig.prompts.shown.size(), 1);
    EXPECT_EQ(rig.prompts.openedUrls.size(), 2);
    EXPECT_TRUE(sender.FtpKestrix().SocksServer().isEmpty());
}

TEST_F(SendCommandTest, FailuresAreReportedAndTheNextSendConnectsAfresh)
{
    ScriptedFtpServer full;
    full.replies["STOR"] = "550 disk full\r\n";
    const QString realHost = rig.options.services.ftpHost;
    rig.options.services.ftpHost = QStringLiteral("127.0.0.1:%1").arg(full.port());
    sender.btSendClick();
    rig.options.services.ftpHost = QStringLiteral("127.0.0.1:%1").arg(ExternalServer::freePort());
    sender.btSendClick();
    ASSERT_EQ(rig.prompts.shown.size(), 2);
    EXPECT_EQ(rig.prompts.shown[0].text,
              QStringLiteral("転送サーバへのファイルアップロードに失敗しました\n"
                             "サーバの容量あいっぱいか、サーバが混み合っている可能性があります"));
    EXPECT_TRUE(full.commands.contains("QUIT"));
    EXPECT_EQ(rig.prompts.shown[1].text,
              QStringLiteral("転送サーバへの接続に失敗しました\nネットワークの設定を確認してください\n"
                             "特にご利用のネットワークにファイアウォールが設定されている場合には環境設定のSOCK設定を"
                             "有効にする必要があります\n\nhttp://www.kestrixnet.example/\n"
                             "上記URLに接続できない場合にはサーバが混み合っている可能性があります"));
    EXPECT_TRUE(rig.prompts.openedUrls.isEmpty());

    rig.options.services.ftpHost = realHost;
    sender.btSendClick();
    EXPECT_EQ(rig.prompts.shown.size(), 2);
    EXPECT_EQ(storedNames().size(), 1);
}

TEST_F(SendCommandTest, WithoutAnAddressForTheHostNameTheConnectionsOwnIsUsed)
{
    sender.setHostAddressLookup([] { return QString(); });
    sender.btSendClick();
    ASSERT_EQ(rig.prompts.openedUrls.size(), 1);
    EXPECT_EQ(storedNames(), QStringList{QStringLiteral("127.0.0.1_%1.jpg").arg(sentNumber())});
    EXPECT_TRUE(rig.prompts.openedUrls[0].contains(QStringLiteral("&ip=127.0.0.1&")));
}

TEST_F(SendCommandTest, ASecondSendWhileOneRunsIsRefused)
{
    sender.setPreview([this](const QString& path) {
        previewed << path;
        sender.btSendClick(); // pressed again while the preview is open
        return true;
    });
    sender.btSendClick();
    EXPECT_EQ(previewed.size(), 1);
    EXPECT_EQ(rig.prompts.openedUrls.size(), 1);
    EXPECT_EQ(storedNames().size(), 1);
}

TEST(SendCommandNames, FtpHostAndPort)
{
    using Split = std::pair<QString, quint16>;
    EXPECT_EQ(SendCommand::splitFtpHost(QStringLiteral("ftp.kestrixnet.example")),
              (Split{QStringLiteral("ftp.kestrixnet.example"), 21}));
    EXPECT_EQ(SendCommand::splitFtpHost(QStringLiteral(" 127.0.0.1:2121 ")),
              (Split{QStringLiteral("127.0.0.1"), 2121}));
    EXPECT_EQ(SendCommand::splitFtpHost(QStringLiteral("host:x")), (Split{QStringLiteral("host:x"), 21}));
}
