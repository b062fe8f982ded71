#pragma once
// The technical side of a failure the user is told about in plain words (a library's message, an
// errno text): it goes to standard error, never into a message box.
#include <QtCore/QString>

void writeErrorDetail(const QString& detail);
