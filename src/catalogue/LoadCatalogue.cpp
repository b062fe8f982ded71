#include "catalogue/LoadCatalogue.h"

#include "catalogue/ModelCatalogue.h"
#include "foundation/Prompts.h"

bool LoadCatalogue(ModelCatalogue& catalogue, const QString& programFolder, Prompts& prompts)
{
    if (catalogue.load(programFolder + ModelCatalogue::fileName()))
        return true;
    prompts.message(MessageKind::Error,
                    QStringLiteral("mp_dat.sys が見つからなかったため、このアプリケーションを開始できませんでした。"
                                   "アプリケーションをインストールし直すとこの問題は解決される場合があります。"));
    return false;
}
