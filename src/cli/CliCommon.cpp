#include "CliCommon.h"

#include "tools/ProjectListCore.h"

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
    if (!tarveon::openProject(*ctx, info.fileName())) {
        ConsolePrompter::print(QStringLiteral("tarveon-cli: not a project (no protocol in Project.ini): ") + path);
        return false;
    }
    return true;
}

LinkOptions::LinkOptions(CommandLine &cl, bool withProject)
    : m_port(QStringLiteral("port"), QStringLiteral("Serial device of the gateway (default: the tool's settings)."),
             QStringLiteral("device")),
      m_settings(QStringLiteral("settings"), QStringLiteral("Line settings (default: the tool's, 57600,n,8,1)."),
                 QStringLiteral("settings")),
      m_wait(QStringLiteral("wait"), QStringLiteral("Seconds the gateway has to identify itself (10)."),
             QStringLiteral("seconds"), QStringLiteral("10")),
      m_tick(QStringLiteral("tick-ms"), QStringLiteral("The one-second timer of identification and upload time-out (1000)."),
             QStringLiteral("ms"), QStringLiteral("1000")),
      m_project(QStringLiteral("project"), QStringLiteral("The gateway must be of this project's family."),
                QStringLiteral("dir")),
      m_withProject(withProject)
{
    cl.parser.addOptions({m_port, m_settings, m_wait, m_tick});
    if (withProject)
        cl.parser.addOption(m_project);
}

int LinkOptions::prepare(const CommandLine &cl, CliContext &cli)
{
    for (auto [option, number] : {std::pair{&m_wait, &waitSeconds}, std::pair{&m_tick, &tickMs}}) {
        bool ok = false;
        *number = cl.value(*option).toInt(&ok);
        if (!ok || *number <= 0)
            return cl.usageError(QStringLiteral("--%1 takes a number above 0").arg(option->names().constFirst()));
    }
    if (!cli.load() || (m_withProject && cl.isSet(m_project) && !cli.openProject(cl.value(m_project))))
        return ExitError;
    return -1;
}

PortChoice LinkOptions::port(const CommandLine &cl, const AppContext &ctx) const
{
    PortChoice choice = resolvePortChoice({}, ctx);
    if (cl.isSet(m_port))
        choice.device = cl.value(m_port);
    if (cl.isSet(m_settings))
        choice.settings = cl.value(m_settings);
    return choice;
}

} // namespace tarveon::cli
