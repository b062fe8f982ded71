#pragma once
// The program's icon, drawn at every size into "icons/<n>x<n>/apps/pictorel.png" of the program
// folder (the icon theme's own layout, which the install copies into the hicolor theme).
#include <QtGui/QIcon>

namespace ProgramIcon {
// Every size found in the program folder; a null icon when there is none.
QIcon load(const QString& programFolder);
} // namespace ProgramIcon
