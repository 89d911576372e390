// Upload of a gateway file of the largest kind (48 kB) to tarveon-sim paced at 57,600 baud, over a
// pseudo-terminal with the real port code. Target: total <= 1.05 x the line time of the file plus
// one acknowledgement line per block.
#include "app/AppContext.h"
#include "RecordingPrompter.h"
#include "link/QtSerialPortImpl.h"
#include "link/SerialLink.h"

#include <QCoreApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QEventLoop>
#include <QTimer>
#include <cstdio>

using namespace tarveon;

namespace {

// Runs the event loop (sleeping between events, as the program does) until pred() holds.
bool waitFor(const std::function<bool()> &pred, int ms)
{
    QEventLoop loop;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, &loop, [&] {
        if (pred())
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (!pred())
        loop.exec();
    return pred();
}

QByteArray gatewayFile(int size)
{
    QByteArray c = QByteArray("KORVANE-ZTR001-V.1.0 2026/01/02 03:04:05").leftJustified(62, ' ') + "\r\n";
    while (c.size() < size - 4)
        c += char((c.size() * 13) & 0xFF);
    quint32 sum = 0;
    for (char ch : c)
        sum += uchar(ch);
    QByteArray out(4, 0);
    for (int i = 0; i < 4; ++i)
        out[i] = char((sum >> (8 * i)) & 0xFF);
    return out + c;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const int baud = 57600;
    const int size = argc > 1 ? QByteArray(argv[1]).toInt() : 48000;

    QProcess sim;
    sim.start(QStringLiteral(TARVEON_BIN_DIR "/tarveon-sim"), {"--baud", qEnvironmentVariable("SIM_BAUD", QString::number(baud))});
    if (!sim.waitForStarted() || !sim.waitForReadyRead(5000)) {
        std::fprintf(stderr, "cannot start tarveon-sim\n");
        return 1;
    }
    const QString device = QString::fromLocal8Bit(sim.readLine()).trimmed();

    QTemporaryDir dir;
    QFile::copy(QStringLiteral(TARVEON_BIN_DIR "/RESOURCES.LNG"), dir.filePath("RESOURCES.LNG"));
    RecordingPrompter prompter;
    AppContext ctx(dir.path(), QStringLiteral("bench"), &prompter);
    ctx.InitProtocols();
    ctx.language.LoadLanguage();
    ctx.ProtocolFamily = "ZTR001";
    ctx.ProjectProtocol = "ZTR001-PACKAGED";
    ctx.ProjectDir = dir.filePath("Project");
    QDir().mkpath(ctx.ProjectDir);
    QFile f(QDir(ctx.ProjectDir).filePath("ZTR001-PACKAGED.zdm"));
    f.open(QIODevice::WriteOnly);
    f.write(gatewayFile(size));
    f.close();

    SerialLink link(ctx, new QtSerialPortImpl);
    link.configurePort(PortChoice{1, device, QStringLiteral("%1,n,8,1").arg(baud)});
    link.chkOnline_Click(true);
    link.Timer1_Timer();
    if (!waitFor([&] { return link.state() == LinkState::OnLine; }, 5000)) {
        std::fprintf(stderr, "gateway not recognised\n");
        return 1;
    }
    bool done = false;
    UploadOutcome outcome{};
    QObject::connect(&link, &SerialLink::uploadFinished, [&](UploadOutcome o) { done = true, outcome = o; });
    QElapsedTimer clock;
    clock.start();
    link.SendFile();
    waitFor([&] { return done; }, 60000);
    const double total = clock.nsecsElapsed() / 1e9;
    link.chkOnline_Click(false);
    sim.kill();
    sim.waitForFinished();

    const int blocks = (size + 127) / 128;
    const double perByte = 10.0 / baud;
    const double lineTime = size * perByte;
    const int ackLen = int(QByteArray("Bytes:") .size()) + int(QByteArray::number(size).size()) + 2;
    const double ackTime = blocks * ackLen * perByte;
    const double budget = 1.05 * lineTime + ackTime;
    std::printf("bench_upload: %d bytes in %d blocks at %d baud against tarveon-sim\n", size, blocks, baud);
    std::printf("  outcome: %s\n", done && outcome == UploadOutcome::Success ? "SUCCES" : "failed");
    std::printf("  line time of the file: %.3f s; acknowledgements: %.3f s\n", lineTime, ackTime);
    std::printf("  total: %.3f s = %.3f x line time; budget 1.05 x line time + acks = %.3f s -> %s\n", total,
                total / lineTime, budget, total <= budget ? "within" : "OVER");
    std::printf("  per block: %.2f ms (line %.2f ms + ack %.2f ms)\n", total / blocks * 1000, 128 * perByte * 1000,
                ackLen * perByte * 1000);
    return done && outcome == UploadOutcome::Success ? 0 : 1;
}
