#pragma once
#include "app/Fault.h"
#include "model/SignalTable.h"

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace tarveon {

class AppContext;

// The signal table as stored in the project's ".dat" file, indexed (row, field) like the file:
// rows 1..rowCount() are the lines after the header row, fields 1..fieldCount-1 the cells after
// the running number (field 0 is not kept). Fields a line did not have read as empty texts.
// The decoded text is held once; rows keep only the bounds of their fields, so reading a large
// table costs a handful of allocations.
class StoredSignalTable {
public:
    int fieldCount = 0; // the number after "CAMPOS=" (may be 0 or negative in a bad file)

    int rowCount() const { return int(m_rowStart.size()) - 1; }
    bool hasField(int f) const { return f >= 1 && f < fieldCount; }
    // Field f of row r; empty when the row or the field does not exist.
    QStringView fieldView(int r, int f) const
    {
        if (r < 1 || r > rowCount() || !hasField(f))
            return {};
        const qsizetype i = m_rowStart[r - 1] + (f - 1);
        if (i >= m_rowStart[r])
            return {};
        return QStringView(m_text).mid(m_bounds[i].first, m_bounds[i].second);
    }
    QString field(int r, int f) const { return fieldView(r, f).toString(); }
    // How many fields (from field 1 on) row r holds; fields beyond fieldCount - 1 are never held.
    int heldFields(int r) const
    {
        return (r < 1 || r > rowCount()) ? 0 : int(m_rowStart[r] - m_rowStart[r - 1]);
    }
    void clear()
    {
        fieldCount = 0;
        m_text.clear();
        m_bounds.clear();
        m_rowStart = {0};
    }

private:
    friend struct SignalTableParser;
    QString m_text;                                   // the decoded file
    QVector<QPair<qsizetype, qsizetype>> m_bounds;    // start and length of every held field
    QVector<qsizetype> m_rowStart{0};                 // row r holds m_bounds[m_rowStart[r-1] .. m_rowStart[r])
};

// "ZTR001-PACKAGED.dat" for protocol 70: the file name the writer gives the table.
QString SignalTableFileName(const AppContext &ctx, qint16 protocolCode);

// The bytes of the stored table: "PROTOCOLO=<code>-<NAME>", "VERSION=ZDM.<version>",
// "CAMPOS=12", then every row of the grid (row 0, the headers, first) as its twelve cells, each
// without leading and trailing blanks and followed by a TAB; lines end in CR LF; Windows-1252.
// A TAB, CR or LF inside a cell is written as a blank so that the row keeps its shape.
QByteArray SignalTableBytes(qint16 protocolCode, const QString &protocolName, const QString &version,
                            const SignalTable &grid);

// Writes the grid to ProjectDir / SignalTableFileName (replacing the project's table file whatever
// the case of its extension) through ctx.saveDevice. The old file is replaced only by a complete
// new one. Nothing when saved; else the notice "X68" (cannot create) or "X40" (cannot write) with
// the path and the system's error.
std::optional<Fault> WriteSignalTable(const AppContext &ctx, qint16 protocolCode, const QString &version,
                                      const SignalTable &grid);

// Why a table file's text was refused.
enum class SignalTableFault {
    None,
    Protocol, // line 1 does not name "<code>-<NAME>"
    Version,  // line 2 lacks "ZDM.<version>" or line 3 lacks "CAMPOS="
};

struct SignalTableParse {
    SignalTableFault fault = SignalTableFault::None;
    QString lineRead; // the refused header line (empty when the file ended before it)
};

// Reads the text of a table file (bytes as stored) into `table` (which is cleared first).
// Lines may end in CR LF, LF or CR. ReadSignalTable adds the messages.
SignalTableParse ParseSignalTable(const QByteArray &bytes, qint16 protocolCode, const QString &protocolName,
                                  const QString &version, StoredSignalTable &table);

// Reads ProjectDir / <protocol name>.DAT (any case of the extension) into `table`. Nothing when
// read; else the platform box of the fault ("X67" not found, "X30" cannot open, "X28" wrong
// protocol, "X45" wrong version or layout), the table left empty.
std::optional<Fault> ReadSignalTable(const AppContext &ctx, qint16 protocolCode, const QString &version,
                                     StoredSignalTable &table);

// Lays the stored rows on a freshly built table: each stored row is placed by its key
// "<field 1>-<leading number of field 2>" (SignalTable::rowKeys); a row without a match is skipped
// silently. A matched row takes the address cells 5 and 6 as stored, the flags 7..10 trimmed, and
// in cell 11 text "X9" (stored 0) or "X10" (stored 1). A matched row that cannot be applied (its
// yes/no number is neither 0 nor 1, or the file has fewer fields than the table has columns) adds
// the notice "X13" to `faults` and is left unchanged. Returns the number of rows applied.
int ApplyStoredRows(const AppContext &ctx, const StoredSignalTable &stored, SignalTable &table, Faults &faults);

// ReadSignalTable (version "1.0") then ApplyStoredRows. The messages to show: the read's fault
// (the table left as built) or the rows' "X13" notices.
Faults ApplyStoredTable(const AppContext &ctx, qint16 protocolCode, SignalTable &table);

} // namespace tarveon
