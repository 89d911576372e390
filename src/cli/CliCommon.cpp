#include "CliCommon.h"

#include "tools/Projects.h"

#include <QDir>
#include <QFileInfo>

namespace tarveon::cli {

CliContext::CliContext()
{
    // The tool's files, beside the executables or, installed, in the data directories.
    ctx = std::make_unique<AppContext>(CurrentProgramPaths(kToolBaseName), &prompter);
    ctx->InitProtocols();
}

bool CliContext::load()
{
    // The tool's own language file name is tried first and RESOURCES.LNG after it; the notice
    // about the first one missing only matters when neither could be read.
    prompter.hold(true);
    const bool ok = ctx->language.LoadLanguage();
    prompter.hold(false);
    const QStringList shown = prompter.takeHeld();
    if (!ok) {
        for (const QString &text : shown)
            ConsolePrompter::print(text);
    }
    return ok;
}

bool CliContext::openProject(const QString &path)
{
    // The directory's own name and its parent, however the path was written.
    const QFileInfo info(QDir::cleanPath(QDir::current().absoluteFilePath(path)));
    if (!info.isDir() || info.fileName().isEmpty()) {
        ConsolePrompter::print(QStringLiteral("tarveon-cli: not a project directory: ") + path);
        return false;
    }
    ctx->PathProjects = info.absolutePath();
    if (!OpenProject(*ctx, info.fileName())) {
        ConsolePrompter::print(QStringLiteral("tarveon-cli: not a project (no protocol in Project.ini): ") + path);
        return false;
    }
    return true;
}

LinkOptions::LinkOptions(CommandLine &cl)
    : portOption(QStringLiteral("port"), QStringLiteral("Serial device of the gateway (default: the tool's settings)."),
                 QStringLiteral("device")),
      settingsOption(QStringLiteral("settings"), QStringLiteral("Line settings (default: the tool's, 57600,n,8,1)."),
                     QStringLiteral("settings")),
      waitOption(QStringLiteral("wait"), QStringLiteral("Seconds the gateway has to identify itself (10)."),
                 QStringLiteral("seconds"), QStringLiteral("10")),
      tickOption(QStringLiteral("tick-ms"),
                 QStringLiteral("The one-second timer of identification and upload time-out (1000)."),
                 QStringLiteral("ms"), QStringLiteral("1000"))
{
    cl.parser.addOptions({portOption, settingsOption, waitOption, tickOption});
}

PortChoice LinkOptions::port(const CommandLine &cl, const AppContext &ctx) const
{
    PortChoice choice = resolvePortChoice({}, ctx);
    if (cl.isSet(portOption))
        choice.device = cl.value(portOption);
    if (cl.isSet(settingsOption))
        choice.settings = cl.value(settingsOption);
    return choice;
}

namespace {
int positive(const CommandLine &cl, const QCommandLineOption &option)
{
    bool ok = false;
    const int n = cl.value(option).toInt(&ok);
    if (ok && n > 0)
        return n;
    cl.usageError(QStringLiteral("--%1 takes a number above 0").arg(option.names().constFirst()));
    return -1;
}
} // namespace

int LinkOptions::waitSeconds(const CommandLine &cl) const
{
    return positive(cl, waitOption);
}

int LinkOptions::tickMs(const CommandLine &cl) const
{
    return positive(cl, tickOption);
}

} // namespace tarveon::cli
