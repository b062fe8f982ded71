#include "catalogue/LoadCatalogue.h"

#include "catalogue/ModelCatalogue.h"
#include "foundation/ProgramFolders.h"
#include "foundation/Prompts.h"

namespace {

bool loadFrom(ModelCatalogue& catalogue, const QString& path, Prompts& prompts)
{
    if (catalogue.load(path))
        return true;
    prompts.message(MessageKind::Error,
                    QStringLiteral("mp_dat.sys が見つからなかったため、このアプリケーションを開始できませんでした。"
                                   "アプリケーションをインストールし直すとこの問題は解決される場合があります。"));
    return false;
}

} // namespace

bool LoadCatalogue(ModelCatalogue& catalogue, const QString& programFolder, Prompts& prompts)
{
    return loadFrom(catalogue, programFolder + ModelCatalogue::fileName(), prompts);
}

bool LoadCatalogue(ModelCatalogue& catalogue, const ProgramFolders& folders, Prompts& prompts)
{
    if (!loadFrom(catalogue, folders.catalogueToRead(ModelCatalogue::fileName()), prompts))
        return false;
    appendTodaysScreens(catalogue, folders.programFolder());
    return true;
}

bool appendTodaysScreens(ModelCatalogue& catalogue, const QString& programFolder)
{
    return catalogue.append(programFolder + ModelCatalogue::todayFileName());
}
