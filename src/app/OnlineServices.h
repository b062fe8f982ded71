#pragma once
// What goes online: sending to the phone, the catalogue update and the web links. Kept apart from
// the Workbench so that the command line, which never goes online, links none of the network code.
#include "catalogue/CatalogueUpdate.h"
#include "foundation/Prompts.h"
#include "output/SendCommand.h"
#include "output/WebLinks.h"
#include "workbench/Workbench.h"

struct OnlineServices
{
    OnlineServices(Workbench& w, Prompts& prompts)
        : sender(w.workspace, w.layers, w.undoCommand, w.options, w.folders, prompts),
          catalogueUpdate(w.catalogue, w.options, w.folders, prompts), links(w.options, prompts), prompts_(prompts)
    {
    }

    // "転送する" and "機種情報を更新する". A send and a catalogue update share the progress dialog and
    // the waits on the network, so one is refused while the other runs.
    void send()
    {
        if (catalogueUpdate.updating())
            prompts_.message(MessageKind::Information,
                             QStringLiteral("機種情報を更新しています。更新が終わってから転送してください。"));
        else
            sender.btSendClick();
    }
    void updateCatalogue()
    {
        if (sender.sending())
            prompts_.message(MessageKind::Information,
                             QStringLiteral("画像を転送しています。転送が終わってから更新してください。"));
        else
            catalogueUpdate.btUpdateClick();
    }

    SendCommand sender;
    CatalogueUpdate catalogueUpdate;
    WebLinks links;

  private:
    Prompts& prompts_;
};
