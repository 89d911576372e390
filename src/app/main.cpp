#include "app/AppContext.h"
#include "app/ProgramPaths.h"
#include "app/RecordingPrompter.h"
#include "app/Version.h"
#include "app/ui/AppIcon.h"
#include "app/ui/MDITarveon.h"
#include "app/ui/WidgetPrompter.h"

#include <QApplication>
#include <QTextStream>
#include <cstring>

namespace {

// --paths: where this program would read and write its files, without opening a window.
int printPaths(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    tarveon::RecordingPrompter prompter;
    tarveon::AppContext ctx(tarveon::CurrentProgramPaths(), &prompter);
    QTextStream(stdout) << tarveon::DescribePaths(ctx);
    return 0;
}

} // namespace

int main(int argc, char *argv[])
{
    if (tarveon::PrintVersionIfAsked(argc, argv, QStringLiteral("tarveon-config")))
        return 0;
    if (argc > 1 && std::strcmp(argv[1], "--paths") == 0)
        return printPaths(argc, argv);

    QApplication app(argc, argv);
    app.setApplicationName(tarveon::kAppTitle);
    app.setWindowIcon(tarveon::appIcon());
    // Lets the desktop match the window with the installed desktop entry and its icon.
    app.setDesktopFileName(QStringLiteral("tarveon-config"));
    tarveon::WidgetPrompter prompter;
    // Beside the executable, or the installed data directory and the user's data directory.
    tarveon::AppContext ctx(tarveon::CurrentProgramPaths(), &prompter);
    prompter.setContext(&ctx);
    tarveon::MDITarveon window(ctx);
    prompter.setParent(&window);
    if (!window.startUp())
        return 0;
    return app.exec();
}
