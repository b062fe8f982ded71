#pragma once
// "転送する": encodes the canvas and its committed layers into a working file within the size
// limit, shows it for confirmation, uploads it to the service's FTP host and opens the page that
// registers it for the member's phone.
#include "net/TFtpClient.h"
#include "output/SizeLimitedEncoder.h"

#include <functional>
#include <random>
#include <utility>

class DrawingLayers;
class ProgramFolders;
class Progress;
class Prompts;
class UndoCommand;
class Workspace;
struct ProgramOptions;

class SendCommand
{
  public:
    static constexpr const char* Comment = "Powered by Pictorel";

    SendCommand(Workspace& workspace, DrawingLayers& layers, UndoCommand& undo, const ProgramOptions& options,
                const ProgramFolders& folders, Prompts& prompts);

    void setProgress(Progress* progress) { progress_ = progress; }
    // The size limit in force, read at every comparison.
    void setLimitSource(std::function<qint64()> limit) { limit_ = std::move(limit); }
    // Shows the encoded file (frPreview); true when the user chose "OK".
    void setPreview(std::function<bool(const QString& path)> confirm) { confirm_ = std::move(confirm); }
    // Opens the options dialog on its KestrixNet page.
    void setOpenAccountOptions(std::function<void()> open) { openAccountOptions_ = std::move(open); }
    // The computer's address as the local host name resolves; empty when it resolves to none.
    void setHostAddressLookup(std::function<QString()> lookup) { hostAddress_ = std::move(lookup); }

    void btSendClick();
    bool sending() const { return sending_; }
    TFtpClient& FtpKestrix() { return ftp_; }

    // The working file of a format in the folder: "send_img.jpg", ".gif", ".png" or ".bmp".
    static QString workingFile(const QString& folder, FileFormat format);
    // Removes whichever working files exist; returns how many.
    static int removeWorkingFiles(const QString& folder);
    // The first IPv4 address of the local host name, dotted; empty when there is none.
    static QString localHostAddress();
    // "host" or "host:port" of the FTP host; port 21 when none is given.
    static std::pair<QString, quint16> splitFtpHost(const QString& ftpHost);

  private:
    enum class Ending { Stopped, AccountMissing };
    Ending send(Progress& progress, const QString& path, FileFormat format);
    bool encode(Progress& progress, const QString& path, FileFormat format);
    bool connectToServer(Progress& progress);
    void upload(Progress& progress, const QString& path, int sendNumber);
    QString localAddress();
    void fail(const QString& text);

    Workspace& workspace_;
    DrawingLayers& layers_;
    UndoCommand& undo_;
    const ProgramOptions& options_;
    const ProgramFolders& folders_;
    Prompts& prompts_;
    Progress* progress_ = nullptr;
    std::function<qint64()> limit_;
    std::function<bool(const QString&)> confirm_ = [](const QString&) { return true; };
    std::function<void()> openAccountOptions_ = [] {};
    std::function<QString()> hostAddress_ = &SendCommand::localHostAddress;
    std::minstd_rand sendNumbers_;
    TFtpClient ftp_;
    bool sending_ = false;
};
