#include "app/ProgramSession.h"
#include "app/TfrMain.h"
#include "foundation/QtPrompts.h"
#include "foundation/QtTranslations.h"
#include "imaging/FontSubstitutes.h"

#include <QtWidgets/QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    FontSubstitutes::install(); // the stored face names resolve to installed Japanese fonts
    QtTranslations::install();  // the standard dialogs speak Japanese
    QtPrompts prompts;
    ProgramSession session(prompts, QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    prompts.setDialogOwner([&session]() -> QWidget* { return session.frMain(); });
    session.start();
    if (session.ended())
        return 0;
    return app.exec();
}
