#pragma once
#include <QByteArray>
#include <QProcess>
#include <QString>
#include <QStringList>
#include <functional>

namespace tarveon::test {

// A pseudo-terminal pair for tests that play the gateway themselves: the tool opens
// devicePath(); the test writes the gateway's bytes and reads the tool's from the master side.
// Both sides are raw, and the test keeps the far end open so the tool can close and reopen.
class PtyPair {
public:
    PtyPair();
    ~PtyPair();
    PtyPair(const PtyPair &) = delete;
    PtyPair &operator=(const PtyPair &) = delete;

    bool isValid() const { return m_master >= 0; }
    QString devicePath() const { return m_path; }

    // Writes bytes as the gateway (exactly these bytes, in one write).
    void write(const QByteArray &bytes);
    // Reads what the tool sent, processing events meanwhile, until `done(all read so far)` holds
    // or timeoutMs passes. Returns everything read by this call.
    QByteArray readUntil(const std::function<bool(const QByteArray &)> &done, int timeoutMs = 3000);
    // Everything the tool sent within waitMs.
    QByteArray readFor(int waitMs);
    // Closes both ends: the tool sees its port vanish.
    void hangUp();

private:
    QByteArray readNow();
    int m_master = -1;
    int m_slave = -1;
    QString m_path;
};

// tarveon-sim started for one test, killed with it.
class SimProcess {
public:
    ~SimProcess();
    // Starts the simulator with extra options; false when it did not print its device.
    bool start(const QStringList &options = {});
    QString devicePath() const { return m_path; }
    bool isRunning() const { return m_process.state() != QProcess::NotRunning; }
    // Waits (processing events) until the simulator has exited.
    bool waitForExit(int timeoutMs = 3000);
    void stop();
    static QString program();

private:
    QProcess m_process;
    QString m_path;
};

// Processes events until pred() holds or timeoutMs passes; returns pred().
bool waitFor(const std::function<bool()> &pred, int timeoutMs = 3000);

} // namespace tarveon::test
