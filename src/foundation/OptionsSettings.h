#pragma once
// The options as the settings file holds them: the effect parameters, the save format and the
// colour-reduction switches ("詳細設定：…" sections).
#include "foundation/ProgramOptions.h"

class IniFile;

namespace OptionsSettings {
// Reads what the file holds; missing keys keep their defaults. Dithering is on and the fixed
// palette off at every start, whatever the file says.
void read(const IniFile& file, ProgramOptions& options);
} // namespace OptionsSettings
