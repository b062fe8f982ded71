#include "catalogue/CatalogueUpdate.h"

#include "catalogue/LoadCatalogue.h"

#include "catalogue/ModelCatalogue.h"
#include "foundation/ProgramFolders.h"
#include "foundation/ProgramOptions.h"
#include "foundation/Progress.h"
#include "foundation/Prompts.h"
#include "net/NetError.h"

#include <QtCore/QFile>
#include <QtCore/QScopeGuard>

#include <cstdio>
#include <iostream>

CatalogueUpdate::CatalogueUpdate(ModelCatalogue& catalogue, const ProgramOptions& options,
                                 const ProgramFolders& folders, Prompts& prompts)
    : catalogue_(catalogue), options_(options), folders_(folders), prompts_(prompts)
{
}

qint64 CatalogueUpdate::fileSize(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.size() : -1;
}

void CatalogueUpdate::btUpdateClick()
{
    // The download keeps the window working; a second update (the button, or start-up's) waits
    // for none and nests in none: it is refused.
    if (updating_)
        return;
    updating_ = true;
    const auto done = qScopeGuard([this] { updating_ = false; });
    NullProgress silent;
    Progress& progress = progress_ ? *progress_ : silent;
    BusyCursor busy(prompts_);
    ProgressScope scope(progress, 4);
    run(progress);
}

void CatalogueUpdate::run(Progress& progress)
{
    progress.ProgressStep(0, QStringLiteral("ネットワーク設定を確認しています"));
    if (!setProxy())
        return;
    http_.SetBody(folders_.catalogueToWrite(temporaryFileName()));
    http_.SetInputFileMode(true);
    http_.SetTimeOut(TimeOutMs);
    http_.SetReportLevel(0);
    http_.SetMaxBodyBytes(MaxCatalogueBytes);
    http_.OnSuccess = [this, &progress] { nmHTTPSuccess(progress); };
    http_.OnFailure = [this] { nmHTTPFailure(); };
    http_.OnConnectionFailed = [this] { nmHTTPConnectionFailed(); };
    progress.ProgressStep(1, QStringLiteral("サーバに接続しています"));
    try {
        http_.Get(options_.services.catalogueAddress());
    } catch (const NetError& error) {
        std::cerr << "pictorel: catalogue download: " << error.what() << '\n';
        reportRefusal(error.cause());
    } catch (const std::exception& error) {
        // Lookup failures and the like end the update without a message.
        std::cerr << "pictorel: catalogue download: " << error.what() << '\n';
    }
}

// What the update itself gave up on is said; a server that cannot be found or reached is not.
void CatalogueUpdate::reportRefusal(NetError::Cause cause)
{
    QString text;
    switch (cause) {
    case NetError::Cause::TooLarge:
        text = QStringLiteral("受信した機種情報ファイルが大きすぎるため、アップデートを中止しました。");
        break;
    case NetError::Cause::TimedOut:
        text = QStringLiteral("機種情報ファイルサーバが時間内に応答しなかったため、アップデートを中止しました。");
        break;
    case NetError::Cause::CutShort:
        text = QStringLiteral("機種情報ファイルを最後まで受信できなかったため、アップデートを中止しました。");
        break;
    case NetError::Cause::Other:
        return;
    }
    prompts_.message(MessageKind::Error, text);
}

bool CatalogueUpdate::setProxy()
{
    if (!options_.useProxy) {
        http_.SetProxy(QString());
        http_.SetProxyPort(0);
        return true;
    }
    const QString portText = options_.proxyPort.trimmed();
    bool ok = false;
    const int port = portText.toInt(&ok);
    if (!ok) {
        prompts_.message(MessageKind::Error, QStringLiteral("'%1' は整数ではありません").arg(options_.proxyPort));
        return false;
    }
    if (port < 1 || port > 65535) {
        prompts_.message(MessageKind::Error,
                         QStringLiteral("プロキシのポート番号は 1 から 65535 の範囲で指定してください。"));
        return false;
    }
    http_.SetProxy(options_.proxyHost);
    http_.SetProxyPort(quint16(port));
    return true;
}

void CatalogueUpdate::nmHTTPSuccess(Progress& progress)
{
    progress.ProgressStep(2, QStringLiteral("機種情報のバージョンを確認しています"));
    const QString downloaded = http_.Body();
    const QString installed = folders_.catalogueToRead(ModelCatalogue::fileName());
    // A missing installed file counts as -1, so any answer, an empty one too, is newer.
    if (fileSize(downloaded) <= fileSize(installed)) {
        QFile::remove(downloaded);
        prompts_.message(MessageKind::Information, QStringLiteral("既に機種情報ファイルは最新版です。"));
        return;
    }
    progress.ProgressStep(3, QStringLiteral("機種情報をアップデートしています"));
    if (!install(downloaded, folders_.catalogueToWrite(ModelCatalogue::fileName()))) {
        QFile::remove(downloaded);
        updateFailed();
        return;
    }
    installed_();
    prompts_.message(MessageKind::Information, QStringLiteral("最新の機種情報ファイルにアップデートしました。"));
}

bool CatalogueUpdate::install(const QString& downloaded, const QString& installed)
{
    ModelCatalogue fresh;
    try {
        if (!fresh.load(downloaded))
            return false;
        // A captive portal's page reads as a header line and nothing else: that is no catalogue.
        if (fresh.modelCount() == 0) {
            std::cerr << "pictorel: the downloaded catalogue lists no models\n";
            return false;
        }
        appendTodaysScreens(fresh, folders_.programFolder()); // shipped, never replaced by an update
    } catch (const std::exception& error) {
        std::cerr << "pictorel: the downloaded catalogue does not load: " << error.what() << '\n';
        return false;
    }
    // rename(2) replaces the installed file in one step: a reader sees the old file or the new one.
    if (std::rename(QFile::encodeName(downloaded).constData(), QFile::encodeName(installed).constData()) != 0) {
        std::perror("pictorel: installing the downloaded catalogue");
        return false;
    }
    catalogue_ = std::move(fresh);
    return true;
}

void CatalogueUpdate::nmHTTPFailure()
{
    std::cerr << "pictorel: catalogue download answered with status " << http_.StatusCode() << '\n';
    updateFailed();
}

void CatalogueUpdate::updateFailed()
{
    prompts_.message(MessageKind::Error, QStringLiteral("機種情報ファイルのアップデートに失敗しました。"));
}

void CatalogueUpdate::nmHTTPConnectionFailed()
{
    prompts_.message(MessageKind::Error, QStringLiteral("機種情報ファイルサーバへの接続に失敗しました。"));
}
