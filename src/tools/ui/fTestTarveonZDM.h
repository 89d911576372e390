#pragma once
#include "tools/ui/MonitorWindow.h"

namespace tarveon {

// Gateway monitor: every line the gateway sends that no other window takes (mark ">") and every
// command sent to it (mark "<"); log file ZDM.log in the project directory. Its own close box is
// refused: it lives as long as the main window.
class fTestTarveonZDM : public MonitorWindow {
    Q_OBJECT
public:
    fTestTarveonZDM(AppContext &ctx, LinkCommands *link, QWidget *parent = nullptr);
    void VerTramas(const QString &trama, const QString &N, int Tipo = 0)
    {
        Q_UNUSED(Tipo);
        core().VerTramas(trama, N);
    }
};

} // namespace tarveon
