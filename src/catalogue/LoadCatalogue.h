#pragma once
#include <QtCore/QString>

class ModelCatalogue;
class ProgramFolders;
class Prompts;

// Loads "mp_dat.sys" from the program folder. A missing file is reported in an error box and gives
// false; a malformed line raises its error for the caller's handler guard.
bool LoadCatalogue(ModelCatalogue& catalogue, const QString& programFolder, Prompts& prompts);
// The same for the program's whole catalogue, as readProgramCatalogue() reads it.
bool LoadCatalogue(ModelCatalogue& catalogue, const ProgramFolders& folders, Prompts& prompts);
// The program's catalogue, for the window and the command line alike: an updated "mp_dat.sys" in
// the user's data folder before the shipped one, then the shipped catalogue of today's screens
// (when the program folder has it). False when there is no "mp_dat.sys"; a malformed line raises
// its error.
bool readProgramCatalogue(ModelCatalogue& catalogue, const ProgramFolders& folders);
// Adds today's screens from the program folder to a catalogue just read; false when there are none.
bool appendTodaysScreens(ModelCatalogue& catalogue, const QString& programFolder);
