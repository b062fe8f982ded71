#include "output/SendCommand.h"

#include "decoration/DrawingLayers.h"
#include "foundation/ProgramFolders.h"
#include "foundation/ProgramOptions.h"
#include "foundation/Progress.h"
#include "foundation/Prompts.h"
#include "output/SaveCommand.h"
#include "output/ServiceAddresses.h"
#include "output/TemporaryLayer.h"
#include "workspace/Workspace.h"

#include <QtCore/QDateTime>
#include <QtCore/QFile>
#include <QtCore/QScopeGuard>
#include <QtNetwork/QHostInfo>

#include <iostream>

namespace {

constexpr FileFormat workingFormats[] = {FileFormat::Jpeg, FileFormat::Gif, FileFormat::Png, FileFormat::Bmp};

FileFormat formatOf(SaveFormatChoice choice)
{
    return workingFormats[int(choice)];
}

} // namespace

SendCommand::SendCommand(Workspace& workspace, DrawingLayers& layers, UndoCommand& undo, const ProgramOptions& options,
                         const ProgramFolders& folders, Prompts& prompts)
    : workspace_(workspace), layers_(layers), undo_(undo), options_(options), folders_(folders), prompts_(prompts),
      sendNumbers_(std::minstd_rand::result_type(QDateTime::currentSecsSinceEpoch()))
{
}

QString SendCommand::workingFile(const QString& folder, FileFormat format)
{
    switch (format) {
    case FileFormat::Jpeg:
        return folder + QStringLiteral("send_img.jpg");
    case FileFormat::Gif:
        return folder + QStringLiteral("send_img.gif");
    case FileFormat::Png:
        return folder + QStringLiteral("send_img.png");
    case FileFormat::Bmp:
        break;
    }
    return folder + QStringLiteral("send_img.bmp");
}

int SendCommand::removeWorkingFiles(const QString& folder)
{
    int removed = 0;
    for (FileFormat format : workingFormats) {
        const QString path = workingFile(folder, format);
        if (QFile::exists(path) && QFile::remove(path))
            ++removed;
    }
    return removed;
}

QString SendCommand::localHostAddress()
{
    const QHostInfo info = QHostInfo::fromName(QHostInfo::localHostName());
    for (const QHostAddress& address : info.addresses())
        if (address.protocol() == QAbstractSocket::IPv4Protocol)
            return address.toString();
    return {};
}

std::pair<QString, quint16> SendCommand::splitFtpHost(const QString& ftpHost)
{
    const QString host = ftpHost.trimmed();
    const qsizetype colon = host.lastIndexOf(QLatin1Char(':'));
    if (colon > 0 && host.indexOf(QLatin1Char(':')) == colon) {
        bool ok = false;
        const uint port = host.mid(colon + 1).toUInt(&ok);
        if (ok && port > 0 && port <= 65535)
            return {host.left(colon), quint16(port)};
    }
    return {host, 21};
}

void SendCommand::btSendClick()
{
    // The network waits keep the window working, so the button can be pressed again meanwhile.
    if (sending_)
        return;
    sending_ = true;
    const auto done = qScopeGuard([this] { sending_ = false; });
    Ending ending = Ending::Stopped;
    {
        BusyCursor busy(prompts_);
        removeWorkingFiles(folders_.workFolder());
        if (!workspace_.hasPicture()) {
            prompts_.message(MessageKind::Error, QStringLiteral("画像が読み込まれていません。"));
            return;
        }
        const FileFormat format = formatOf(options_.saveFormat);
        const QString path = workingFile(folders_.workFolder(), format);
        NullProgress silent;
        Progress& progress = progress_ ? *progress_ : silent;
        TemporaryLayer(layers_, undo_).run(progress, 7, [&] { ending = send(progress, path, format); });
    }
    if (ending == Ending::AccountMissing)
        openAccountOptions_();
}

