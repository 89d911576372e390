#pragma once
#include "CliCommon.h"

namespace tarveon::cli {

// The commands, each in its own file.
int runInfo(const QStringList &args);
int runUpload(const QStringList &args);
int runMonitor(const QStringList &args);

} // namespace tarveon::cli
