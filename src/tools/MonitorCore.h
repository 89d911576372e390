#pragma once
#include "tools/MonitorLines.h"

#include <QObject>
#include <QString>
#include <memory>

class QFile;

namespace tarveon {

class AppContext;
class LinkCommands;
class TelegramLog;

// The three monitor windows: EIB bus (fTestEIB), controller-side bus (fTestExterno) and the
// gateway's console exchange (fTestTarveonZDM).
enum class MonitorKind { Eib, External, Gateway };

// Markers written when a log starts and stops; they go through VerTramas like any line.
inline const QString kLogStartMarker = QStringLiteral("********************* START REGISTER *********************");
inline const QString kLogStopMarker = QStringLiteral("********************* STOP REGISTER *********************");

// Direction marks of the gateway monitor.
inline const QString kMarkReceived = QStringLiteral(">");
inline const QString kMarkSent = QStringLiteral("<");

// What a monitor window does with its lines, without the window: the line transformation and
// guard of each kind, the bounded list, the log file, the traffic report switches, and two
// conveniences of the window (a text filter and a pause). The window shows lines() and forwards
// its controls here.
class MonitorCore : public QObject {
    Q_OBJECT
public:
    static constexpr int kMaxLines = 500;

    // link may be null (no link yet): then no report is switched and the monitor keeps its own
    // "Show bus" state.
    MonitorCore(AppContext &ctx, MonitorKind kind, LinkCommands *link, QObject *parent = nullptr);
    // An open log file is closed with its stop marker (the list is left alone).
    ~MonitorCore() override;

    MonitorKind kind() const { return m_kind; }
    void setLink(LinkCommands *link) { m_link = link; }
    // The session's telegram log: the EIB monitor records its traffic lines there and the
    // gateway monitor its "GP:" reports; both show the decoded text beside each line. May be null.
    void setTelegrams(TelegramLog *log) { m_telegrams = log; }
    TelegramLog *telegrams() const { return m_telegrams; }

    // The window loads: flags and, for the bus monitors, the traffic report on.
    void load();
    // The window closes: bus monitors switch their report off; the log stops; flags cleared.
    void unload();
    bool loaded() const { return m_loaded; }

    // Displays one line. trama: the line; N: the direction mark (gateway monitor only).
    void VerTramas(const QString &trama, const QString &N = QString());
    // The text a line shows as: the bus monitors drop the first four characters, the gateway
    // monitor puts the mark first.
    QString shownText(const QString &trama, const QString &N = QString()) const;

    // chkBus clicked.
    void chkBus_Click(bool checked);
    // chkLog checked: opens the log file and writes the start marker. Returns whether chkLog
    // stays checked (the gateway monitor gives it up when there is no project or no file).
    bool startLog();
    // chkLog unchecked: the stop marker, then the file is closed.
    void stopLog();
    bool logging() const { return bool(m_log); }
    // The window's log file in the open project; empty when no project is open.
    QString logFileName() const;

    // chkUltimo: keep the newest line selected.
    bool showLast() const { return m_showLast; }
    void setShowLast(bool on) { m_showLast = on; }

    // cmdClear.
    void clear();

    // Only lines containing this text (case-insensitive, in the line or its decoded text) are listed; empty lists every line.
    // The log file receives every line whatever the filter.
    void setFilter(const QString &text);
    // While paused the list stays as it is; lines still reach the log file and are kept aside,
    // so the list shows the newest lines again when the pause ends.
    void setPaused(bool paused);

    // The list as shown.
    MonitorLines &lines() { return m_shown; }
    const MonitorLines &lines() const { return m_shown; }
    // Every text of the list followed by CR LF (the copy to the clipboard).
    QString allText() const;

signals:
    // Step 1 of VerTramas: the window must be visible.
    void showRequested();
    // A line was added to the list (the window selects the newest when showLast()).
    void lineAdded();
    // The log file was closed because the project it belongs to is no longer open.
    void logAbandoned();

private:
    // The link's side of a bus monitor ("INT" or "EXT") and whether its report counts as on.
    QString busSide() const;
    bool busShown() const;
    bool guardPasses() const;
    bool matches(const MonitorLine &line) const;
    QString decode(const QString &trama, const QString &N);
    void rebuildShown();
    void writeLog(const QString &text);
    QByteArray timeStamp();

    AppContext &m_ctx;
    MonitorKind m_kind;
    LinkCommands *m_link;
    TelegramLog *m_telegrams = nullptr;
    bool m_loaded = false;
    bool m_busShownWithoutLink = false;
    bool m_showLast = true;
    bool m_paused = false;
    QString m_filter;
    LineRing m_all;       // every line that passed the guard, bounded like the list
    MonitorLines m_shown; // lstTramas
    std::unique_ptr<QFile> m_log;
    QString m_logProject; // the project directory the log file belongs to
    qint64 m_stampSecond = -1;
    QByteArray m_stamp;
};

} // namespace tarveon
