// The catalogue update against Python's http.server, tinyproxy and a scripted server.
#include "catalogue/CatalogueUpdate.h"
#include "catalogue/ModelCatalogue.h"
#include "foundation/Cp932.h"
#include "foundation/ProgramFolders.h"
#include "foundation/ProgramOptions.h"
#include "foundation/Progress.h"
#include "support/ScriptedPrompts.h"

#include "netsupport/ExternalServer.h"
#include "netsupport/ScriptedHttpServer.h"

#include <QtCore/QFile>
#include <QtCore/QTemporaryDir>
#include <QtCore/QTextStream>
#include <QtCore/QTimer>
#include <gtest/gtest.h>

namespace {

const QString python = QStringLiteral("/usr/bin/python3");
const QString tinyproxy = QStringLiteral("/usr/bin/tinyproxy");
const QString upToDate = QStringLiteral("既に機種情報ファイルは最新版です。");
const QString updated = QStringLiteral("最新の機種情報ファイルにアップデートしました。");
const QString failed = QStringLiteral("機種情報ファイルのアップデートに失敗しました。");
const QString unreachable = QStringLiteral("機種情報ファイルサーバへの接続に失敗しました。");

const char* header = "キャリア,機種名,画面,備考,横,縦,色数,容量\r\n";
const char* oneModel = "キャリア,機種名,画面,備考,横,縦,色数,容量\r\nDoCoMo,F900i,メイン,,240,320,18,97600\r\n";
const char* twoModels = "キャリア,機種名,画面,備考,横,縦,色数,容量\r\nDoCoMo,F900i,メイン,,240,320,18,97600\r\n"
                        "au,W21S,メイン,,240,320,16,102400\r\n";

struct RecordedProgress final : Progress
{
    QList<int> positions;
    int open = 0;
    void BeginProgress(int) override { ++open; }
    void ProgressStep(int position, const QString&) override { positions << position; }
    void EndProgress() override { --open; }
};

QByteArray sjis(const char* utf8)
{
    return Cp932::encode(QString::fromUtf8(utf8));
}

bool write(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    return file.open(QIODevice::WriteOnly) && file.write(bytes) == bytes.size();
}

QByteArray contents(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray("(missing)");
}

class CatalogueUpdateTest : public ::testing::Test
{
  protected:
    void SetUp() override
    {
        update.setProgress(&progress);
        update.setInstalledListener([this] { ++listsReset; });
    }
    void serveFolder()
    {
        if (!ExternalServer::installed(python))
            GTEST_SKIP() << "/usr/bin/python3 is not installed";
        ASSERT_TRUE(
            web.startAndReadPort(python, {QStringLiteral("-u"), QStringLiteral("-m"), QStringLiteral("http.server"),
                                          QStringLiteral("0"), QStringLiteral("--bind"), QStringLiteral("127.0.0.1"),
                                          QStringLiteral("--directory"), served.path()}));
        options.services.catalogueUrl = QStringLiteral("http://127.0.0.1:%1/data/mp_dat.sys").arg(web.port());
        ASSERT_TRUE(QDir(served.path()).mkpath(QStringLiteral("data")));
    }
    QString installedPath() const { return program.filePath(QStringLiteral("mp_dat.sys")); }
    QString temporaryPath() const { return program.filePath(QStringLiteral("mp_dat_tmp.sys")); }
    QString servedPath() const { return served.filePath(QStringLiteral("data/mp_dat.sys")); }
    QStringList messages() const { return prompts.texts(); }
    void reset()
    {
        prompts.shown.clear();
        progress.positions.clear();
        listsReset = 0;
    }

    QTemporaryDir program;
    QTemporaryDir served;
    ExternalServer web;
    ScriptedPrompts prompts;
    ProgramOptions options;
    ProgramFolders folders = ProgramFolders::portable(program.path());
    ModelCatalogue catalogue;
    RecordedProgress progress;
    CatalogueUpdate update{catalogue, options, folders, prompts};
    int listsReset = 0;
};

} // namespace

