#include "app/AppContext.h"
#include "app/CommandLine.h"
#include "app/ConsolePrompter.h"
#include "app/ProgramPaths.h"
#include "app/ui/AppIcon.h"
#include "app/ui/MDITarveon.h"
#include "app/ui/WidgetPrompter.h"

#include <QApplication>
#include <QTextStream>

namespace {

// The options the window system takes for itself (QGuiApplication, QApplication): accepted here
// and left to QApplication, so that they are no usage error.
void addWindowSystemOptions(QCommandLineParser &parser)
{
    const char *const withValue[] = {"platform", "platformpluginpath", "platformtheme", "plugin", "qmljsdebugger",
                                     "qwindowgeometry", "qwindowicon", "qwindowtitle", "session", "display",
                                     "geometry", "style", "stylesheet"};
    for (const char *name : withValue) {
        QCommandLineOption option(QString::fromLatin1(name), QString(), QStringLiteral("value"));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
    for (const char *name : {"reverse", "widgetcount"}) {
        QCommandLineOption option(QString::fromLatin1(name));
        option.setFlags(QCommandLineOption::HiddenFromHelp);
        parser.addOption(option);
    }
}

} // namespace

int main(int argc, char *argv[])
{
    // The options are read before any window system is needed: --help, --version, --paths and
    // usage errors end without a display.
    tarveon::CommandLine cl(QStringLiteral("tarveon-config"));
    cl.parser.setApplicationDescription(QStringLiteral("Configuration tool for the Tarveon KNX/EIB gateway."));
    cl.parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    const QCommandLineOption port(QStringLiteral("port"),
                                  QStringLiteral("The gateway's serial device for this run (the settings keep theirs)."),
                                  QStringLiteral("device"));
    const QCommandLineOption online(QStringLiteral("online"),
                                    QStringLiteral("Open the last project at once and go on line with it."));
    const QCommandLineOption paths(QStringLiteral("paths"),
                                   QStringLiteral("Print the files and directories the tool uses, create nothing."));
    cl.parser.addOptions({port, online, paths});
    addWindowSystemOptions(cl.parser);
    QStringList args;
    for (int i = 1; i < argc; ++i)
        args << QString::fromLocal8Bit(argv[i]);
    if (const int code = cl.parse(args); code >= 0)
        return code;

    if (cl.isSet(paths)) {
        QCoreApplication app(argc, argv);
        tarveon::ConsolePrompter prompter;
        tarveon::AppContext ctx(tarveon::CurrentProgramPaths(), &prompter);
        QTextStream(stdout) << tarveon::DescribePaths(ctx);
        return 0;
    }

    QApplication app(argc, argv);
    app.setApplicationName(tarveon::kAppTitle);
    app.setWindowIcon(tarveon::appIcon());
    // Lets the desktop match the window with the installed desktop entry and its icon.
    app.setDesktopFileName(QStringLiteral("tarveon-config"));
    tarveon::WidgetPrompter prompter;
    // Beside the executable, or the installed data directory and the user's data directory.
    const tarveon::ProgramPaths programPaths = tarveon::CurrentProgramPaths();
    tarveon::MakeSettingsDir(programPaths);
    tarveon::AppContext ctx(programPaths, &prompter);
    prompter.setContext(&ctx);
    tarveon::MDITarveon window(ctx);
    prompter.setParent(&window);
    if (!window.startUp(cl.isSet(online)))
        return 0;
    return app.exec();
}
