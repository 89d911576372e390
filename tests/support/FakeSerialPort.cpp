#include "FakeSerialPort.h"

#include <QStringList>

namespace tarveon {

bool FakeSerialPort::open()
{
    if (failOpen) {
        m_error = openError;
        return false;
    }
    m_error.clear();
    m_open = true;
    ++openCount;
    return true;
}

void FakeSerialPort::close()
{
    if (m_open)
        ++closeCount;
    m_open = false;
    m_input.clear();
    m_pending.clear();
}

qint64 FakeSerialPort::write(const QByteArray &bytes)
{
    if (!m_open)
        return -1;
    if (stallOutput)
        m_pending += bytes;
    else
        written += bytes;
    return bytes.size();
}

QByteArray FakeSerialPort::readAll()
{
    QByteArray out;
    out.swap(m_input);
    return out;
}

bool FakeSerialPort::waitForBytesWritten(int)
{
    return !stallOutput && m_open;
}

void FakeSerialPort::receive(const QByteArray &bytes)
{
    if (!m_open)
        return;
    m_input += bytes;
    emit readyRead();
}

void FakeSerialPort::unplug(int repeats)
{
    m_error = QStringLiteral("Input/output error");
    for (int i = 0; i < repeats && m_open; ++i)
        emit faultOccurred(Fault::Read, m_error);
}

void FakeSerialPort::drain()
{
    written += m_pending;
    m_pending.clear();
}

QStringList FakeSerialPort::writtenLines() const
{
    QString text = QString::fromLatin1(written);
    QStringList lines = text.split(QLatin1Char('\r'));
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    return lines;
}

} // namespace tarveon
