// tarveon-sim: a stand-in for the Tarveon gateway at the end of a serial line, for trying the
// tool and for its tests. It makes a pseudo-terminal (raw mode) and prints the device path the
// tool should open, or serves a given device. It serves until it is stopped (SIGINT, SIGTERM, a
// hang-up it was told to make, or with --exit-with-parent the end of the process that started it)
// and says on stderr why it stops; the end of the shell that started it does not stop it.
#include "Gateway.h"
#include "KnxdBridge.h"
#include "app/CommandLine.h"
#include "app/StopSignals.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTextStream>
#include <QTimer>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <memory>
#include <utility>

using tarveon::sim::Gateway;
using tarveon::sim::Options;

namespace {

bool makeRaw(int fd, int baud)
{
    termios t{};
    if (tcgetattr(fd, &t) != 0)
        return false;
    cfmakeraw(&t);
    t.c_cflag |= CLOCAL | CREAD;
    if (baud > 0) {
        speed_t speed = B57600;
        switch (baud) {
        case 1200: speed = B1200; break;
        case 2400: speed = B2400; break;
        case 4800: speed = B4800; break;
        case 9600: speed = B9600; break;
        case 19200: speed = B19200; break;
        case 38400: speed = B38400; break;
        case 115200: speed = B115200; break;
        default: break;
        }
        cfsetispeed(&t, speed);
        cfsetospeed(&t, speed);
    }
    return tcsetattr(fd, TCSANOW, &t) == 0;
}

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName(QStringLiteral("tarveon-sim"));

    tarveon::CommandLine cl(QStringLiteral("tarveon-sim"));
    QCommandLineParser &parser = cl.parser;
    parser.setApplicationDescription(QStringLiteral(
        "Simulated Tarveon gateway. Creates a pseudo-terminal, prints its path on the first line of\n"
        "standard output and answers the tool's commands on it until stopped (SIGINT, SIGTERM)."));
    const QCommandLineOption device({QStringLiteral("d"), QStringLiteral("device")},
                                    QStringLiteral("Serve this device instead of a new pseudo-terminal."),
                                    QStringLiteral("path"));
    const QCommandLineOption exitWithParent(
        QStringLiteral("exit-with-parent"),
        QStringLiteral("Stop when the process that started the simulator ends (tests and scripts)."));
    const QCommandLineOption family(QStringLiteral("family"), QStringLiteral("Protocol family reported (ZTR001)."),
                                    QStringLiteral("name"), QStringLiteral("ZTR001"));
    const QCommandLineOption firmware(QStringLiteral("firmware"), QStringLiteral("Version text after the family."),
                                      QStringLiteral("text"), QStringLiteral("V2.10"));
    const QCommandLineOption identification(
        QStringLiteral("identification"),
        QStringLiteral("Answer INFO? with this line instead of Protocol:FAMILY.FIRMWARE ..."), QStringLiteral("line"));
    const QCommandLineOption baud(QStringLiteral("baud"),
                                  QStringLiteral("Pace both directions at this line speed (10 bits a byte)."),
                                  QStringLiteral("rate"), QStringLiteral("0"));
    const QCommandLineOption crOnly(QStringLiteral("cr-only"), QStringLiteral("End lines with CR alone, not CR LF."));
    const QCommandLineOption traffic(QStringLiteral("traffic-ms"),
                                     QStringLiteral("Interval of EIB/EXT traffic lines while on (400)."),
                                     QStringLiteral("ms"), QStringLiteral("400"));
    const QCommandLineOption drift(QStringLiteral("drift-ms"),
                                   QStringLiteral("Interval of slow value changes while ONCHANGES (1500)."),
                                   QStringLiteral("ms"), QStringLiteral("1500"));
    const QCommandLineOption driftGroup(QStringLiteral("drift"),
                                        QStringLiteral("A group whose value drifts (repeat the option; default "
                                                       "1/0/1, 1/0/2, 1/0/3)."),
                                        QStringLiteral("group"));
    const QCommandLineOption set(QStringLiteral("set"), QStringLiteral("Initial group value, e.g. 1/2/3=21.5."),
                                 QStringLiteral("group=value"));
    const QCommandLineOption silent(QStringLiteral("silent"), QStringLiteral("Answer nothing at all."));
    const QCommandLineOption refuse(QStringLiteral("refuse"), QStringLiteral("Refuse every upload (CANCEL)."));
    const QCommandLineOption cancelAfter(QStringLiteral("cancel-after"),
                                         QStringLiteral("Cancel the upload once this many bytes came in."),
                                         QStringLiteral("bytes"));
    const QCommandLineOption silentAfter(QStringLiteral("silent-after"),
                                         QStringLiteral("Go silent once this many upload bytes came in (0: at SEND~)."),
                                         QStringLiteral("bytes"));
    const QCommandLineOption hangupAfter(QStringLiteral("hangup-after"),
                                         QStringLiteral("Hang up (close the line, quit) after this many upload bytes."),
                                         QStringLiteral("bytes"));
    const QCommandLineOption wrongAck(QStringLiteral("wrong-ack"),
                                      QStringLiteral("Acknowledge one byte more than received."));
    const QCommandLineOption duplicateAck(QStringLiteral("duplicate-ack"),
                                          QStringLiteral("Send every acknowledgement twice."));
    const QCommandLineOption ignoreReads(QStringLiteral("ignore-reads"),
                                         QStringLiteral("Answer no group value request (GP:...?)."));
    const QCommandLineOption knxd(QStringLiteral("knxd"),
                                  QStringLiteral("Bridge the gateway's groups to a running knxd, e.g. ip:localhost:6720."),
                                  QStringLiteral("url"));
    const QCommandLineOption project(QStringLiteral("project"),
                                     QStringLiteral("Take the groups for knxd from this project's gateway file until one "
                                                    "is uploaded."),
                                     QStringLiteral("dir"));
    parser.addOptions({knxd, project, ignoreReads, device, exitWithParent, family, firmware, identification, baud, crOnly, traffic, drift,
                       driftGroup, set, silent, refuse, cancelAfter, silentAfter, hangupAfter, wrongAck,
                       duplicateAck});
    QStringList args = QCoreApplication::arguments();
    args.removeFirst();
    if (const int code = cl.parse(args); code >= 0)
        return code;

