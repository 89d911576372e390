#include "Commands.h"
#include "GroupRequest.h"

namespace tarveon::cli {

int runRead(const QStringList &args)
{
    return runGroupRequest(args, false);
}

} // namespace tarveon::cli
