#include "CmdGenerate.h"
#include "app/Protocols.h"

#include "app/AppContext.h"
#include "app/RecordingPrompter.h"
#include "editor/AcceptChecks.h"
#include "editor/ProjectSettings.h"
#include "editor/SignalCatalogue.h"
#include "editor/SignalColumns.h"
#include "model/Generate.h"
#include "model/SignalTableFile.h"
#include "tools/Projects.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QTextStream>
#include <memory>

namespace tarveon::cli {

const char *const kValidateSynopsis = "validate PROJECT_DIR   run the editor's checks on a project, write nothing";
const char *const kGenerateSynopsis =
    "generate PROJECT_DIR   check a project and write its gateway configuration file";

namespace {

constexpr int kDone = 0;
constexpr int kRefused = 1;
constexpr int kFileOrUsage = 2;

// One message per line: line breaks inside a message become blanks.
QString oneLine(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    text.replace(QLatin1Char('\r'), QLatin1Char(' '));
    text.replace(QLatin1Char('\n'), QLatin1Char(' '));
    return text;
}

void printError(const QString &text)
{
    QTextStream(stderr) << oneLine(text) << Qt::endl;
}

// The program's context as the command line has it: the program directory is the executable's,
// its settings and language files are the tool's own (tarveon-config.ini, tarveon-config.LNG or
// RESOURCES.LNG); every message is printed and no question is ever asked.
struct Session {
    RecordingPrompter prompter;
    std::unique_ptr<AppContext> ctx;
    int protocolCode = 0;
    ProjectSettings settings;
    SignalTable table;

    Session()
    {
        // The tool's files, beside the executables or, installed, in the data directories.
        ctx = std::make_unique<AppContext>(CurrentProgramPaths(kToolBaseName), &prompter);
        ctx->InitProtocols();
    }

    // The notice that the tool's own language file name is missing only matters when the
    // fallback cannot be read either.
    bool loadLanguage()
    {
        const bool ok = ctx->language.LoadLanguage();
        if (!ok) {
            for (const RecordingPrompter::Record &r : prompter.records)
                printError(r.text);
        }
        prompter.clear();
        prompter.onRecord = [](const RecordingPrompter::Record &r) { printError(r.text); };
        return ok;
    }

    // The project as the project list opens it, then its settings and its signal table as the
    // editor builds them. False after printing why (a usage or file error).
    bool openProject(const QString &path)
    {
        const QFileInfo info(path);
        if (!info.isDir()) {
            printError(QStringLiteral("tarveon-cli: not a project directory: ") + path);
            return false;
        }
        AppContext &c = *ctx;
        c.PathProjects = info.absolutePath();
        if (!OpenProject(c, info.fileName())) {
            printError(QStringLiteral("tarveon-cli: not a project (no protocol in Project.ini): ") + path);
            return false;
        }
        protocolCode = ProjectProtocolCode(c);
        if (!protocol::hasEditor(protocolCode)) {
            printError(QStringLiteral("tarveon-cli: no configuration for protocol ") + c.ProjectProtocol);
            return false;
        }

        settings = ProjectSettings::load(c, protocolCode);
        const CodeLegend legend = BuildCodeLegend(c, MachineTypeOf(protocolCode));
        ColumnInfos columns;
        c.GridBusy = true;
        table = BuildSignalTable(c, legend, int(settings.devices.size()), columns);
        c.GridBusy = false;
        // A missing or unreadable table file leaves the fresh table, as in the editor (its message
        // has been printed).
        c.show(ApplyStoredTable(c, qint16(protocolCode), table));
        return true;
    }
};

// PROJECT_DIR alone; "--help" prints the synopsis. Returns -1 to go on, else the exit code.
int parseArguments(const QStringList &args, const char *synopsis, QString &projectDir)
{
    QStringList positional;
    for (const QString &a : args) {
        if (a == QLatin1String("--help") || a == QLatin1String("-h")) {
            QTextStream(stdout) << "usage: tarveon-cli " << synopsis << "\n"
                                << "Exit status: 0 done, 1 a check or the generator refused, 2 usage or file error.\n";
            return kDone;
        }
        if (a.startsWith(QLatin1Char('-')) && a.size() > 1) {
            printError(QStringLiteral("tarveon-cli: unknown option ") + a);
            QTextStream(stderr) << "usage: tarveon-cli " << synopsis << Qt::endl;
            return kFileOrUsage;
        }
        positional << a;
    }
    if (positional.size() != 1) {
        QTextStream(stderr) << "usage: tarveon-cli " << synopsis << Qt::endl;
        return kFileOrUsage;
    }
    projectDir = positional.first();
    return -1;
}

// validate and generate share everything up to the end of the accept's checks.
int run(const QStringList &args, bool generate)
{
    QString projectDir;
    if (const int code = parseArguments(args, generate ? kGenerateSynopsis : kValidateSynopsis, projectDir);
        code >= 0)
        return code;

    Session s;
    if (!s.loadLanguage() || !s.openProject(projectDir))
        return kFileOrUsage;
    if (RunAcceptChecks(*s.ctx, s.protocolCode, s.settings, s.table).check != AcceptFault::None)
        return kRefused;
    if (!generate)
        return kDone;

    const GenerateResult result = GenerateFromProject(*s.ctx, s.settings, s.table);
    s.ctx->show(result.faults);
    if (!result.modelBuilt)
        return kRefused;
    if (!result.ok)
        return kFileOrUsage;
    QTextStream(stdout) << oneLine(result.report) << Qt::endl;
    return kDone;
}

} // namespace

int runValidate(const QStringList &args)
{
    return run(args, false);
}

int runGenerate(const QStringList &args)
{
    return run(args, true);
}

} // namespace tarveon::cli