    // Numbers must be numbers: a typing error would otherwise quietly mean 0.
    bool numbersOk = true;
    const auto number = [&](const QCommandLineOption &option) {
        bool ok = false;
        const qint64 n = cl.value(option).toLongLong(&ok);
        if (!ok)
            numbersOk = false;
        return n;
    };
    Options opt;
    opt.family = cl.value(family);
    opt.firmware = cl.value(firmware);
    opt.identification = cl.value(identification);
    opt.baud = int(number(baud));
    opt.crOnly = cl.isSet(crOnly);
    opt.trafficMs = int(number(traffic));
    opt.driftMs = int(number(drift));
    opt.silent = cl.isSet(silent);
    opt.refuse = cl.isSet(refuse);
    opt.wrongAck = cl.isSet(wrongAck);
    opt.duplicateAck = cl.isSet(duplicateAck);
    opt.ignoreReads = cl.isSet(ignoreReads);
    if (cl.isSet(cancelAfter))
        opt.cancelAfter = number(cancelAfter);
    if (cl.isSet(silentAfter))
        opt.silentAfter = number(silentAfter);
    if (cl.isSet(hangupAfter))
        opt.hangupAfter = number(hangupAfter);
    if (!numbersOk)
        return cl.usageError(QStringLiteral("a number is expected"));
    for (const QString &s : cl.values(set)) {
        const qsizetype eq = s.indexOf(QLatin1Char('='));
        const int group = eq < 0 ? -1 : Gateway::parseGroup(s.left(eq));
        if (group < 0)
            return cl.usageError(QStringLiteral("bad --set ") + s);
        opt.initialValues.insert(group, s.mid(eq + 1).toDouble());
    }
    for (const QString &g : cl.values(driftGroup)) {
        const int group = Gateway::parseGroup(g);
        if (group < 0)
            return cl.usageError(QStringLiteral("bad --drift ") + g);
        opt.driftGroups << group;
    }

