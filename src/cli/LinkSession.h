#pragma once
#include "CliCommon.h"
#include "link/SerialLink.h"
#include "link/SerialPort.h"

#include <QEventLoop>
#include <QTimer>

namespace tarveon::cli {

// A serial link driven the way the main window drives it: the real port, Timer1 every second,
// a local event loop the command ends with finish(). Every way the link can end ends the session:
// - the gateway does not identify itself within identifySeconds: "LNK2", ExitRefused;
// - its identification names no family ("CLI3" and the line), or another than the project's (the
//   link's message): ExitRefused;
// - the port cannot be opened or goes away: the link's message, ExitError.
class LinkSession : public QObject {
    Q_OBJECT
public:
    // Without a project open in cli.ctx the gateway's family is taken, whichever it is.
    // tickMs: Timer1's interval (1000 in the program; shorter only to try time-outs quickly).
    LinkSession(CliContext &cli, const PortChoice &port, int identifySeconds, int tickMs = 1000);

    // Opens the port and runs until finish(); returns the exit code.
    int run();
    void finish(int code);

    SerialLink link;

private:
    void goOffLine();

    CliContext &m_cli;
    AppContext &m_ctx;
    QTimer m_timer1;
    QEventLoop m_loop;
    int m_identifyTicks = 0;
    int m_identifySeconds;
    int m_code = ExitOk;
    bool m_finished = false;
};

} // namespace tarveon::cli