TEST_F(CatalogueUpdateTest, OnlyALargerDownloadThatLoadsIsInstalled)
{
    serveFolder();
    struct Case
    {
        const char* name;
        std::optional<QByteArray> installed; // nothing: no installed file
        QByteArray downloaded;
        QString message;
        bool installs;
    };
    QByteArray sameSize = sjis(oneModel);
    sameSize.replace("F900i", "F901i");
    const Case cases[] = {
        {"same size, other content", sjis(oneModel), sameSize, upToDate, false},
        {"shorter", sjis(twoModels), sjis(oneModel), upToDate, false},
        {"larger", sjis(oneModel), sjis(twoModels), updated, true},
        {"larger but broken", sjis(oneModel), sjis(oneModel) + "<html>\r\n<body>busy</body>\r\n</html>\r\n", failed,
         false},
        // A download that lists no model is no catalogue, whatever is installed.
        {"empty, nothing installed", std::nullopt, QByteArray(), failed, false},
        {"header only, nothing installed", std::nullopt, sjis(header), failed, false},
        {"a captive portal's one-line page", sjis(oneModel),
         "<html><head><title>Login</title></head><body>Please sign in to use this network, "
         "then try again.</body></html>",
         failed, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        QFile::remove(installedPath());
        if (c.installed) {
            ASSERT_TRUE(write(installedPath(), *c.installed));
            ASSERT_TRUE(catalogue.load(installedPath()));
        }
        const int modelsBefore = catalogue.modelCount();
        ASSERT_TRUE(write(servedPath(), c.downloaded));
        update.btUpdateClick();

        EXPECT_EQ(messages(), QStringList{c.message});
        EXPECT_EQ(prompts.shown.value(0).kind, c.message == failed ? MessageKind::Error : MessageKind::Information);
        EXPECT_EQ(contents(installedPath()), c.installs ? c.downloaded : c.installed.value_or("(missing)"));
        EXPECT_FALSE(QFile::exists(temporaryPath()));
        EXPECT_EQ(listsReset, c.installs ? 1 : 0);
        ModelCatalogue expected;
        if (c.installs)
            expected.parse(c.downloaded, QString());
        EXPECT_EQ(catalogue.modelCount(), c.installs ? expected.modelCount() : modelsBefore);
        EXPECT_EQ(progress.positions,
                  c.installs || c.message == failed ? (QList<int>{0, 1, 2, 3}) : (QList<int>{0, 1, 2}));
        EXPECT_EQ(progress.open, 0);
        EXPECT_EQ(prompts.busyDepth, 0);
    }
}

TEST_F(CatalogueUpdateTest, AnswersWithoutACatalogueAreReportedAndChangeNothing)
{
    serveFolder();
    ASSERT_TRUE(write(installedPath(), sjis(oneModel)));
    struct Case
    {
        const char* name;
        QString url;
        QStringList messages;
    };
    const Case cases[] = {
        {"not found", QStringLiteral("http://127.0.0.1:%1/data/none.sys").arg(web.port()), {failed}},
        {"nobody listening",
         QStringLiteral("http://127.0.0.1:%1/mp_dat.sys").arg(ExternalServer::freePort()),
         {unreachable}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        options.services.catalogueUrl = c.url;
        update.btUpdateClick();
        EXPECT_EQ(messages(), c.messages);
        EXPECT_EQ(contents(installedPath()), sjis(oneModel));
        EXPECT_EQ(listsReset, 0);
        EXPECT_EQ(progress.open, 0);
        EXPECT_EQ(prompts.busyDepth, 0);
    }
}

TEST_F(CatalogueUpdateTest, TheProxyIsUsedOnlyWhenChosen)
{
    serveFolder();
    ASSERT_TRUE(write(servedPath(), sjis(oneModel)));
    // Direct: a proxy host that leads nowhere is ignored.
    options.useProxy = false;
    options.proxyHost = QStringLiteral("127.0.0.1");
    options.proxyPort = QString::number(ExternalServer::freePort());
    update.btUpdateClick();
    EXPECT_EQ(messages(), QStringList{updated});

    // Through the proxy: it must be reachable, and a port that is no number stops before asking.
    options.useProxy = true;
    reset();
    update.btUpdateClick();
    EXPECT_EQ(messages(), QStringList{unreachable});
    for (const char* port : {"80a", "70000"}) {
        reset();
        options.proxyPort = QLatin1String(port);
        update.btUpdateClick();
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].kind, MessageKind::Error);
        EXPECT_EQ(progress.positions, QList<int>{0});
        EXPECT_EQ(progress.open, 0);
        EXPECT_EQ(prompts.busyDepth, 0);
    }
    EXPECT_EQ(prompts.shown.value(0).text,
              QStringLiteral("プロキシのポート番号は 1 から 65535 の範囲で指定してください。"));

    if (!ExternalServer::installed(tinyproxy))
        GTEST_SKIP() << "tinyproxy is not installed";
    ExternalServer proxy;
    const QString config = program.filePath(QStringLiteral("tinyproxy.conf"));
    ASSERT_TRUE(proxy.startOnFreePort(tinyproxy, [&](quint16 port) {
        QFile file(config);
        if (file.open(QIODevice::WriteOnly))
            QTextStream(&file) << "Port " << port
                               << "\nListen 127.0.0.1\nTimeout 30\nAllow 127.0.0.1\nLogLevel Error\n";
        return QStringList{QStringLiteral("-d"), QStringLiteral("-c"), config};
    }));
    options.proxyPort = QString::number(proxy.port());
    ASSERT_TRUE(write(servedPath(), sjis(twoModels)));
    reset();
    update.btUpdateClick();
    EXPECT_EQ(messages(), QStringList{updated});
    EXPECT_EQ(catalogue.modelCount(), 2);
}

