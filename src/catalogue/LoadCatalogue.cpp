#include "catalogue/LoadCatalogue.h"

#include "catalogue/ModelCatalogue.h"
#include "foundation/ProgramFolders.h"
#include "foundation/Prompts.h"

namespace {

bool reportedMissing(Prompts& prompts)
{
    prompts.message(MessageKind::Error,
                    QStringLiteral("mp_dat.sys が見つからなかったため、このアプリケーションを開始できませんでした。"
                                   "アプリケーションをインストールし直すとこの問題は解決される場合があります。"));
    return false;
}

} // namespace

bool LoadCatalogue(ModelCatalogue& catalogue, const QString& programFolder, Prompts& prompts)
{
    return catalogue.load(programFolder + ModelCatalogue::fileName()) || reportedMissing(prompts);
}

bool LoadCatalogue(ModelCatalogue& catalogue, const ProgramFolders& folders, Prompts& prompts)
{
    return readProgramCatalogue(catalogue, folders) || reportedMissing(prompts);
}

bool readProgramCatalogue(ModelCatalogue& catalogue, const ProgramFolders& folders)
{
    if (!catalogue.load(folders.catalogueToRead(ModelCatalogue::fileName())))
        return false;
    appendTodaysScreens(catalogue, folders.programFolder());
    return true;
}

bool appendTodaysScreens(ModelCatalogue& catalogue, const QString& programFolder)
{
    return catalogue.append(programFolder + ModelCatalogue::todayFileName());
}
