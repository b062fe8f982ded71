// The picture files of one folder, as the thumbnail lists offer them.
#pragma once

#include <QtCore/QStringList>

class ImageFolder
{
  public:
    // bmp, jpg, jpeg, gif, png (any letter case).
    static QStringList defaultExtensions();

    // Names (without folder) of the regular files in `folder` whose extension is one of `extensions`,
    // compared without regard to case, sorted by name without regard to case. Empty for a missing folder.
    static QStringList list(const QString& folder, const QStringList& extensions = defaultExtensions());
};
