#include "link/QtSerialPortImpl.h"

#include <QSerialPort>

namespace tarveon {

QtSerialPortImpl::QtSerialPortImpl(QObject *parent) : SerialPort(parent), m_port(new QSerialPort(this))
{
    connect(m_port, &QSerialPort::readyRead, this, &SerialPort::readyRead);
    connect(m_port, &QSerialPort::errorOccurred, this, [this](QSerialPort::SerialPortError error) {
        // Errors while opening are reported by open()'s result; these are the port dying under us.
        if (!m_port->isOpen())
            return;
        switch (error) {
        case QSerialPort::ReadError:
            emit faultOccurred(Fault::Read, m_port->errorString());
            break;
        case QSerialPort::WriteError:
            emit faultOccurred(Fault::Write, m_port->errorString());
            break;
        case QSerialPort::ResourceError:
            emit faultOccurred(Fault::Resource, m_port->errorString());
            break;
        default:
            break;
        }
    });
}

QtSerialPortImpl::~QtSerialPortImpl() = default;

bool QtSerialPortImpl::open()
{
    m_openError.clear();
    if (m_port->isOpen())
        return true;
    const LineSettings s = lineSettings();
    m_port->setPortName(portName());
    m_port->setBaudRate(s.baudRate);
    switch (s.parity) {
    case 'e': m_port->setParity(QSerialPort::EvenParity); break;
    case 'o': m_port->setParity(QSerialPort::OddParity); break;
    case 'm': m_port->setParity(QSerialPort::MarkParity); break;
    case 's': m_port->setParity(QSerialPort::SpaceParity); break;
    default: m_port->setParity(QSerialPort::NoParity); break;
    }
    m_port->setDataBits(QSerialPort::DataBits(s.dataBits));
    m_port->setStopBits(s.stopBits == 2 ? QSerialPort::TwoStop
                        : s.stopBits == 15 ? QSerialPort::OneAndHalfStop
                                           : QSerialPort::OneStop);
    m_port->setFlowControl(QSerialPort::NoFlowControl);
    if (!m_port->open(QIODevice::ReadWrite)) {
        m_openError = m_port->errorString();
        m_port->clearError();
        return false;
    }
    return true;
}

void QtSerialPortImpl::close()
{
    if (m_port->isOpen())
        m_port->close();
}

bool QtSerialPortImpl::isOpen() const { return m_port->isOpen(); }

qint64 QtSerialPortImpl::write(const QByteArray &bytes) { return m_port->write(bytes); }

QByteArray QtSerialPortImpl::readAll() { return m_port->readAll(); }

qint64 QtSerialPortImpl::bytesAvailable() const { return m_port->bytesAvailable(); }

qint64 QtSerialPortImpl::bytesToWrite() const { return m_port->bytesToWrite(); }

bool QtSerialPortImpl::waitForBytesWritten(int msecs) { return m_port->waitForBytesWritten(msecs); }

QString QtSerialPortImpl::errorString() const
{
    return m_openError.isEmpty() ? m_port->errorString() : m_openError;
}

} // namespace tarveon
