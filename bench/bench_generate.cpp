// Generating the gateway configuration file: model, bytes and the atomic write, for 1 to 160
// indoor units with every row selected under an address of its own and further addresses
// adding up to 1000 links (fewer when the table has fewer rows). Target: 160 units in 30 ms.
#include "app/AppContext.h"
#include "RecordingPrompter.h"
#include "model/ProjectSettings.h"
#include "editor/SignalCatalogue.h"
#include "editor/SignalColumns.h"
#include "model/GatewayFile.h"
#include "model/GatewayModel.h"

#include <QCoreApplication>
#include "BenchSupport.h"
#include <QElapsedTimer>
#include <QTemporaryDir>
#include <algorithm>
#include <cstdio>
#include <functional>
#include <vector>

using namespace tarveon;
using tarveon::bench::medianMs;

namespace {

// The catalogue's table of `units` devices, every row selected with its own address; the first
// rows also listen to one of four listen-only groups, up to 1000 links (at most 250 per group).
SignalTable projectTable(AppContext &ctx, int units, ProjectSettings &settings)
{
    settings = ProjectSettings{};
    for (int n = 1; n <= units; ++n)
        settings.devices.append({QString::number(n / 64), QString::number(n % 64), QString(), true});
    ColumnInfos columns;
    SignalTable table =
        BuildSignalTable(ctx, BuildCodeLegend(ctx, MachineType::IndoorUnits), units, columns);
    int links = 0;
    for (int r = 1; r < table.rowCount(); ++r) {
        SignalRow &row = table.rows[r];
        row[5] = QString::number(r);
        row[8] = QStringLiteral("W");
        row[11] = QStringLiteral("1 - Yes");
        if (links < 1000) {
            row[6] = QStringLiteral("15/7/") + QString::number(251 + links % 4);
            ++links;
        }
    }
    return table;
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    RecordingPrompter prompter;
    AppContext ctx(QStringLiteral(TARVEON_BIN_DIR), QStringLiteral("bench"), &prompter);
    ctx.InitProtocols();
    ctx.language.LoadLanguage();
    QTemporaryDir dir;
    ctx.ProjectDir = dir.path();
    ctx.ProjectProtocol = QStringLiteral("ZTR001-PACKAGED");
    ctx.ProtocolFamily = QStringLiteral("ZTR001");
    ctx.IniFileName = ctx.ProjectProtocol;

    std::printf("%6s %6s %7s %6s %7s %9s %9s %9s %9s\n", "units", "rows", "groups", "links", "bytes", "model ms",
                "bytes ms", "write ms", "total ms");
    for (int units : {1, 10, 20, 40, 80, 120, 160}) {
        ProjectSettings settings;
        const SignalTable table = projectTable(ctx, units, settings);
        GatewayModel model;
        prompter.clear();
        Faults faults;
        if (!BuildGatewayModel(ctx, 70, settings, table, model, faults)) {
            std::printf("model stopped: %s\n", qPrintable(faults.last().text));
            return 1;
        }
        const GatewayFileSettings fs = CollectGatewayFileSettings(ctx, 70, settings);
        QByteArray bytes;
        const QString path = GatewayFilePath(ctx, 70);
        const int runs = 25;
        const double modelMs = medianMs(runs, [&] { BuildGatewayModel(ctx, 70, settings, table, model, faults); });
        const double bytesMs = medianMs(runs, [&] { bytes = BuildGatewayFileBytes(model, fs); });
        const double writeMs = medianMs(runs, [&] { WriteGatewayFile(path, bytes); });
        GenerateResult result;
        const double totalMs =
            medianMs(runs, [&] { result = GenerateGatewayFile(ctx, 70, settings, table); });
        std::printf("%6d %6d %7d %6d %7lld %9.2f %9.2f %9.2f %9.2f\n", units, table.rowCount() - 1,
                    int(model.GruposEIB.size()), int(model.EnlacesEIB.size()), qlonglong(bytes.size()), modelMs,
                    bytesMs, writeMs, totalMs);
        if (!result.ok)
            return 1;
    }
    std::printf("target: 160 units, model plus file, 30 ms\n");
    return 0;
}
