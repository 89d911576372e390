// Feeds arbitrary bytes to the link's receive parser: the first byte picks the link state and the
// chunking (whole, byte by byte, or chunks of its low bits), the rest is the gateway's input.
#include "app/AppContext.h"
#include "app/RecordingPrompter.h"
#include "link/FakeSerialPort.h"
#include "link/SerialLink.h"

#include <QCoreApplication>
#include <QTemporaryDir>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static int argc = 1;
    static char arg0[] = "fuzz_receive";
    static char *argv[] = {arg0, nullptr};
    static QCoreApplication app(argc, argv);
    static QTemporaryDir dir;
    tarveon::RecordingPrompter prompter;
    tarveon::AppContext ctx(dir.path(), QStringLiteral("fuzz"), &prompter);
    ctx.InitProtocols();
    ctx.ProtocolFamily = QStringLiteral("ZTR001");
    ctx.ProjectProtocol = QStringLiteral("ZTR001-CHILLER");
    ctx.ProjectDir = dir.path();
    auto *port = new tarveon::FakeSerialPort;
    tarveon::SerialLink link(ctx, port);
    link.chkOnline_Click(true);
    ctx.LinkState = qint16(1 + (data[0] & 3));
    ctx.BusIntOn = ctx.BusExtOn = (data[0] & 4) != 0;
    ctx.linkTables.signals_.append(tarveon::LinkSignal{});
    ctx.linkTables.index.insert(QStringLiteral("GP:01/2/003"), 1);
    ctx.linkTables.index.insert(QStringLiteral("GP:01/2/003-1"), 7); // out of range: must be ignored
    const int chunk = data[0] >> 3;
    const QByteArray input(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    for (qsizetype pos = 0; pos < input.size();) {
        const qsizetype n = chunk == 0 ? input.size() : chunk;
        if (port->isOpen())
            port->receive(input.mid(pos, n));
        else
            link.ProcessReceived(QByteArrayView(input).sliced(pos, qMin(n, input.size() - pos)));
        pos += n;
    }
    return 0;
}
