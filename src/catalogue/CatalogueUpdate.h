#pragma once
// "機種情報を更新する": downloads the catalogue from the service's web host into a temporary file
// and installs it when it is larger than the installed one. A download is installed only when it
// loads as a catalogue of at least one model, and by an atomic rename, so a broken answer (or a web
// page served in its place) never replaces a working file.
#include "net/NetError.h"
#include "net/TNMHTTP.h"

#include <functional>

class ModelCatalogue;
class ProgramFolders;
class Progress;
class Prompts;
struct ProgramOptions;

class CatalogueUpdate
{
  public:
    static constexpr qint32 TimeOutMs = 300000;
    static constexpr qint64 MaxCatalogueBytes = 16 * 1024 * 1024; // nothing larger is a catalogue
    static QString temporaryFileName() { return QStringLiteral("mp_dat_tmp.sys"); }

    CatalogueUpdate(ModelCatalogue& catalogue, const ProgramOptions& options, const ProgramFolders& folders,
                    Prompts& prompts);

    void setProgress(Progress* progress) { progress_ = progress; }
    // The catalogue was replaced: the lists must be refilled and show their prompts.
    void setInstalledListener(std::function<void()> installed) { installed_ = std::move(installed); }

    void btUpdateClick();
    bool updating() const { return updating_; }
    TNMHTTP& nmHTTP() { return http_; }

    // The size of a file in bytes, -1 when it cannot be opened.
    static qint64 fileSize(const QString& path);

  private:
    void run(Progress& progress);
    bool setProxy();
    void nmHTTPSuccess(Progress& progress);
    void nmHTTPFailure();
    void nmHTTPConnectionFailed();
    bool install(const QString& downloaded, const QString& installed);
    void updateFailed();
    void reportRefusal(NetError::Cause cause);

    ModelCatalogue& catalogue_;
    const ProgramOptions& options_;
    const ProgramFolders& folders_;
    Prompts& prompts_;
    Progress* progress_ = nullptr;
    std::function<void()> installed_ = [] {};
    TNMHTTP http_;
    bool updating_ = false;
};
