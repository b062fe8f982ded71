#pragma once
// The technical side of a failure the user is told about in plain words (a library's message, an
// errno text): it goes to standard error, never into a message box.
#include <QtCore/QString>

void writeErrorDetail(const QString& detail);

// Makes every detail pass through `rename` before it is written (the command line names the files it
// opened by descriptor as they were given). Set once, before any detail is written; may be called
// from any thread.
using ErrorDetailRename = QString (*)(const QString& detail);
void setErrorDetailRename(ErrorDetailRename rename);
