#pragma once
#include "CliCommon.h"

namespace tarveon::cli {

// The commands: each is one file cmd_<name>.cpp with its run function, and one row below.
int runValidate(const QStringList &args);
int runGenerate(const QStringList &args);
int runInfo(const QStringList &args);
int runUpload(const QStringList &args);
int runMonitor(const QStringList &args);
int runExport(const QStringList &args);
int runCheckEts(const QStringList &args);
int runRead(const QStringList &args);
int runWrite(const QStringList &args);

inline const Command kCommands[] = {
    {"validate", "PROJECT_DIR   check a project as generate does, write nothing", runValidate},
    {"generate", "PROJECT_DIR   check a project and write its gateway configuration file", runGenerate},
    {"info", "[--port DEVICE] [--project DIR]   ask the gateway who it is", runInfo},
    {"upload", "[--port DEVICE] FILE   load a gateway configuration file into the gateway", runUpload},
    {"monitor", "[--port DEVICE] [--project DIR] [--csv FILE] [--eib] [--ext] [--raw]   show the gateway's lines, decoded with --project", runMonitor},
    {"export", "[--format ets-csv|ets-csv-1-1|ets-xml|ha-yaml] [-o FILE] PROJECT_DIR   group addresses for ETS or "
               "Home Assistant", runExport},
    {"check-ets", "PROJECT_DIR ETS_FILE   the project's addresses missing in an ETS export or typed otherwise there",
     runCheckEts},
    {"read", "[--port DEVICE] [--timeout S] GROUP   ask the gateway for a group's value and print its report", runRead},
    {"write", "[--port DEVICE] [--timeout S] GROUP VALUE   write a group's value, then print the gateway's report",
     runWrite},
};

} // namespace tarveon::cli
