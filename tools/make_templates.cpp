// Writes the signal table templates of both machine types: the table of one device with nothing
// selected, as the editor would save it, with the texts of the given language file (first language).
//
//   make_templates <language file> <output directory>
//
// Refuses to write when the language file lacks a key the tables use, so that no template ships
// with "???" in it.
#include "app/AppContext.h"
#include "app/Files.h"
#include "app/ConsolePrompter.h"
#include "editor/SignalCatalogue.h"
#include "editor/SignalColumns.h"
#include "model/SignalTableFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace tarveon;

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 3) {
        std::fprintf(stderr, "usage: make_templates <language file> <output directory>\n");
        return 2;
    }
    const QString languageFile = args[1];
    const QDir out(args[2]);

    // A private program directory, so that no settings file of a real installation is read.
    QTemporaryDir programDir;
    const QString exeBaseName = QStringLiteral("make_templates");
    if (!programDir.isValid() ||
        !QFile::copy(languageFile, programDir.filePath(exeBaseName + QStringLiteral(".LNG")))) {
        std::fprintf(stderr, "cannot read %s\n", qPrintable(languageFile));
        return 1;
    }
    // Any message while the tables are built means a text is missing: kept, then printed.
    ConsolePrompter prompter;
    prompter.hold(true);
    AppContext ctx(programDir.path(), exeBaseName, &prompter);
    ctx.InitProtocols();
    if (!ctx.language.LoadLanguage()) {
        std::fprintf(stderr, "cannot load the language file %s\n", qPrintable(languageFile));
        return 1;
    }
    prompter.takeHeld();

    struct Output {
        QString path;
        QByteArray bytes;
    };
    QList<Output> outputs;
    for (MachineType type : {MachineType::IndoorUnits, MachineType::Chillers}) {
        const MachineTypeInfo &info = InfoOf(type);
        ColumnInfos columns;
        const SignalTable table = BuildSignalTable(ctx, BuildCodeLegend(ctx, type), 1, columns);
        const QString name = QLatin1String(info.protocolName);
        outputs.append({out.filePath(name + QStringLiteral(".dat")),
                        SignalTableBytes(qint16(info.protocolCode), name, QStringLiteral("1.0"), table)});
    }
    if (const QStringList shown = prompter.takeHeld(); !shown.isEmpty()) {
        for (const QString &text : shown)
            std::fprintf(stderr, "%s\n", qPrintable(text));
        std::fprintf(stderr, "templates not written: the language file lacks texts\n");
        return 1;
    }
    for (const Output &o : outputs) {
        const QString error = saveFileAtomically(o.path, o.bytes);
        if (!error.isEmpty()) {
            std::fprintf(stderr, "%s: %s\n", qPrintable(o.path), qPrintable(error));
            return 1;
        }
        std::printf("%s (%lld bytes)\n", qPrintable(o.path), static_cast<long long>(o.bytes.size()));
    }
    return 0;
}
