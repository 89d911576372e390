#pragma once
#include "link/SerialPort.h"

namespace tarveon {

// An in-memory port: what the program writes collects in `written`; the test plays the gateway
// with receive(). It can refuse to open, hold its output back, or go away.
class FakeSerialPort : public SerialPort {
    Q_OBJECT
public:
    using SerialPort::SerialPort;

    bool open() override;
    void close() override;
    bool isOpen() const override { return m_open; }
    qint64 write(const QByteArray &bytes) override;
    QByteArray readAll() override { return std::exchange(m_input, {}); }
    qint64 bytesAvailable() const override { return m_input.size(); }
    qint64 bytesToWrite() const override { return m_pending.size(); }
    bool waitForBytesWritten(int) override { return m_open && !stallOutput; }
    QString errorString() const override { return m_error; }

    // The gateway sends bytes: they are queued and readyRead is emitted.
    void receive(const QByteArray &bytes);
    // The device goes away: fault signals as a vanished pseudo-terminal gives them, repeatedly.
    void unplug(int repeats = 3);
    // Hands held-back output over, as the device draining its buffer.
    void drain() { written += std::exchange(m_pending, {}); }

    QByteArray written;       // everything handed to the device, in order
    bool failOpen = false;    // open() fails with openError
    QString openError = QStringLiteral("No such file or directory");
    bool stallOutput = false; // output stays pending until drain()

private:
    bool m_open = false;
    QByteArray m_input;
    QByteArray m_pending;
    QString m_error;
};

} // namespace tarveon
