#include "app/ProgramSession.h"
#include "app/TfrMain.h"
#include "foundation/QtTranslations.h"
#include "imaging/drawing/FontSubstitutes.h"
#include "widgets/QtPrompts.h"

#include <QtWidgets/QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    FontSubstitutes::install(); // the stored face names resolve to installed Japanese fonts
    QtTranslations::install();  // the standard dialogs speak Japanese
    QtPrompts prompts;
    ProgramSession session(prompts, QCoreApplication::applicationDirPath() + QLatin1Char('/'));
    prompts.setDialogOwner([&session]() -> QWidget* { return session.frMain(); });
    // "pictorel PICTURE" (a file manager's "open with") opens the picture as a drop would.
    session.start(QCoreApplication::arguments().mid(1));
    if (session.ended())
        return 0;
    return app.exec();
}
