#pragma once
#include <QByteArray>
#include <QObject>
#include <QString>

namespace tarveon {

// Line parameters of a serial port, parsed from the settings string "57600,n,8,1"
// (baud rate, parity letter, data bits, stop bits).
struct LineSettings {
    qint32 baudRate = 57600;
    char parity = 'n';      // n, e, o, m, s
    int dataBits = 8;       // 5..8
    int stopBits = 1;       // 1 or 2 (the text "1.5" reads as 15)

    // Parses a settings string; returns false (and leaves *out alone) when a part is missing or
    // out of range. Any positive baud rate is accepted: the driver decides whether it can do it.
    static bool parse(const QString &text, LineSettings *out);
    QString toString() const;
};

// The serial communications facility the link talks through: a port named by its device, with
// line parameters set before opening. The program uses QtSerialPortImpl; tests an in-memory fake.
class SerialPort : public QObject {
    Q_OBJECT
public:
    // Errors that end the link while the port is open: the device went away or stopped working.
    enum class Fault { Read, Write, Resource };

    using QObject::QObject;
    ~SerialPort() override = default;

    void setPortName(const QString &device) { m_portName = device; }
    QString portName() const { return m_portName; }
    void setLineSettings(const LineSettings &settings) { m_settings = settings; }
    LineSettings lineSettings() const { return m_settings; }

    // Opens the device with the line parameters set; false with errorString() on failure.
    virtual bool open() = 0;
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Queues bytes for output; returns the count accepted or -1.
    virtual qint64 write(const QByteArray &bytes) = 0;
    // All input received so far.
    virtual QByteArray readAll() = 0;
    virtual qint64 bytesAvailable() const = 0;
    // Output not yet handed to the device.
    virtual qint64 bytesToWrite() const = 0;
    // Blocks up to msecs for output progress; false when nothing could be written.
    virtual bool waitForBytesWritten(int msecs) = 0;
    virtual QString errorString() const = 0;

signals:
    // Input is waiting to be read.
    void readyRead();
    // The open port failed; may be emitted many times for one failure (callers report it once).
    void faultOccurred(tarveon::SerialPort::Fault fault, const QString &description);

private:
    QString m_portName;
    LineSettings m_settings;
};

} // namespace tarveon
