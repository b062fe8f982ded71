#pragma once
// The options as the settings file holds them: the "詳細設定：…" sections of the options dialog and
// the service hosts ("サービス"). The program and pictorel-cli read them the same way.
#include "foundation/PlacementPanels.h"
#include "foundation/ProgramOptions.h"

class IniFile;

namespace OptionsSettings {
// Reads what the file holds into options; missing or unreadable values keep what options held.
// The rows the file keeps but never gives back take their fixed values: the guide colour black,
// the margin white, the placement "中央", dithering on and the fixed palette off. A radio pair or
// the format buttons keep one member on: the last one the file sets on wins, none keeps the old.
void read(const IniFile& file, ProgramOptions& options);
// Writes the sections in their order, every key in its order.
void write(IniFile& file, const ProgramOptions& options, const PlacementPanels& panels);
} // namespace OptionsSettings
