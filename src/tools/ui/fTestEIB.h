#pragma once
#include "tools/ui/MonitorWindow.h"

namespace tarveon {

// EIB bus monitor: the gateway's reports of EIB-side traffic, each shown without its first four
// characters; log file BUS_EIB.log in the project directory.
class fTestEIB : public MonitorWindow {
    Q_OBJECT
public:
    fTestEIB(AppContext &ctx, LinkCommands *link, QWidget *parent = nullptr);
    void VerTramas(const QString &trama) { core().VerTramas(trama); }
};

} // namespace tarveon
