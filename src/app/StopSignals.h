#pragma once
#include <QObject>

class QSocketNotifier;

namespace tarveon {

// Turns the signals that ask a command-line program to stop (SIGINT, SIGTERM) into a Qt signal on
// the event loop, so that the program can finish its work (reports off, port closed) and say why
// it stops. One object per program; the handlers stay installed while it lives.
class StopSignals : public QObject {
    Q_OBJECT
public:
    explicit StopSignals(QObject *parent = nullptr);
    ~StopSignals() override;

    // "SIGINT", "SIGTERM" or "signal N".
    static QString signalName(int signalNumber);

signals:
    void stopRequested(int signalNumber);

private:
    QSocketNotifier *m_notifier = nullptr;
};

} // namespace tarveon