SendCommand::Ending SendCommand::send(Progress& progress, const QString& path, FileFormat format)
{
    progress.ProgressStep(0, QStringLiteral("画像を保存しています"));
    if (format == FileFormat::Bmp) {
        prompts_.message(MessageKind::Error, QStringLiteral("BMP形式でのアップロードはできません。"));
        return Ending::Stopped;
    }
    if (!encode(progress, path, format) || !confirm_(path))
        return Ending::Stopped;
    const int sendNumber = int(sendNumbers_() % 100);
    if (!options_.account.complete()) {
        prompts_.message(MessageKind::Warning,
                         QStringLiteral("KestrixNetの登録情報が設定されていません。\n転送を中止します。"));
        return Ending::AccountMissing;
    }
    if (connectToServer(progress))
        upload(progress, path, sendNumber);
    return Ending::Stopped;
}

bool SendCommand::encode(Progress& progress, const QString& path, FileFormat format)
{
    SizeLimitedEncoder encoder(layers_.flattenOnto(workspace_.workspaceImage()), limit_,
                               {options_.dither, options_.fixedPalette}, &prompts_);
    const auto stage = [&progress](EncodeStage point) {
        if (point == EncodeStage::FirstWriteMeasured)
            progress.ProgressStep(1, QStringLiteral("保存画像の品質を調整しています"));
    };
    const EncodeResult result = encoder.EncodeWithinLimit(path, format, QString::fromLatin1(Comment), stage);
    encoder.releaseImage();
    if (result.outcome == EncodeOutcome::Fitted)
        return true;
    prompts_.message(SaveCommand::outcomeKind(result), SaveCommand::outcomeText(format, result));
    return false;
}

bool SendCommand::connectToServer(Progress& progress)
{
    progress.ProgressStep(2, QStringLiteral("サーバへの接続設定をしています"));
    // Settings can only change on a closed client; nothing of an earlier send is left over.
    if (ftp_.state() != TFtpClient::State::NotConnected)
        ftp_.Quit();
    const bool socks = options_.useSocks;
    const auto [host, port] = splitFtpHost(options_.services.ftpHost);
    ftp_.SetHostName(host);
    ftp_.SetPort(port);
    ftp_.SetSocksServer(socks ? options_.socksServer.trimmed() : QString());
    ftp_.SetSocksPort(socks ? options_.socksPort.trimmed() : QString());
    ftp_.SetSocksUserCode(socks ? options_.socksUser : QString());
    ftp_.SetSocksPassword(socks ? options_.socksPassword : QString());
    if (ftp_.Connect())
        return true;
    std::cerr << "pictorel: FTP connection failed: " << ftp_.LastReply().text.toStdString() << '\n';
    fail(QStringLiteral(
             "転送サーバへの接続に失敗しました\nネットワークの設定を確認してください\n"
             "特にご利用のネットワークにファイアウォールが設定されている場合には環境設定のSOCK設定を"
             "有効にする必要があります\n\n%1\n上記URLに接続できない場合にはサーバが混み合っている可能性があります")
             .arg(ServiceAddresses(options_.services).topPage()));
    return false;
}

QString SendCommand::localAddress()
{
    const QString named = hostAddress_();
    return named.isEmpty() ? ftp_.ControlLocalAddress() : named;
}

void SendCommand::upload(Progress& progress, const QString& path, int sendNumber)
{
    const QString address = localAddress();
    if (address.isEmpty()) {
        fail(QStringLiteral("このコンピュータのIPアドレスを取得できませんでした。\n転送を中止します。"));
        return;
    }
    progress.ProgressStep(4, QStringLiteral("画像をアップロードしています"));
    ftp_.SetLocalFileName(path);
    ftp_.SetHostFileName(QStringLiteral("%1_%2.jpg").arg(address).arg(sendNumber));
    if (!ftp_.Put()) {
        std::cerr << "pictorel: FTP upload failed: " << ftp_.LastReply().text.toStdString() << '\n';
        fail(QStringLiteral("転送サーバへのファイルアップロードに失敗しました\n"
                            "サーバの容量あいっぱいか、サーバが混み合っている可能性があります"));
        return;
    }
    progress.ProgressStep(5, QStringLiteral("サーバとの接続を切断しています"));
    ftp_.Quit();
    progress.ProgressStep(6, QStringLiteral("画像の転送情報を表示しています"));
    prompts_.openUrl(ServiceAddresses(options_.services).registrationPage(options_.account, address, sendNumber));
}

void SendCommand::fail(const QString& text)
{
    ftp_.Quit();
    prompts_.message(MessageKind::Error, text);
}
