#pragma once
// A program directory of the benchmarks' own with the shipped language file and one open project
// of `units` indoor units, all checked: what the editor benchmarks open.
#include "RecordingPrompter.h"
#include "app/AppContext.h"
#include "editor/FlagRules.h"
#include "editor/SignalCatalogue.h"
#include "model/GroupAddress.h"
#include "model/ProjectSettings.h"
#include "model/SignalTableFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <functional>
#include <memory>

namespace tarveon::bench {

struct Project {
    QTemporaryDir dir;
    RecordingPrompter prompter;
    std::unique_ptr<AppContext> ctx;

    // `name` gives device n its name; `row` may change each row of the stored table.
    Project(int units, const std::function<QString(int)> &name = {},
            const std::function<void(const AppContext &, SignalRow &)> &row = {})
    {
        QFile::copy(QStringLiteral(TARVEON_BIN_DIR "/RESOURCES.LNG"), dir.filePath(QStringLiteral("RESOURCES.LNG")));
        ctx = std::make_unique<AppContext>(dir.path(), QStringLiteral("tarveon-config"), &prompter);
        ctx->InitProtocols();
        ctx->ProtocolNames[47] = QStringLiteral("EIB");
        ctx->language.LoadLanguage();
        ctx->ProjectDir = dir.filePath(QStringLiteral("Plant"));
        QDir().mkpath(ctx->ProjectDir);
        ctx->ProjectName = QStringLiteral("Plant");
        ctx->ProjectProtocol = QStringLiteral("ZTR001-PACKAGED");
        ctx->ProtocolFamily = QStringLiteral("ZTR001");

        ProjectSettings settings;
        for (int n = 1; n <= units; ++n) {
            DeviceRecord d = ProjectSettings::defaultDevice(70, n);
            d.active = true;
            if (name)
                d.name = name(n);
            settings.devices.append(d);
        }
        settings.save(*ctx, 70);

        ColumnInfos columns;
        SignalTable table = BuildSignalTable(*ctx, BuildCodeLegend(*ctx, MachineType::IndoorUnits), units, columns);
        if (row) {
            for (int r = 1; r < table.rowCount(); ++r)
                row(*ctx, table.rows[r]);
        }
        WriteSignalTable(*ctx, 70, QStringLiteral("1.0"), table);
        prompter.clear();
    }
};

} // namespace tarveon::bench
