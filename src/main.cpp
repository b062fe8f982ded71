#include "app/ProgramSession.h"
#include "app/TfrMain.h"
#include "foundation/ProgramFolders.h"
#include "foundation/QtTranslations.h"
#include "imaging/drawing/FontSubstitutes.h"
#include "widgets/GuardedApplication.h"
#include "widgets/QtPrompts.h"

#include <cstdio>
#include <cstring>

namespace {

const char usage[] = "Usage: pictorel [PICTURE]\n"
                     "       pictorel --help | --version\n"
                     "\n"
                     "Opens the window that makes a picture into a standby image for a mobile phone.\n"
                     "A PICTURE given is opened as a file dropped on the window would be. When the\n"
                     "program already runs for this user on the same folder, the picture goes to that\n"
                     "window, which comes to the front, and this start ends.\n"
                     "pictorel-cli does the same work from the command line.\n";

// --help and --version are answered before the window library starts: no display is needed.
bool answeredOnTerminal(int argc, char** argv)
{
    if (argc != 2)
        return false;
    if (std::strcmp(argv[1], "--version") == 0)
        std::printf("pictorel %s\n", PICTOREL_VERSION);
    else if (std::strcmp(argv[1], "--help") == 0 || std::strcmp(argv[1], "-h") == 0)
        std::fputs(usage, stdout);
    else
        return false;
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (answeredOnTerminal(argc, argv))
        return 0;
    QtPrompts prompts; // outlives the application, which shows escaped errors through it
    GuardedApplication app(argc, argv);
    app.setPrompts(&prompts);
    FontSubstitutes::install(); // the stored face names resolve to installed Japanese fonts
    QtTranslations::install();  // the standard dialogs speak Japanese
    ProgramSession session(prompts, ProgramFolders::forProgram(QCoreApplication::applicationDirPath()));
    prompts.setDialogOwner([&session]() -> QWidget* { return session.frMain(); });
    // "pictorel PICTURE" (a file manager's "open with") opens the picture as a drop would.
    session.start(QCoreApplication::arguments().mid(1));
    if (session.ended())
        return 0;
    return app.exec();
}
