#pragma once
#include "link/LinkCommands.h"

#include <QByteArray>
#include <QByteArrayView>
#include <QObject>
#include <QString>

namespace tarveon {

class AppContext;

// How an upload ended.
enum class UploadOutcome { Success, Refused, Cancelled, TimedOut, Aborted };

// What an upload shows: the progress bar with the lamp beside it, the second lamp that blinks
// once per block, and the busy pointer.
struct UploadProgress {
    bool visible = false;  // ProgressBar1 and shpTransfer1
    double maximum = 0.0;  // file length / 128 + 1, not rounded
    int value = 0;         // blocks sent
    bool blink = false;    // shpTransfer2
    bool busy = false;
};

// What the upload needs of the link. The link stays the owner of its state and its port: the
// upload asks it to send and to change state, and the link hands it the lines that arrive while
// an upload runs and tells it when it must end (off line, port lost).
class UploadChannel {
public:
    virtual ~UploadChannel() = default;
    // A command line, shown in the gateway monitor as sent and terminated by CR.
    virtual void sendText(const QString &text) = 0;
    // File bytes, exactly as given.
    virtual void sendBytes(const QByteArray &bytes) = 0;
    // UploadAnnounced, Uploading, or back to OnLine.
    virtual void enterState(LinkState state) = 0;
    // A line for the gateway monitor, received (">") or sent ("<").
    virtual void showLine(const QString &text, bool sent) = 0;
};

// Loading the gateway configuration file into the gateway: the announcement with the size, the
// gateway's START, blocks of 128 bytes each after the acknowledgement of the bytes received so
// far, and the end on SUCCES, CANCEL or more than five silent timer ticks.
class Upload : public QObject {
    Q_OBJECT
public:
    static constexpr int kBlockSize = 128;
    // Timer ticks without progress that are still waited out; one more ends the upload.
    static constexpr int kPatienceTicks = 5;

    Upload(AppContext &ctx, UploadChannel &channel, QObject *parent = nullptr);

    // SendFile: reads `entry` of `dir` (its name matched without regard to case) and announces it.
    // False, after its message, when the file is missing or cannot be read.
    bool SendFile(const QString &dir, const QString &entry);
    // One complete line from the gateway while the upload is announced or running.
    void handleLine(QByteArrayView line);
    // Timer1 while the upload is announced or running: the time-out.
    void tick();
    // The link goes off line or lost its port: a running upload ends as Aborted, quietly.
    void abort();

    bool active() const { return m_phase != Phase::Idle; }
    const UploadProgress &progress() const { return m_progress; }
    // Bytes of the file not yet sent.
    qsizetype pendingBytes() const { return m_txData.size(); }

signals:
    void progressChanged();
    void finished(tarveon::UploadOutcome outcome);

private:
    enum class Phase { Idle, Announced, Sending };
    void BeginTransfer();
    void SendNextBlock();
    void EndTransfer();
    void reset();
    void finish(UploadOutcome outcome, const char *key, bool sent = false);
    QString text(const char *key) const;

    AppContext &m_ctx;
    UploadChannel &m_channel;
    Phase m_phase = Phase::Idle;
    UploadProgress m_progress;
    QByteArray m_txData;
    qint32 m_txPos = 1;
    int m_timeoutTicks = 0;
};

} // namespace tarveon
