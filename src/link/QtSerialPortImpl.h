#pragma once
#include "link/SerialPort.h"

class QSerialPort;

namespace tarveon {

// The real port: QSerialPort opened by device name (pseudo-terminals included, which
// QSerialPortInfo never lists). Line parameters are applied before opening.
class QtSerialPortImpl : public SerialPort {
    Q_OBJECT
public:
    explicit QtSerialPortImpl(QObject *parent = nullptr);
    ~QtSerialPortImpl() override;

    bool open() override;
    void close() override;
    bool isOpen() const override;
    qint64 write(const QByteArray &bytes) override;
    QByteArray readAll() override;
    qint64 bytesAvailable() const override;
    qint64 bytesToWrite() const override;
    bool waitForBytesWritten(int msecs) override;
    QString errorString() const override;

private:
    QSerialPort *m_port;
    QString m_openError;
};

} // namespace tarveon
