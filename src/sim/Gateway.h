#pragma once
#include <QByteArray>
#include <QMap>
#include <QObject>
#include <QRandomGenerator>
#include <QString>
#include <deque>

class QSocketNotifier;
class QTimer;

namespace tarveon::sim {

// What the simulated gateway is told to be and to do wrong.
struct Options {
    QString family = QStringLiteral("ZTR001");
    QString firmware = QStringLiteral("V2.10");
    int baud = 0;                 // pace both directions at this line speed; 0 = as fast as possible
    bool crOnly = false;          // end lines with CR alone instead of CR LF
    int trafficMs = 400;          // interval of EIB/EXT traffic lines while their report is on
    int driftMs = 1500;           // interval of slow value changes while ONCHANGES is on
    bool silent = false;          // answer nothing at all
    bool refuse = false;          // answer "SEND~" with "CANCEL"
    qint64 cancelAfter = -1;      // abort the upload once this many bytes came in
    qint64 silentAfter = -1;      // stop answering once this many upload bytes came in
    qint64 hangupAfter = -1;      // close the line and quit once this many upload bytes came in
    bool wrongAck = false;        // acknowledge one byte more than received
    bool duplicateAck = false;    // send every acknowledgement twice
    bool ignoreReads = false;     // answer no group value request
    QMap<int, double> initialValues; // group number -> value
    QList<int> driftGroups;          // groups whose values drift; empty: 1/0/1, 1/0/2 and 1/0/3
    QString identification;          // the answer to INFO?; empty: "Protocol:" family "." firmware ...
};

// The Tarveon gateway as the tool sees it over one serial line: a line console, group values,
// change reports, bus traffic lines and the configuration upload handshake.
class Gateway : public QObject {
    Q_OBJECT
public:
    Gateway(int fd, const Options &options, QObject *parent = nullptr);

    static QString paddedGroup(int group);
    double value(int group) const { return m_values.value(group, 0.0); }
    // A group telegram from the KNX side (knxd) wrote `value`: the gateway takes it, shows it as
    // an EIB traffic line and reports the change.
    void busWrite(const QString &source, int group, double value);
    // "1/2/3", "01/2/003", "2563" -> group number, or -1.
    static int parseGroup(const QString &text);

signals:
    // The gateway stops serving: why, for the simulator's last line.
    void finished(int exitCode, const QString &why);
    // A group's value was set from the tool's side (a write command or a change of the simulated
    // machines): the KNX side hears of it.
    void valueSet(int group, double value);
    // A configuration file was uploaded and its checksum holds.
    void configurationLoaded(const QByteArray &file);

private:
    void onReadable();
    void consume(QByteArray bytes);
    void command(const QString &line);
    void uploadBytes(QByteArray &bytes);
    void finishUpload();
    void sendLine(const QString &line);
    void sendBytes(const QByteArray &bytes);
    void flushOutput();
    void writeOut();
    void trafficTick();
    void driftTick();
    void reportGroup(int group);
    void hangUp();
    qint64 nowNs() const;
    qint64 lineTimeNs(qsizetype bytes) const;

    int m_fd;
    Options m_opt;
    QSocketNotifier *m_readNotifier;
    QSocketNotifier *m_writeNotifier;
    QTimer *m_outTimer;
    QTimer *m_trafficTimer;
    QTimer *m_driftTimer;

    struct Timed {
        qint64 at;
        QByteArray bytes;
    };
    std::deque<Timed> m_outQueue;
    qint64 m_inFree = 0, m_outFree = 0, m_notBefore = 0;
    QByteArray m_writeBuffer;

    QByteArray m_line;
    bool m_silent = false;
    bool m_onChanges = false;
    bool m_busInt = false, m_busExt = false;
    int m_debug = 0;
    QMap<int, double> m_values;
    QList<int> m_drifting;
    quint32 m_frameNo = 0;
    QRandomGenerator m_random{20240611};

    bool m_uploading = false;
    qint64 m_expected = 0;
    qint64 m_acked = 0;
    QByteArray m_upload;
};

} // namespace tarveon::sim
