#pragma once
#include <QStringList>

namespace tarveon::cli {

// What `read` and `write` share: the GROUP operand, --timeout, the identification as `info` has
// it, then (write) the value as the signal viewer sends it, the group value request, and the wait
// for the gateway's report of that group, which is printed as it came. Exit 0 with the report, 1
// when none came within the time-out (or the gateway refused the link), 2 usage or port error.
int runGroupRequest(const QStringList &args, bool write);

} // namespace tarveon::cli