    // The KNX side: the groups of the project's gateway file until a configuration is uploaded.
    std::unique_ptr<tarveon::sim::KnxdBridge> bridge;
    if (cl.isSet(knxd)) {
        bridge = std::make_unique<tarveon::sim::KnxdBridge>(cl.value(knxd));
        QString error;
        if (!bridge->open(&error)) {
            QTextStream(stderr) << "tarveon-sim: " << error << "\n";
            return 2;
        }
        if (cl.isSet(project)) {
            // The gateway file generate wrote there (any case of its extension).
            const QDir dir(cl.value(project));
            const QStringList files = dir.entryList({QStringLiteral("*.zdm")}, QDir::Files);
            QFile file(files.isEmpty() ? QString() : dir.filePath(files.constFirst()));
            if (!files.isEmpty() && file.open(QIODevice::ReadOnly))
                bridge->setGroups(tarveon::sim::GroupsOfGatewayFile(file.readAll()));
            if (bridge->groupCount() == 0) {
                QTextStream(stderr) << "tarveon-sim: no gateway file with groups in " << dir.path()
                                    << " (generate it first)\n";
                return 2;
            }
            QTextStream(stderr) << "tarveon-sim: knxd: the " << bridge->groupCount() << " groups of "
                                << file.fileName() << "\n";
        }
    } else if (cl.isSet(project)) {
        return cl.usageError(QStringLiteral("--project goes with --knxd"));
    }

    int fd = -1;
    int slave = -1;
    QString path;
    if (cl.isSet(device)) {
        path = cl.value(device);
        fd = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (fd < 0 || !makeRaw(fd, opt.baud)) {
            QTextStream(stderr) << "tarveon-sim: cannot open " << path << ": " << std::strerror(errno) << "\n";
            return 2;
        }
    } else {
        fd = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (fd < 0 || ::grantpt(fd) != 0 || ::unlockpt(fd) != 0) {
            QTextStream(stderr) << "tarveon-sim: no pseudo-terminal: " << std::strerror(errno) << "\n";
            return 2;
        }
        path = QString::fromLocal8Bit(::ptsname(fd));
        // Keep the far end open in raw mode: no echo of early bytes, and no hang-up while the tool
        // closes and reopens the port.
        slave = ::open(path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
        if (slave < 0 || !makeRaw(slave, opt.baud)) {
            QTextStream(stderr) << "tarveon-sim: cannot set up " << path << ": " << std::strerror(errno) << "\n";
            return 2;
        }
        ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK);
    }
    std::printf("%s\n", path.toLocal8Bit().constData());
    std::fflush(stdout);

    // The end of the shell or terminal that started it does not stop it; nor does a closed output.
    std::signal(SIGHUP, SIG_IGN);
    std::signal(SIGPIPE, SIG_IGN);
    bool stopping = false;
    const auto stop = [&stopping](int code, const QString &why) {
        if (std::exchange(stopping, true))
            return;
        QTextStream(stderr) << "tarveon-sim: stopped: " << why << Qt::endl;
        QCoreApplication::exit(code);
    };
    tarveon::StopSignals stopSignals;
    QObject::connect(&stopSignals, &tarveon::StopSignals::stopRequested, &app, [&](int signalNumber) {
        stop(0, tarveon::StopSignals::signalName(signalNumber));
    });

    Gateway gateway(fd, opt);
    QObject::connect(&gateway, &Gateway::finished, &app, [&](int code, const QString &why) {
        ::close(fd);
        if (slave >= 0)
            ::close(slave);
        fd = slave = -1;
        stop(code, why);
    });

    if (bridge) {
        tarveon::sim::KnxdBridge *b = bridge.get();
        QObject::connect(&gateway, &Gateway::configurationLoaded, b, [b](const QByteArray &file) {
            b->setGroups(tarveon::sim::GroupsOfGatewayFile(file));
            QTextStream(stderr) << "tarveon-sim: knxd: the " << b->groupCount() << " groups of the uploaded file" << Qt::endl;
        });
        QObject::connect(&gateway, &Gateway::valueSet, b, [b](int group, double value) { b->send(group, value); });
        QObject::connect(b, &tarveon::sim::KnxdBridge::groupWritten, &gateway, &Gateway::busWrite);
        QObject::connect(b, &tarveon::sim::KnxdBridge::groupRead, b,
                         [b, &gateway](int group) { b->send(group, gateway.value(group), true); });
        QObject::connect(b, &tarveon::sim::KnxdBridge::lost, &app, [&](const QString &why) { stop(2, why); });
    }

    // Tests and scripts tie it to themselves, so that one that crashed leaves no simulator behind.
    QTimer watch;
    if (cl.isSet(exitWithParent)) {
        const pid_t parent = ::getppid();
        QObject::connect(&watch, &QTimer::timeout, &app, [&, parent] {
            if (::getppid() != parent)
                stop(0, QStringLiteral("the process that started it ended (--exit-with-parent)"));
        });
        watch.start(300);
    }

    const int code = app.exec();
    if (fd >= 0)
        ::close(fd);
    if (slave >= 0)
        ::close(slave);
    return code;
}
