#pragma once
// The program's shared state: what the windows show and the subsystems work on.
#include "catalogue/ModelCatalogue.h"

struct Workbench {
    QString programFolder; // the executable's folder, ending with '/'
    ModelCatalogue catalogue;
    TModelEntry targetModel;
    bool canStart = false; // read once, at the end of start-up
};
