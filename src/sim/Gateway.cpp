#include "Gateway.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <QTimer>
#include <cerrno>
#include <chrono>
#include <unistd.h>

namespace tarveon::sim {

Gateway::Gateway(int fd, const Options &options, QObject *parent)
    : QObject(parent), m_fd(fd), m_opt(options), m_silent(options.silent)
{
    m_values = options.initialValues;
    // A few groups that drift slowly (room temperatures and a humidity unless told which), from a
    // plausible value when none was set.
    const QList<int> fallback = {(1 << 11) | (0 << 8) | 1, (1 << 11) | (0 << 8) | 2, (1 << 11) | (0 << 8) | 3};
    m_drifting = options.driftGroups.isEmpty() ? fallback : options.driftGroups;
    const double start[] = {21.5, 23.0, 45.0};
    for (qsizetype i = 0; i < m_drifting.size(); ++i) {
        if (!m_values.contains(m_drifting[i]))
            m_values.insert(m_drifting[i], start[i % 3]);
    }

    m_readNotifier = new QSocketNotifier(fd, QSocketNotifier::Read, this);
    connect(m_readNotifier, &QSocketNotifier::activated, this, &Gateway::onReadable);
    m_writeNotifier = new QSocketNotifier(fd, QSocketNotifier::Write, this);
    m_writeNotifier->setEnabled(false);
    connect(m_writeNotifier, &QSocketNotifier::activated, this, &Gateway::writeOut);

    m_outTimer = new QTimer(this);
    m_outTimer->setSingleShot(true);
    m_outTimer->setTimerType(Qt::PreciseTimer);
    connect(m_outTimer, &QTimer::timeout, this, &Gateway::flushOutput);

    m_trafficTimer = new QTimer(this);
    connect(m_trafficTimer, &QTimer::timeout, this, &Gateway::trafficTick);
    m_trafficTimer->start(qMax(10, m_opt.trafficMs));
    m_driftTimer = new QTimer(this);
    connect(m_driftTimer, &QTimer::timeout, this, &Gateway::driftTick);
    m_driftTimer->start(qMax(10, m_opt.driftMs));
}

qint64 Gateway::nowNs() const
{
    using namespace std::chrono;
    return duration_cast<nanoseconds>(steady_clock::now().time_since_epoch()).count();
}

qint64 Gateway::lineTimeNs(qsizetype bytes) const
{
    // Start bit, eight data bits, stop bit.
    return m_opt.baud > 0 ? qint64(bytes) * 10 * 1000000000LL / m_opt.baud : 0;
}

QString Gateway::paddedGroup(int group)
{
    return QStringLiteral("%1/%2/%3")
        .arg((group >> 11) & 0x1F, 2, 10, QLatin1Char('0'))
        .arg((group >> 8) & 0x07)
        .arg(group & 0xFF, 3, 10, QLatin1Char('0'));
}

int Gateway::parseGroup(const QString &text)
{
    const QStringList parts = text.trimmed().split(QLatin1Char('/'));
    bool ok = true;
    QList<int> n;
    for (const QString &p : parts) {
        n << p.toInt(&ok);
        if (!ok || n.last() < 0)
            return -1;
    }
    if (n.size() == 3 && n[0] < 32 && n[1] < 8 && n[2] < 256)
        return (n[0] << 11) | (n[1] << 8) | n[2];
    if (n.size() == 2 && n[0] < 32 && n[1] < 2048)
        return (n[0] << 11) | n[1];
    if (n.size() == 1 && n[0] < 65536)
        return n[0];
    return -1;
}

// ------------------------------------------------------------------ input

void Gateway::onReadable()
{
    char buf[4096];
    const ssize_t got = ::read(m_fd, buf, sizeof buf);
    if (got < 0 && (errno == EAGAIN || errno == EINTR))
        return;
    if (got <= 0) {
        // The other end is gone for good (a real device unplugged).
        m_readNotifier->setEnabled(false);
        emit finished(0, QStringLiteral("the line was closed at the other end"));
        return;
    }
    QByteArray bytes(buf, got);
    if (m_opt.baud > 0) {
        // The bytes finish arriving once the line could have carried them; nothing the gateway
        // says about them may leave before that.
        m_inFree = qMax(nowNs(), m_inFree) + lineTimeNs(bytes.size());
        m_notBefore = m_inFree;
    }
    consume(std::move(bytes));
}

void Gateway::consume(QByteArray bytes)
{
    while (!bytes.isEmpty()) {
        if (m_uploading) {
            uploadBytes(bytes);
            continue;
        }
        const qsizetype cr = bytes.indexOf('\r');
        if (cr < 0) {
            m_line += bytes;
            break;
        }
        m_line += bytes.left(cr);
        bytes.remove(0, cr + 1);
        m_line.replace("\n", "");
        const QString line = QString::fromLatin1(m_line);
        m_line.clear();
        command(line);
    }
}

void Gateway::command(const QString &raw)
{
    const QString line = raw.trimmed();
    const QString upper = line.toUpper();
    if (line.isEmpty())
        return;
    if (upper == QLatin1String("INFO?")) {
        if (!m_opt.identification.isEmpty())
            sendLine(m_opt.identification);
        else
            sendLine(QStringLiteral("Protocol:%1.%2 Tarveon gateway, debug %3").arg(m_opt.family, m_opt.firmware).arg(m_debug));
    } else if (upper == QLatin1String("ONCHANGES")) {
        m_onChanges = true;
        sendLine(QStringLiteral("OK"));
    } else if (upper == QLatin1String("OFCHANGES")) {
        m_onChanges = false;
        sendLine(QStringLiteral("OK"));
    } else if (upper.startsWith(QLatin1String("BUSINT"))) {
        m_busInt = upper != QLatin1String("BUSINTOFF");
        sendLine(QStringLiteral("OK"));
    } else if (upper.startsWith(QLatin1String("BUSEXT"))) {
        m_busExt = upper != QLatin1String("BUSEXTOFF");
        sendLine(QStringLiteral("OK"));
    } else if (upper.startsWith(QLatin1String("DEBUG="))) {
        m_debug = upper.mid(6).toInt();
        sendLine(QStringLiteral("Debug level %1").arg(m_debug));
    } else if (upper == QLatin1String("RESET~")) {
        m_onChanges = m_busInt = m_busExt = false;
        sendLine(QStringLiteral("Reset"));
        sendLine(QStringLiteral("Tarveon gateway %1 ready").arg(m_opt.firmware));
    } else if (upper == QLatin1String("HELP")) {
        sendLine(QStringLiteral("Commands: INFO? HELP RESET~ DEBUG=n ONCHANGES OFCHANGES"));
        sendLine(QStringLiteral("  BUSINTALL BUSINTTX BUSINTRX BUSINTOFF BUSEXTALL BUSEXTTX BUSEXTRX BUSEXTOFF"));
        sendLine(QStringLiteral("  GP:gg/g/ggg? GP:gg/g/ggg=value SEND~size"));
    } else if (upper.startsWith(QLatin1String("SEND~"))) {
        bool ok = false;
        const qint64 size = line.mid(5).trimmed().toLongLong(&ok);
        if (!ok || size < 0 || m_opt.refuse) {
            sendLine(QStringLiteral("CANCEL"));
            return;
        }
        if (m_opt.silentAfter == 0) {
            m_silent = true;
            return;
        }
        m_uploading = true;
        m_expected = size;
        m_acked = 0;
        m_upload.clear();
        sendLine(QStringLiteral("START"));
        if (size == 0)
            finishUpload();
    } else if (upper.startsWith(QLatin1String("GP:"))) {
        const QString body = line.mid(3);
        if (body.endsWith(QLatin1Char('?'))) {
            const int group = parseGroup(body.chopped(1));
            if (group < 0) {
                sendLine(QStringLiteral("ERROR: group address"));
                return;
            }
            if (!m_opt.ignoreReads)
                reportGroup(group);
        } else {
            const qsizetype eq = body.indexOf(QLatin1Char('='));
            const int group = eq < 0 ? -1 : parseGroup(body.left(eq));
            bool ok = false;
            const double value = eq < 0 ? 0 : body.mid(eq + 1).trimmed().toDouble(&ok);
            if (group < 0 || !ok) {
                sendLine(QStringLiteral("ERROR: group value"));
                return;
            }
            const bool changed = m_values.value(group, 0.0) != value;
            m_values.insert(group, value);
            if (changed && m_onChanges)
                reportGroup(group);
            emit valueSet(group, value);
        }
    } else {
        sendLine(QStringLiteral("ERROR: unknown command ") + line);
    }
}

void Gateway::uploadBytes(QByteArray &bytes)
{
    const qint64 take = qMin<qint64>(bytes.size(), m_expected - m_upload.size());
    m_upload += bytes.left(take);
    bytes.remove(0, take);
    const qint64 received = m_upload.size();
    if (m_opt.hangupAfter >= 0 && received >= m_opt.hangupAfter) {
        hangUp();
        return;
    }
    if (m_opt.silentAfter > 0 && received >= m_opt.silentAfter)
        m_silent = true;
    if (m_opt.cancelAfter >= 0 && received >= m_opt.cancelAfter) {
        m_uploading = false;
        sendLine(QStringLiteral("CANCEL"));
        return;
    }
    while (m_acked < m_expected && received >= qMin(m_acked + 128, m_expected)) {
        m_acked = qMin(m_acked + 128, m_expected);
        const QString ack = QStringLiteral("Bytes:%1").arg(m_opt.wrongAck ? m_acked + 1 : m_acked);
        sendLine(ack);
        if (m_opt.duplicateAck)
            sendLine(ack);
    }
    if (received == m_expected)
        finishUpload();
}

void Gateway::finishUpload()
{
    m_uploading = false;
    // Checksum first (Int32, little-endian): the sum of every following byte.
    bool good = m_upload.size() >= 4;
    if (good) {
        const auto *p = reinterpret_cast<const uchar *>(m_upload.constData());
        const qint32 stored = qint32(quint32(p[0]) | quint32(p[1]) << 8 | quint32(p[2]) << 16 | quint32(p[3]) << 24);
        quint32 sum = 0;
        for (qsizetype i = 4; i < m_upload.size(); ++i)
            sum += p[i];
        good = qint32(sum) == stored;
    }
    sendLine(good ? QStringLiteral("SUCCES") : QStringLiteral("CANCEL"));
    if (good)
        emit configurationLoaded(m_upload);
    m_upload.clear();
}

// ------------------------------------------------------------------ output

void Gateway::reportGroup(int group)
{
    sendLine(QStringLiteral("GP:%1=%2").arg(paddedGroup(group)).arg(m_values.value(group, 0.0), 0, 'f', 2));
}

void Gateway::sendLine(const QString &line)
{
    sendBytes(line.toLatin1() + (m_opt.crOnly ? QByteArray("\r") : QByteArray("\r\n")));
}

void Gateway::sendBytes(const QByteArray &bytes)
{
    if (m_silent)
        return;
    if (m_opt.baud <= 0) {
        m_writeBuffer += bytes;
        writeOut();
        return;
    }
    const qint64 at = qMax(qMax(nowNs(), m_notBefore), m_outFree) + lineTimeNs(bytes.size());
    m_outFree = at;
    m_outQueue.push_back({at, bytes});
    if (!m_outTimer->isActive())
        m_outTimer->start(int(qMax<qint64>(0, (m_outQueue.front().at - nowNs()) / 1000000)));
}

void Gateway::flushOutput()
{
    const qint64 now = nowNs();
    while (!m_outQueue.empty() && m_outQueue.front().at <= now) {
        m_writeBuffer += m_outQueue.front().bytes;
        m_outQueue.pop_front();
    }
    writeOut();
    if (!m_outQueue.empty())
        m_outTimer->start(int(qMax<qint64>(0, (m_outQueue.front().at - now) / 1000000)));
}

void Gateway::writeOut()
{
    while (!m_writeBuffer.isEmpty()) {
        const ssize_t put = ::write(m_fd, m_writeBuffer.constData(), size_t(m_writeBuffer.size()));
        if (put < 0) {
            if (errno == EINTR)
                continue;
            if (errno == EAGAIN)
                break;
            m_writeBuffer.clear(); // nobody listens: drop it
            break;
        }
        m_writeBuffer.remove(0, put);
    }
    m_writeNotifier->setEnabled(!m_writeBuffer.isEmpty());
}

void Gateway::trafficTick()
{
    if (m_uploading)
        return;
    ++m_frameNo;
    if (m_busInt) {
        const int group = m_drifting[m_frameNo % m_drifting.size()];
        sendLine(QStringLiteral("EIB>1.1.%1 %2 Write %3")
                     .arg(10 + m_frameNo % 5)
                     .arg(paddedGroup(group))
                     .arg(m_values.value(group), 0, 'f', 2));
    }
    if (m_busExt)
        sendLine(QStringLiteral("EXT<TRBAS 192.168.0.2:502 read sys %1 unit %2 reg 100 -> %3")
                     .arg(1 + m_frameNo % 2)
                     .arg(m_frameNo % 8)
                     .arg(m_frameNo % 3));
}

void Gateway::driftTick()
{
    if (!m_onChanges || m_uploading)
        return;
    const int group = m_drifting[m_random.bounded(m_drifting.size())];
    const double step = (m_random.bounded(5) - 2) * 0.1;
    if (step == 0.0)
        return;
    m_values[group] = qRound((m_values.value(group) + step) * 100.0) / 100.0;
    reportGroup(group);
    emit valueSet(group, m_values[group]);
}

void Gateway::busWrite(const QString &source, int group, double value)
{
    const bool changed = m_values.value(group, 0.0) != value;
    m_values.insert(group, value);
    if (m_busInt && !m_uploading)
        sendLine(QStringLiteral("EIB>%1 %2 Write %3").arg(source, paddedGroup(group)).arg(value, 0, 'f', 2));
    if (changed && m_onChanges && !m_uploading)
        reportGroup(group);
}

void Gateway::hangUp()
{
    m_readNotifier->setEnabled(false);
    m_writeNotifier->setEnabled(false);
    emit finished(0, QStringLiteral("hung up after %1 upload bytes (--hangup-after)").arg(m_upload.size()));
}

} // namespace tarveon::sim
