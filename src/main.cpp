#include "app/ProgramSession.h"
#include "app/TfrMain.h"
#include "foundation/QtPrompts.h"
#include "imaging/FontSubstitutes.h"

#include <QtWidgets/QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    FontSubstitutes::install(); // the stored face names resolve to installed Japanese fonts
    QtPrompts prompts;
    ProgramSession session(prompts, QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    session.start();
    prompts.setDialogParent(session.frMain());
    if (session.ended())
        return 0;
    return app.exec();
}
