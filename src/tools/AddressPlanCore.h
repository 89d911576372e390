#pragma once
#include "editor/CellEdit.h"
#include "editor/GridController.h"
#include "tools/AddressBook.h"

#include <QPair>
#include <QString>
#include <QStringList>
#include <QVector>
#include <optional>

namespace tarveon {

class AppContext;
class EditorSession;

// The level of a group address that a series or a plan steps.
enum class StepLevel { Sub, Middle, Main };

// A group address moved by `by` at one level, the other levels kept: nothing when that level
// leaves its range (main 0..15, middle 0..7, sub 0..255). `text` gets the address as it would
// read ("1/0/256") either way.
std::optional<qint16> ShiftGroup(qint16 value, StepLevel level, int by, QString *text = nullptr);

// "Fill addresses…": a series of group addresses into column 5.
struct FillRequest {
    bool selection = true; // the selected rows; else the rows of `code` on devices first..last
    int code = 0;
    int firstDevice = 1;
    int lastDevice = 1;
    QString start;
    StepLevel level = StepLevel::Sub;
    int step = 1;        // per row, in the order of the rows
    bool setUse = false; // Use "1 - Yes" and the signal's default flags
};

// "Apply plan of unit N to…": device `source`'s addresses, flags and Use on devices first..last,
// its own addresses moved by (device - source) * step at `level`.
struct ApplyPlanRequest {
    int source = 1;
    int firstDevice = 2;
    int lastDevice = 2;
    StepLevel level = StepLevel::Sub;
    int step = 1;
    bool shiftFurther = false; // the further addresses move too (else they are copied)
};

// What a fill or a plan would write, or why it is refused (a message; empty when it may be done).
struct PlanResult {
    QVector<CellWrite> writes;
    QString fault;
    QString first; // the first and the last own address written
    QString last;
    int rows = 0;
};

// The widget-free logic behind the address tools of the editor: fill and apply-plan, the
// spreadsheet round trip, the project's ETS address book (offered while an address is typed,
// consulted on OK) and the KNX hints of the help line and the EIS column. Every change goes
// through the grid controller as one action.
class AddressPlanCore {
public:
    AddressPlanCore(AppContext &ctx, EditorSession &session);

    PlanResult planFill(const FillRequest &request) const;
    PlanResult planApply(const ApplyPlanRequest &request) const;
    // "Preview: 1/0/1 … 1/0/160 (160 rows)", or the fault.
    QString previewText(const PlanResult &result) const;
    // The fill or plan done as one action; refused with its message, changing nothing.
    bool fill(const FillRequest &request);
    bool applyPlan(const ApplyPlanRequest &request);
    // "Apply plan of unit 12 to…" (the menu entry), "Apply plan of unit 12" (the title).
    QString applyPlanCaption(int source, bool entry = true) const;
    // The signals a fill may name: code and caption, in catalogue order (without the controller
    // status, which only the first device has).
    QVector<QPair<int, QString>> signalCodes() const;

    // The spreadsheet round trip. Export writes the file whole or not at all; import takes what it
    // can place as one action and reports the rest. Both show their outcome.
    bool exportCsv(const QString &path);
    bool importCsv(const QString &path);

    // The ETS address book of the project: the kept copy read when the editor opens, a new export
    // taken in (and kept) by "Group addresses from ETS…".
    const AddressBook &book() const { return m_book; }
    void loadBook();
    bool importEts(const QString &path);
    // "1/3/1 Room 101 Setpoint · 9.001" for the addresses that start with the typed text or whose
    // name holds it.
    QStringList completions(const QString &typed) const;
    // The accept's warnings: the used rows whose address the book types otherwise.
    QStringList typeWarnings() const;

    // The help line of a cell: its column's help, the datapoint type in the EIS column, the
    // device and the signal.
    QString helpText(const GridCell &cell) const;
    // "DPT 9.001 temperature (°C)" of a row's signal; empty for rows without a signal.
    QString datapointText(int row) const;

private:
    // The first row of `writes` whose address another row in use has after them, as a message.
    QString clashFault(const QVector<CellWrite> &writes) const;
    QString rangeFault(int row, const QString &address) const;
    int deviceOf(int row) const;
    bool finish(const PlanResult &result);

    AppContext &m_ctx;
    EditorSession &m_session;
    AddressBook m_book;
};

} // namespace tarveon
