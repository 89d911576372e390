#pragma once
#include "model/GatewayFile.h"

namespace tarveon {

// The protocol code of the open project: ctx.ProjectProtocol looked up in ProtocolCodes without
// regard to case; 0 when unknown, which counts as a chiller project like every code other than 70.
int ProjectProtocolCode(const AppContext &ctx);

// The one way to generate the gateway configuration file of the open project, used by the
// editor's generate action and by the command line: model, file in ctx.ProjectDir, report. The
// caller shows result.messages() (or prints them). `table` is the signal table as the editor
// holds it after its accept (rows normalised).
GenerateResult GenerateFromProject(AppContext &ctx, const ProjectSettings &settings, const SignalTable &table);

} // namespace tarveon
