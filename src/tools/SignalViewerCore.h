#pragma once
#include "editor/SignalColumns.h"
#include "editor/SignalTableModel.h"
#include "model/DatapointTypes.h"

#include <QObject>
#include <QString>
#include <QTimer>
#include <QPair>
#include <QVector>
#include <functional>
#include <optional>
#include <utility>

namespace tarveon {

class AppContext;
class LinkCommands;
struct LinkSignal;
struct LinkTables;

// The general text form of a single-precision value, as the grid shows it: up to seven
// significant digits, no fixed decimals, no thousands separator, "." as decimal point; whole
// numbers of up to eight digits in full, an exponent only beyond them or for very small values
// (21.5 -> "21.5", 12345678 -> "12345678", 1e+08 -> "1E+08", 1e-05 -> "1E-05").
QString singleToText(float value);
// Replaces the first "," of text by "." and leaves the rest alone.
QString firstCommaToPoint(const QString &text);
// The pattern "#.00": two decimals, no digit before the point below 1 (0.5 -> ".50",
// 21.5 -> "21.50", 0 -> ".00", -0.25 -> "-.25"), "." as decimal point.
QString formatHashDot00(float value);

// What the "Write value" dialog offers for a signal: its choices from the catalogue (On/Off, the
// mode and fan names) or, without choices, a number field with the signal's limits.
struct WriteChoices {
    QString title;                        // the signal's description (field 3)
    QString prompt;                       // "Grupo EIB:" & address & "   EIS:" & type
    QVector<QPair<int, QString>> options; // value and its text ("1 Cool"); empty: a number field
    RangeText range;                      // limits and unit of a number field
    float current = 0.0f;
};

// What the signal viewer fVerDatosZDM does, without the window: the grid over the link-side
// signal table, the display refresh of the rows in view, the polling cycle, the writing of one
// value and the copy. The two timers live here; tests call their ticks directly.
class SignalViewerCore : public QObject {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 1000; // Timer1
    static constexpr int kPollMs = 50;      // Timer2

    SignalViewerCore(AppContext &ctx, LinkCommands *link, QObject *parent = nullptr);

    void setLink(LinkCommands *link) { m_link = link; }
    LinkCommands *link() const { return m_link; }
    SignalTableModel &grid() { return m_grid; }
    const SignalTableModel &grid() const { return m_grid; }
    // The column descriptors of the last build (the viewer uses their Help texts).
    const ColumnInfos &columns() const { return m_grid.columnInfos(); }

    // Rebuilds the grid from the link-side table: header, one row per entry in use (entry index
    // as row data, running number in column 0, fields 1 to 10). A row that cannot be filled
    // completely is reported with "X13" and the build goes on. Timer1 is stopped meanwhile.
    void Datos_Carga();
    // Rows (table rows) currently in view; the window sets it. Unset: every data row.
    std::function<std::pair<int, int>()> visibleRows;
    // Display refresh: column 11 of the rows first..last from the entries' values.
    void refreshRows(int first, int last);
    // Timer1 tick: refresh of the rows in view.
    void Timer1_Timer();

    // cmdRefrescar: stops a running cycle, or starts one from entry 1 when the table has
    // entries and the link is on line.
    void cmdRefrescar_Click();
    bool polling() const { return Timer2.isActive(); }
    // cmdRefrescar's caption: "Stop" while polling, else text "X17".
    QString refreshCaption() const;
    qint32 pollIndex() const { return m_pollIndex; }
    // Timer2 tick: requests the entry at the poll index; stops at the end of the table or when
    // the link is no longer on line (then nothing is sent), and when the table shrank under it.
    void Timer2_Timer();
    void stopPolling();

    // Double click on a grid row (table row): asks for a value and writes it to the gateway.
    void writeValue(int row);
    // Stores value as the row's entry's value and sends "GP:" & address & "=" & value (two
    // decimals), as the double click does.
    void sendValue(int row, float value);
    // The meaning of the row's value beside its number: "Cool", "On", "°C", "%"; empty when the
    // signal's type says nothing more than the number.
    QString valueMeaning(int row) const;
    // The widest value with its meaning the grid's signals can show ("4 Ventilación"), for the
    // Value column's width; empty when no signal has meanings.
    QString widestMeaningText() const;
    // The "Write value" choices of the row's signal; nothing for rows without an entry.
    std::optional<WriteChoices> writeChoices(int row) const;

    // cmdCopy: the whole grid, header and column 0 included, values brought up to date first;
    // each cell followed by TAB, each row by CR LF. Empty when the grid has fewer than 2 rows.
    QString copyText();

    // The entry shown in a table row (0 when none).
    int entryOfRow(int row) const;

    QTimer Timer1; // display refresh, 1000 ms, from the end of every build
    QTimer Timer2; // polling, 50 ms, during a cycle

signals:
    // The polling cycle started or stopped (cmdRefrescar's caption changes).
    void pollingChanged(bool polling);

private:
    // The link's tables and state; without a link, empty and off line.
    const LinkTables &linkTables() const;
    bool onLine() const;
    // The datapoint type and catalogue range of an entry's signal.
    std::pair<Dpt, RangeText> signalType(const LinkSignal &entry) const;

    AppContext &m_ctx;
    LinkCommands *m_link;
    SignalTableModel m_grid;
    qint32 m_pollIndex = 1;
};

} // namespace tarveon
