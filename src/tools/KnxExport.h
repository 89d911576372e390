#pragma once
#include "model/ProjectSettings.h"
#include "model/SignalTable.h"
#include "tools/EtsExport.h"

#include <QByteArray>
#include <QStringView>
#include <optional>

namespace tarveon {

class AppContext;

// The open project's settings and signal table as the editor has them when it opens.
struct ProjectData {
    int protocolCode = 0;
    ProjectSettings settings;
    SignalTable table;
};

// Reads the settings of ctx's open project and lays its stored signal table over a table built
// from the catalogue (a missing or unreadable table file leaves the fresh one after its message;
// quiet: without the message). False when the project's protocol has no configuration.
bool LoadProjectData(AppContext &ctx, ProjectData &data, bool quiet = false);

// The files the project's group addresses are exported to.
enum class ExportFormat { EtsCsv31, EtsCsv11, EtsXml, HaYaml };

// "ets-csv", "ets-csv-1-1", "ets-xml", "ha-yaml".
std::optional<ExportFormat> ExportFormatNamed(QStringView name);

struct ExportOptions {
    ExportFormat format = ExportFormat::EtsCsv31;
    EtsCsvOptions csv;
};

// The one way to export, for the window and the command line: the accept's checks on a copy of
// the table (they may refuse, after their message: nothing), then the plan of the addresses the
// gateway file holds written in the chosen format.
std::optional<QByteArray> ExportProject(AppContext &ctx, const ProjectData &data, const ExportOptions &options);

} // namespace tarveon
