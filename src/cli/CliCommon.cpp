#include "CliCommon.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QTextStream>

namespace tarveon::cli {

CliContext::CliContext()
{
    // The tool's files, beside the executables or, installed, in the data directories.
    ctx = std::make_unique<AppContext>(CurrentProgramPaths(kToolBaseName), &prompter);
    ctx->InitProtocols();
    prompter.onRecord = [](const RecordingPrompter::Record &r) { printMessage(r.text); };
}

bool CliContext::load()
{
    // The tool's own language file name is tried first and RESOURCES.LNG after it; the notice
    // about the first one missing only matters when neither could be read.
    auto print = std::move(prompter.onRecord);
    prompter.onRecord = nullptr;
    const bool ok = ctx->language.LoadLanguage();
    if (!ok) {
        for (const RecordingPrompter::Record &r : prompter.records)
            printMessage(r.text);
    }
    prompter.clear();
    prompter.onRecord = std::move(print);
    return ok;
}

void printMessage(const QString &text)
{
    QString line = text;
    line.replace(QStringLiteral("\r\n"), QStringLiteral(" "));
    line.replace(QLatin1Char('\r'), QLatin1Char(' '));
    line.replace(QLatin1Char('\n'), QLatin1Char(' '));
    QTextStream(stderr) << line << Qt::endl;
}

void printUsage(const QString &usage)
{
    QTextStream(stderr) << usage << Qt::endl;
}

bool takeOption(QStringList &args, const QString &name, QString *value)
{
    for (qsizetype i = 0; i < args.size(); ++i) {
        if (args[i] == name && i + 1 < args.size()) {
            *value = args[i + 1];
            args.remove(i, 2);
            return true;
        }
        if (args[i].startsWith(name + QLatin1Char('='))) {
            *value = args[i].mid(name.size() + 1);
            args.remove(i);
            return true;
        }
    }
    return false;
}

bool takeFlag(QStringList &args, const QString &name)
{
    return args.removeAll(name) > 0;
}

PortChoice commandPort(QStringList &args, const AppContext &ctx)
{
    QString device;
    const bool given = takeOption(args, QStringLiteral("--port"), &device);
    PortChoice choice = resolvePortChoice({}, ctx);
    if (given)
        choice.device = device;
    QString settings;
    if (takeOption(args, QStringLiteral("--settings"), &settings))
        choice.settings = settings;
    return choice;
}

} // namespace tarveon::cli
