#pragma once
// What the on-line benchmarks share: the main window on line over an in-memory port, and a run of
// the event loop for a while with the resident memory sampled every 5 s.
#include "BenchSupport.h"
#include "FakeSerialPort.h"
#include "app/ui/MDITarveon.h"
#include "link/LinkCommands.h"
#include "link/SerialLink.h"

#include <QEventLoop>
#include <QTimer>
#include <cstdio>
#include <functional>
#include <vector>

namespace tarveon::bench {

// Shows the window and brings its link on line through `port` (the window owns it): lines
// received on the port then reach the monitors the way the program's do.
inline bool bringOnLine(MDITarveon &window, FakeSerialPort *port)
{
    SerialLink &serial = window.link();
    window.resize(1200, 800);
    window.show();
    serial.configurePort(PortChoice{1, QStringLiteral("bench"), QStringLiteral("57600,n,8,1")});
    serial.chkOnline_Click(true);
    port->receive("Tarveon gateway\r\nProtocol:ZTR001.V2.10\r\n");
    if (serial.state() == LinkState::OnLine)
        return true;
    std::printf("the link did not come on line\n");
    return false;
}

// Runs the event loop for `seconds`; every 5 s samples the resident memory and hands it to
// `report`. A loop of its own: quitting the application would close the windows first.
inline std::vector<long> runSampling(int seconds, const std::function<void(long)> &report)
{
    std::vector<long> rss;
    QTimer sampler;
    QObject::connect(&sampler, &QTimer::timeout, [&] {
        rss.push_back(rssKiB());
        report(rss.back());
        std::fflush(stdout);
    });
    sampler.start(5000);
    QEventLoop loop;
    QTimer::singleShot(seconds * 1000, &loop, &QEventLoop::quit);
    loop.exec();
    return rss;
}

} // namespace tarveon::bench
