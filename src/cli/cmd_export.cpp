// tarveon-cli export: the project's group addresses for ETS or Home Assistant.
#include "CliProject.h"
#include "Commands.h"

#include <QCommandLineParser>
#include <QFile>
#include <QSaveFile>
#include <QTextStream>

namespace tarveon::cli {

const char *const kExportSynopsis =
    "export [--format ets-csv|ets-csv-1-1|ets-xml|ha-yaml] [--separator ';'|','|tab] "
    "[--encoding utf-8|windows-1252] [-o FILE] PROJECT_DIR   group addresses for ETS or Home Assistant";

namespace {

int usageError(const QString &why)
{
    if (!why.isEmpty())
        printMessage(QStringLiteral("tarveon-cli: ") + why);
    printUsage(QStringLiteral("usage: tarveon-cli ") + QLatin1String(kExportSynopsis));
    return ExitError;
}

} // namespace

int runExport(const QStringList &args)
{
    QCommandLineParser parser;
    const QCommandLineOption format(QStringLiteral("format"), QString(), QStringLiteral("name"), QStringLiteral("ets-csv"));
    const QCommandLineOption separator(QStringLiteral("separator"), QString(), QStringLiteral("char"), QStringLiteral(";"));
    const QCommandLineOption encoding(QStringLiteral("encoding"), QString(), QStringLiteral("name"), QStringLiteral("utf-8"));
    const QCommandLineOption output(QStringList{QStringLiteral("o"), QStringLiteral("output")}, QString(), QStringLiteral("file"));
    parser.addOptions({format, separator, encoding, output});
    if (!parser.parse(QStringList{QStringLiteral("tarveon-cli")} + args))
        return usageError(parser.errorText());
    if (parser.positionalArguments().size() != 1)
        return usageError({});

    ExportOptions options;
    const std::optional<ExportFormat> chosen = ExportFormatNamed(parser.value(format));
    if (!chosen)
        return usageError(QStringLiteral("unknown format ") + parser.value(format));
    options.format = *chosen;
    const QString sep = parser.value(separator);
    if (sep == QLatin1String("tab"))
        options.csv.separator = QLatin1Char('\t');
    else if (sep == QLatin1String(";") || sep == QLatin1String(","))
        options.csv.separator = sep.front();
    else
        return usageError(QStringLiteral("unknown separator ") + sep);
    const QString enc = parser.value(encoding).toLower();
    if (enc != QLatin1String("utf-8") && enc != QLatin1String("windows-1252"))
        return usageError(QStringLiteral("unknown encoding ") + parser.value(encoding));
    options.csv.windows1252 = enc == QLatin1String("windows-1252");

    CliContext cli;
    ProjectData data;
    if (!cli.load() || !openProjectAt(*cli.ctx, parser.positionalArguments().front(), data))
        return ExitError;
    const std::optional<QByteArray> bytes = ExportProject(*cli.ctx, data, options);
    if (!bytes)
        return ExitRefused;

    if (!parser.isSet(output)) {
        QFile out;
        if (!out.open(stdout, QIODevice::WriteOnly) || out.write(*bytes) != bytes->size())
            return ExitError;
        return ExitOk;
    }
    QSaveFile file(parser.value(output));
    if (!file.open(QIODevice::WriteOnly) || file.write(*bytes) != bytes->size() || !file.commit()) {
        printMessage(cli.ctx->GetText(QStringLiteral("KNX36")) + parser.value(output) + QStringLiteral(": ")
                     + file.errorString());
        return ExitError;
    }
    return ExitOk;
}

} // namespace tarveon::cli
