#include "app/ProgramSession.h"
#include "app/TfrMain.h"
#include "foundation/QtPrompts.h"

#include <QtWidgets/QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QtPrompts prompts;
    ProgramSession session(prompts, QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    session.start();
    prompts.setDialogParent(session.frMain());
    if (session.ended())
        return 0;
    return app.exec();
}
