#pragma once
#include <QtCore/QString>

class ModelCatalogue;
class ProgramFolders;
class Prompts;

// Loads "mp_dat.sys" from the program folder. A missing file is reported in an error box and gives
// false; a malformed line raises its error for the caller's handler guard.
bool LoadCatalogue(ModelCatalogue& catalogue, const QString& programFolder, Prompts& prompts);
// The same, reading an updated catalogue in the user's data folder before the shipped one, and then
// adding the shipped catalogue of today's screens (when the program folder has it).
bool LoadCatalogue(ModelCatalogue& catalogue, const ProgramFolders& folders, Prompts& prompts);
// Adds today's screens from the program folder to a catalogue just read; false when there are none.
bool appendTodaysScreens(ModelCatalogue& catalogue, const QString& programFolder);
