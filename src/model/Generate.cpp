#include "model/Generate.h"

#include "app/AppContext.h"

namespace tarveon {

int ProjectProtocolCode(const AppContext &ctx)
{
    return ctx.ProtocolCodes.value(ctx.ProjectProtocol, 0);
}

GenerateResult GenerateFromProject(AppContext &ctx, const ProjectSettings &settings, const SignalTable &table)
{
    return GenerateGatewayFile(ctx, ProjectProtocolCode(ctx), settings, table);
}

} // namespace tarveon
