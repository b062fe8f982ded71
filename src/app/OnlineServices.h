#pragma once
// What goes online: sending to the phone, the catalogue update and the web links. Kept apart from
// the Workbench so that the command line, which never goes online, links none of the network code.
#include "catalogue/CatalogueUpdate.h"
#include "output/SendCommand.h"
#include "output/WebLinks.h"
#include "workbench/Workbench.h"

struct OnlineServices
{
    OnlineServices(Workbench& w, Prompts& prompts)
        : sender(w.workspace, w.layers, w.undoCommand, w.options, w.folders, prompts),
          catalogueUpdate(w.catalogue, w.options, w.folders, prompts), links(w.options, prompts)
    {
    }

    SendCommand sender;
    CatalogueUpdate catalogueUpdate;
    WebLinks links;
};
