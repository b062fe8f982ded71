#pragma once
// The files the program keeps in its working folder while it runs.
#include <QtCore/QString>

namespace WorkingFiles {
// "temp-0.bmp", "temp-1.bmp", ... removed upwards until the first missing number; returns how many.
int removeUndoImages(const QString& workFolder);
// Removes whichever of "send_img.jpg/.gif/.png/.bmp" exist; returns how many.
int removeSendFiles(const QString& workFolder);
} // namespace WorkingFiles
