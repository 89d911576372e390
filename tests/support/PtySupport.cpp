#include "PtySupport.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QThread>
#include <cerrno>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

namespace tarveon::test {

bool waitFor(const std::function<bool()> &pred, int timeoutMs)
{
    QElapsedTimer clock;
    clock.start();
    while (!pred()) {
        if (clock.elapsed() > timeoutMs)
            return pred();
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        QThread::usleep(500);
    }
    return true;
}

PtyPair::PtyPair()
{
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) {
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
        return;
    }
    m_path = QString::fromLocal8Bit(::ptsname(m_master));
    m_slave = ::open(m_path.toLocal8Bit().constData(), O_RDWR | O_NOCTTY);
    termios t{};
    if (m_slave >= 0 && ::tcgetattr(m_slave, &t) == 0) {
        ::cfmakeraw(&t);
        ::tcsetattr(m_slave, TCSANOW, &t);
    }
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
}

PtyPair::~PtyPair()
{
    hangUp();
}

void PtyPair::write(const QByteArray &bytes)
{
    qsizetype done = 0;
    while (m_master >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(m_master, bytes.constData() + done, size_t(bytes.size() - done));
        if (n < 0 && (errno == EAGAIN || errno == EINTR)) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
            continue;
        }
        if (n <= 0)
            return;
        done += n;
    }
}

QByteArray PtyPair::readNow()
{
    QByteArray out;
    char buf[4096];
    while (m_master >= 0) {
        const ssize_t n = ::read(m_master, buf, sizeof buf);
        if (n <= 0)
            break;
        out.append(buf, n);
    }
    return out;
}

QByteArray PtyPair::readUntil(const std::function<bool(const QByteArray &)> &done, int timeoutMs)
{
    QByteArray got;
    QElapsedTimer clock;
    clock.start();
    while (true) {
        got += readNow();
        if (done(got) || clock.elapsed() > timeoutMs)
            return got;
        QCoreApplication::processEvents(QEventLoop::AllEvents, 5);
        pollfd p{m_master, POLLIN, 0};
        ::poll(&p, 1, 2);
    }
}

QByteArray PtyPair::readFor(int waitMs)
{
    return readUntil([](const QByteArray &) { return false; }, waitMs);
}

void PtyPair::hangUp()
{
    if (m_slave >= 0)
        ::close(m_slave);
    if (m_master >= 0)
        ::close(m_master);
    m_slave = m_master = -1;
}

QString SimProcess::program()
{
    return QStringLiteral(TARVEON_BIN_DIR "/tarveon-sim");
}

SimProcess::~SimProcess()
{
    stop();
}

bool SimProcess::start(const QStringList &options)
{
    m_process.setProgram(program());
    // Tied to the test: a test that crashes leaves no simulator behind.
    m_process.setArguments(QStringList{QStringLiteral("--exit-with-parent")} + options);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_process.start();
    if (!m_process.waitForStarted(5000))
        return false;
    QElapsedTimer clock;
    clock.start();
    while (!m_process.canReadLine() && clock.elapsed() < 5000)
        m_process.waitForReadyRead(100);
    m_path = QString::fromLocal8Bit(m_process.readLine()).trimmed();
    return !m_path.isEmpty();
}

bool SimProcess::waitForExit(int timeoutMs)
{
    return waitFor([this] { return m_process.state() == QProcess::NotRunning; }, timeoutMs);
}

void SimProcess::stop()
{
    if (m_process.state() != QProcess::NotRunning) {
        m_process.kill();
        m_process.waitForFinished(3000);
    }
}

} // namespace tarveon::test
