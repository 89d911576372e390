#pragma once
#include "tools/ui/MonitorWindow.h"

namespace tarveon {

// External-bus monitor: the gateway's reports of traffic towards the TR-BAS-HUB controller, each
// shown without its first four characters, only while that report is on; log file named after the
// project's protocol.
class fTestExterno : public MonitorWindow {
    Q_OBJECT
public:
    fTestExterno(AppContext &ctx, LinkCommands *link, QWidget *parent = nullptr);
    void VerTramas(const QString &trama, int Tipo = 0)
    {
        Q_UNUSED(Tipo);
        core().VerTramas(trama);
    }
};

} // namespace tarveon
