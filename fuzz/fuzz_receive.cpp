// Feeds arbitrary bytes to the link's receive parser in every link state, reached the way the
// program reaches it: 1 waiting for identification, 2 on line (link-side tables loaded), 3 upload
// announced, 4 upload in progress (first block sent). The first byte picks the state (bits 0-1),
// the bus reports (bit 2) and the chunking (bits 3-7: 0 whole, 1 byte by byte, n chunks of n);
// the rest is the gateway's input.
// Whatever arrives: the link's state stays one of its own and matches the port (open exactly
// while not off line), no more blocks go out than the file has, only indexed signals change
// value, and the pending partial line never exceeds what was received.
#include "FuzzSupport.h"
#include "FakeSerialPort.h"
#include "link/SerialLink.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

namespace {

using namespace tarveon;
using fuzz::require;

constexpr int kFileSize = 1000; // 8 blocks of 128

struct Project {
    Project()
    {
        QDir().mkpath(dir.path());
        write("ZTR001-CHILLER.zdm", QByteArray(kFileSize, 'z'));
        write("ZTR001-CHILLER.ini", "[ZTR001-CHILLER]\r\nDevices=2\r\nD1-Active=1\r\nD2-Active=1\r\n");
        write("ZTR001-CHILLER.dat",
              "PROTOCOLO=71-ZTR001-CHILLER\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n\tH\r\n"
              "1\t1\t100-Status\tOn/Off\t01 - Switching (1 bit)\t1/2/3\t\tR\t\tT\t\t1\t\r\n"
              "2\t2\t100-Status\tOn/Off\t01 - Switching (1 bit)\t\t1/2/3\t\tW\t\t\t1\t\r\n"
              "3\t2\t101-Alarm\tAlarm\t05 - Float (16 bit)\t1/0/9\t\tR\t\tT\t\t1\t\r\n");
    }
    void write(const char *name, const QByteArray &bytes)
    {
        QFile f(dir.filePath(QLatin1String(name)));
        if (!f.open(QIODevice::WriteOnly) || f.write(bytes) != bytes.size())
            std::abort();
    }
    QTemporaryDir dir;
};

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    if (size < 1)
        return 0;
    static int argc = 1;
    static char arg0[] = "fuzz_receive";
    static char *argv[] = {arg0, nullptr};
    static QCoreApplication app(argc, argv);
    static Project project;

    AppContext &ctx = fuzz::context();
    fuzz::prompter().msgBoxAnswers.clear();
    ctx.ProtocolFamily = QStringLiteral("ZTR001");
    ctx.ProjectProtocol = QStringLiteral("ZTR001-CHILLER");
    ctx.ProjectDir = project.dir.path();

    auto *port = new FakeSerialPort;
    SerialLink link(ctx, port);
    link.configurePort(PortChoice{1, QString(), QStringLiteral("57600,n,8,1")});
    link.setDrainLimitMs(0);
    int blocks = 0;
    QObject::connect(&link, &SerialLink::gatewayLine, [&blocks](const QString &line, const QString &) {
        if (line.startsWith(QLatin1String("TX: ")))
            ++blocks;
    });

    const int state = 1 + (data[0] & 3);
    link.chkOnline_Click(true);
    if (state >= 2)
        port->receive(QByteArrayLiteral("Protocol:ZTR001.V2.10\r"));
    if (state >= 3) {
        fuzz::prompter().msgBoxAnswers = {1};
        link.cmdSendFileTarveon_Click();
    }
    if (state >= 4)
        port->receive(QByteArrayLiteral("START\r"));
    const auto linkState = [&link] { return int(link.state()); };
    require(linkState() == state);
    const int linkedSignals = link.signalTables().count();
    require(state == 1 || linkedSignals == 3);
    blocks = state == 4 ? 1 : 0;
    if ((data[0] & 4) != 0) {
        link.showBus(QStringLiteral("INT"), true);
        link.showBus(QStringLiteral("EXT"), true);
    }

    const int chunk = data[0] >> 3;
    const QByteArrayView input(reinterpret_cast<const char *>(data + 1), qsizetype(size - 1));
    qsizetype received = 0;
    for (qsizetype pos = 0; pos < input.size();) {
        const qsizetype n = qMin<qsizetype>(chunk == 0 ? input.size() : chunk, input.size() - pos);
        if (port->isOpen())
            port->receive(input.sliced(pos, n).toByteArray());
        else
            link.ProcessReceived(input.sliced(pos, n)); // lines that arrive while the port drains
        pos += n;
        received += n;
        require(linkState() >= 0 && linkState() <= 4);
        require(port->isOpen() == (linkState() != 0));
        require(link.RxBuffer().size() <= received);
    }
    require(blocks <= (kFileSize + 127) / 128);
    require(link.signalTables().count() == linkedSignals || link.signalTables().count() == 3);
    // The timer's ticks end an upload that stalls, without any message box.
    for (int i = 0; i < 7; ++i)
        link.Timer1_Timer();
    require(linkState() <= 2);
    link.chkOnline_Click(false);
    require(linkState() == 0 && !port->isOpen() && link.RxBuffer().isEmpty());
    return 0;
}
