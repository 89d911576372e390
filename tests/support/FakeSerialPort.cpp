#include "FakeSerialPort.h"

namespace tarveon {

bool FakeSerialPort::open()
{
    m_error = failOpen ? openError : QString();
    return m_open = !failOpen;
}

void FakeSerialPort::close()
{
    m_open = false;
    m_input.clear();
    m_pending.clear();
}

qint64 FakeSerialPort::write(const QByteArray &bytes)
{
    if (!m_open)
        return -1;
    (stallOutput ? m_pending : written) += bytes;
    return bytes.size();
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

} // namespace tarveon
