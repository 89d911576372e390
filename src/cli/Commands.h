#pragma once
#include "CliCommon.h"

namespace tarveon::cli {

// The commands, each in its own file.
int runInfo(const QStringList &args);
int runUpload(const QStringList &args);
int runMonitor(const QStringList &args);
int runExport(const QStringList &args);
int runCheckEts(const QStringList &args);

// One line each for the dispatcher's help.
extern const char *const kExportSynopsis;
extern const char *const kCheckEtsSynopsis;

} // namespace tarveon::cli
