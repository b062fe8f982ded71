#pragma once
// Qt's own Japanese texts for its standard dialogs (open, save, colour, font) and their buttons.
#include <QtCore/QString>

class QtTranslations
{
  public:
    // Loads Qt's Japanese translations into the application and makes Japanese its locale; false
    // when the translations are not installed.
    static bool install();
    // Where Qt's translation files are installed.
    static QString folder();
};
