// tarveon-cli export: the project's group addresses for ETS or Home Assistant.
#include "Commands.h"
#include "ProjectCheck.h"

#include <QFile>
#include <QSaveFile>

namespace tarveon::cli {

int runExport(const QStringList &args)
{
    CommandLine cl(QStringLiteral("tarveon-cli export"), false);
    cl.parser.setApplicationDescription(QStringLiteral(
        "Write the group addresses the gateway file holds for ETS (CSV 3/1 or 1/1, XML) or Home Assistant (YAML).\n"
        "Exit status: 0 written, 1 the editor's checks refused the project, 2 usage or file error."));
    const QCommandLineOption format(QStringLiteral("format"),
                                    QStringLiteral("ets-csv (ETS 3/1), ets-csv-1-1, ets-xml or ha-yaml (default ets-csv)."),
                                    QStringLiteral("name"), QStringLiteral("ets-csv"));
    const QCommandLineOption separator(QStringLiteral("separator"), QStringLiteral("CSV separator: ';' (default), ',' or tab."),
                                       QStringLiteral("char"), QStringLiteral(";"));
    const QCommandLineOption encoding(QStringLiteral("encoding"),
                                      QStringLiteral("CSV encoding: utf-8 (ETS 6, default) or windows-1252 (older ETS)."),
                                      QStringLiteral("name"), QStringLiteral("utf-8"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")},
                                    QStringLiteral("The file to write (default: standard output)."), QStringLiteral("file"));
    cl.parser.addOptions({format, separator, encoding, output});

    ExportOptions options;
    const auto checkOptions = [&]() -> int {
        const std::optional<ExportFormat> chosen = ExportFormatNamed(cl.value(format));
        if (!chosen)
            return cl.usageError(QStringLiteral("unknown format ") + cl.value(format));
        options.format = *chosen;
        const QString sep = cl.value(separator);
        if (sep == QLatin1String("tab"))
            options.csv.separator = QLatin1Char('\t');
        else if (sep == QLatin1String(";") || sep == QLatin1String(","))
            options.csv.separator = sep.front();
        else
            return cl.usageError(QStringLiteral("unknown separator ") + sep);
        const QString enc = cl.value(encoding).toLower();
        if (enc != QLatin1String("utf-8") && enc != QLatin1String("windows-1252"))
            return cl.usageError(QStringLiteral("unknown encoding ") + cl.value(encoding));
        options.csv.windows1252 = enc == QLatin1String("windows-1252");
        return -1;
    };
    CliContext cli;
    ProjectData project;
    if (const int code = openProjectCommand(cl, args, cli, project); code >= 0)
        return code;
    if (const int code = checkOptions(); code >= 0)
        return code;
    const std::optional<QByteArray> bytes = ExportProject(*cli.ctx, project, options);
    if (!bytes)
        return ExitRefused;

    if (!cl.isSet(output)) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || out.write(*bytes) != bytes->size())
            return ExitError;
        return ExitOk;
    }
    QSaveFile file(cl.value(output));
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
        ConsolePrompter::print(cli.ctx->GetText(QStringLiteral("KNX36")) + cl.value(output) + QStringLiteral(": ") +
                               file.errorString());
        return ExitError;
    }
    return ExitOk;
}

} // namespace tarveon::cli
