// Receive parser throughput: 10 MB of mixed gateway lines (value reports against a loaded link
// table, EIB and EXT traffic, console text, CR LF and CR ends) fed in random chunk sizes, on line
// with both traffic reports on, every line distributed to a counting monitor. Also 1 MB and
// 5 MB to show the cost is linear, and one 10 MB chunk. Target: >= 50 MB/s.
#include "app/AppContext.h"
#include "FakeSerialPort.h"
#include "RecordingPrompter.h"
#include "link/LineFramer.h"
#include "link/SerialLink.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QRandomGenerator>
#include <QTemporaryDir>
#include <cstdio>

using namespace tarveon;

namespace {

QByteArray makeStream(qsizetype bytes, QRandomGenerator &rng)
{
    QByteArray s;
    s.reserve(bytes + 128);
    int n = 0;
    while (s.size() < bytes) {
        const int group = int(rng.bounded(600));
        switch (rng.bounded(6)) {
        case 0:
        case 1:
            s += QStringLiteral("GP:%1/%2/%3=%4")
                     .arg(1 + group / 256, 2, 10, QLatin1Char('0'))
                     .arg((group / 32) % 8)
                     .arg(group % 256, 3, 10, QLatin1Char('0'))
                     .arg(double(rng.bounded(4000)) / 100.0, 0, 'f', 2)
                     .toLatin1();
            break;
        case 2:
            s += "EIB>1.1." + QByteArray::number(n % 255) + " 01/2/003 Write 0C 1A";
            break;
        case 3:
            s += "EXT<TRBAS 192.168.0.2:502 read sys 1 unit " + QByteArray::number(n % 64) + " reg 100 -> 1";
            break;
        case 4:
            s += "Debug: polling unit " + QByteArray::number(n % 160) + " ok";
            break;
        default:
            s += "GP:1/2/3=5";
            break;
        }
        s += (n++ % 3) ? "\r\n" : "\r";
    }
    return s;
}

struct Result {
    double mbps;
    qint64 lines;
};

// The link put on line directly, its tables filled here.
class OnLineLink : public SerialLink {
public:
    OnLineLink(AppContext &ctx) : SerialLink(ctx, new FakeSerialPort) { setState(LinkState::OnLine); }
    using SerialLink::tables;
};

Result run(const QByteArray &stream, int maxChunk, quint32 seed)
{
    QTemporaryDir dir;
    RecordingPrompter prompter;
    AppContext ctx(dir.path(), QStringLiteral("bench"), &prompter);
    ctx.InitProtocols();
    OnLineLink link(ctx);
    // 600 signals on 300 groups, each group with a further entry.
    LinkTables &t = link.tables();
    for (int g = 0; g < 300; ++g) {
        const QString key = QStringLiteral("GP:%1/%2/%3")
                                .arg(1 + g / 256, 2, 10, QLatin1Char('0'))
                                .arg((g / 32) % 8)
                                .arg(g % 256, 3, 10, QLatin1Char('0'));
        t.signals_.append(LinkSignal{});
        t.index.insert(key, t.count());
        t.signals_.append(LinkSignal{});
        t.index.insert(key + QStringLiteral("-1"), t.count());
    }
    link.showBus(QStringLiteral("INT"), true);
    link.showBus(QStringLiteral("EXT"), true);
    qint64 lines = 0, chars = 0;
    QObject::connect(&link, &SerialLink::gatewayLine, [&](const QString &l, const QString &) { ++lines, chars += l.size(); });
    QObject::connect(&link, &SerialLink::eibLine, [&](const QString &l) { ++lines, chars += l.size(); });
    QObject::connect(&link, &SerialLink::extLine, [&](const QString &l) { ++lines, chars += l.size(); });

    QRandomGenerator rng(seed);
    QElapsedTimer clock;
    clock.start();
    for (qsizetype pos = 0; pos < stream.size();) {
        const int n = maxChunk <= 0 ? int(stream.size()) : 1 + int(rng.bounded(maxChunk));
        link.ProcessReceived(QByteArrayView(stream).sliced(pos, qMin<qsizetype>(n, stream.size() - pos)));
        pos += n;
    }
    const double s = clock.nsecsElapsed() / 1e9;
    return {stream.size() / 1e6 / s, lines};
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QRandomGenerator rng(42);
    const QByteArray stream = makeStream(10 * 1000 * 1000, rng);
    std::printf("bench_receive: parser + distribution, on line, both reports on (target >= 50 MB/s)\n");
    for (qsizetype mb : {1, 5, 10}) {
        const QByteArray part = stream.left(mb * 1000 * 1000);
        const Result r = run(part, 4096, 7);
        std::printf("  %2lld MB, chunks 1..4096 bytes: %7.1f MB/s (%lld lines)\n", (long long)mb, r.mbps,
                    (long long)r.lines);
    }
    Result r = run(stream, 64, 9);
    std::printf("  10 MB, chunks 1..64 bytes:   %7.1f MB/s\n", r.mbps);
    r = run(stream, 0, 0);
    std::printf("  10 MB, one chunk:            %7.1f MB/s\n", r.mbps);

    // A gateway that never sends CR: the partial line only grows. Equal MB/s at 25, 50 and 100 MB
    // show that the cost stays linear (no copy of the whole pending line per chunk).
    for (qsizetype mb : {25, 50, 100}) {
        const QByteArray chunk(64 * 1024, 'x');
        QTemporaryDir dir;
        RecordingPrompter prompter;
        AppContext ctx(dir.path(), QStringLiteral("bench"), &prompter);
        ctx.InitProtocols();
        OnLineLink link(ctx);
        qint64 longest = 0;
        QObject::connect(&link, &SerialLink::gatewayLine, [&](const QString &l, const QString &) {
            longest = qMax<qint64>(longest, l.size());
        });
        const qsizetype total = mb * 1000 * 1000;
        QElapsedTimer noCr;
        noCr.start();
        for (qsizetype sent = 0; sent < total; sent += chunk.size())
            link.ProcessReceived(QByteArrayView(chunk).first(qMin<qsizetype>(chunk.size(), total - sent)));
        link.ProcessReceived("\r");
        std::printf("  %3lld MB without CR, 64 KB chunks, then CR: %7.1f MB/s (line of %lld chars)\n", (long long)mb,
                    total / 1e6 / (noCr.nsecsElapsed() / 1e9), (long long)longest);
    }

    // The framer alone.
    LineFramer framer;
    qint64 lines = 0;
    QElapsedTimer clock;
    clock.start();
    QRandomGenerator crng(3);
    for (qsizetype pos = 0; pos < stream.size();) {
        const int n = 1 + int(crng.bounded(4096));
        framer.feed(QByteArrayView(stream).sliced(pos, qMin<qsizetype>(n, stream.size() - pos)),
                    [&](QByteArrayView) { ++lines; });
        pos += n;
    }
    std::printf("  framer alone, 10 MB:         %7.1f MB/s (%lld lines)\n",
                stream.size() / 1e6 / (clock.nsecsElapsed() / 1e9), (long long)lines);
    return 0;
}
