#include "Commands.h"
#include "GroupRequest.h"

namespace tarveon::cli {

int runWrite(const QStringList &args)
{
    return runGroupRequest(args, true);
}

} // namespace tarveon::cli
