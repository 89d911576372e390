#pragma once
#include "CliCommon.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"

#include <QEventLoop>
#include <QTimer>

namespace tarveon::cli {

// A serial link driven the way the main window drives it: the real port, Timer1 every second,
// a local event loop the command ends with finish().
class LinkSession : public QObject {
    Q_OBJECT
public:
    // tickMs: Timer1's interval (1000 in the program; shorter only to try time-outs quickly).
    LinkSession(AppContext &ctx, const PortChoice &port, int identifySeconds, int tickMs = 1000);

    // Opens the port and runs until finish(); returns the exit code. Port failures and a gateway
    // that never identifies itself end with ExitError / ExitRefused after their message.
    int run();
    void finish(int code);
    // Takes the link off line (reports switched off, output drained, port closed).
    void goOffLine();

    SerialLink link;

private:
    AppContext &m_ctx;
    QTimer m_timer1;
    QEventLoop m_loop;
    int m_identifyTicks = 0;
    int m_identifySeconds;
    int m_code = ExitOk;
    bool m_finished = false;
};

} // namespace tarveon::cli