TEST_F(CatalogueUpdateTest, ASecondUpdateWhileOneRunsIsRefused)
{
    ScriptedHttpServer server;
    server.respond = [](const QByteArray&) {
        return ScriptedHttpServer::Answer{{"HTTP/1.0 200 OK\r\n\r\n", sjis(oneModel)}, 300, true};
    };
    options.services.catalogueUrl = server.url(QStringLiteral("/mp_dat.sys"));
    QTimer::singleShot(50, [this] { update.btUpdateClick(); });
    update.btUpdateClick();
    EXPECT_EQ(server.requests.size(), 1);
    EXPECT_EQ(messages(), QStringList{updated});
    EXPECT_FALSE(update.updating());
}

// What the update itself gives up on is said; nothing is installed and the progress ends.
TEST_F(CatalogueUpdateTest, ItsOwnRefusalsAreReported)
{
    ASSERT_TRUE(write(installedPath(), sjis(oneModel)));
    const QByteArray oversized(int(CatalogueUpdate::MaxCatalogueBytes) + 1, 'a');
    struct Case
    {
        const char* name;
        QList<QByteArray> answer;
        QString message;
    };
    const Case cases[] = {
        {"larger than the cap",
         {"HTTP/1.0 200 OK\r\n\r\n", oversized},
         QStringLiteral("受信した機種情報ファイルが大きすぎるため、アップデートを中止しました。")},
        {"cut short",
         {"HTTP/1.0 200 OK\r\nContent-Length: 500\r\n\r\n", sjis(twoModels)},
         QStringLiteral("機種情報ファイルを最後まで受信できなかったため、アップデートを中止しました。")},
    };
    ScriptedHttpServer server;
    options.services.catalogueUrl = server.url(QStringLiteral("/mp_dat.sys"));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        reset();
        server.respond = [&c](const QByteArray&) { return ScriptedHttpServer::Answer{c.answer, 0, true}; };
        update.btUpdateClick();
        ASSERT_EQ(prompts.shown.size(), 1);
        EXPECT_EQ(prompts.shown[0].kind, MessageKind::Error);
        EXPECT_EQ(prompts.shown[0].text, c.message);
        EXPECT_EQ(progress.open, 0);
        EXPECT_EQ(contents(installedPath()), sjis(oneModel));
        EXPECT_EQ(listsReset, 0);
    }
}

TEST_F(CatalogueUpdateTest, TodaysScreensStayAsShippedAndOfferedAfterAnUpdate)
{
    serveFolder();
    const QByteArray today = sjis(header) + sjis("スマートフォン,\"縦長 20:9 FHD+\",メイン,,1080,2400,24,3000000\r\n");
    const QString todayPath = program.filePath(ModelCatalogue::todayFileName());
    ASSERT_TRUE(write(todayPath, today));
    ASSERT_TRUE(write(installedPath(), sjis(oneModel)));
    ASSERT_TRUE(write(servedPath(), sjis(twoModels)));
    update.btUpdateClick();
    ASSERT_EQ(messages(), QStringList{updated});
    EXPECT_EQ(contents(todayPath), today);
    EXPECT_EQ(catalogue.carriers().last(), QStringLiteral("スマートフォン"));
    EXPECT_EQ(catalogue.FindModel(QStringLiteral("縦長 20:9 FHD+")).Height, 2400);
    EXPECT_EQ(catalogue.entries().front().Name, QStringLiteral("F900i")) << "the updated catalogue comes first";
}
