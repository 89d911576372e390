#pragma once
#include "editor/SignalColumns.h"
#include "model/SignalTable.h"

#include <QString>
#include <QVector>
#include <span>

namespace tarveon {

class AppContext;
class SignalTableModel;
struct ProjectSettings;

// The two kinds of machine a project addresses. Protocol 70 means indoor units; every other
// protocol number is treated as chillers.
enum class MachineType { IndoorUnits, Chillers };

MachineType MachineTypeOf(int protocolCode);

// Fixed facts of a machine type.
struct MachineTypeInfo {
    int protocolCode;           // 70 or 71
    const char *protocolName;   // "ZTR001-PACKAGED", "ZTR001-CHILLER"
    const char *deviceLabel;    // "Unit " / "Chiller ", followed by the device number in the device list
    const char *deviceListCaption; // "Units" / "Chillers"
    int maxDevices;             // 160 / 8
    int rowsPerDevice;          // 39 / 17
};
const MachineTypeInfo &InfoOf(MachineType type);

// Rows of a table with `devices` devices: the header, the controller status row and the blocks.
int TableRowCount(MachineType type, int devices);

enum class RowClass : quint8 {
    Status,     // codes 100 (controller status, first device only) and 101 (device status)
    Ordinary,
    GroupHead,  // carries bit or step rows directly below it
    Bit,        // one bit of the group head's value
    Step,       // write-only step command (+/-)
};

// One signal of a machine type, in table order. Texts are language keys; a null key stands
// for the empty text. A caption is the code ("100-"/"101-" on status rows, else two digits and
// " - "), the text of captionKey and captionSuffix.
struct CatalogueEntry {
    qint16 code;
    RowClass rowClass;
    qint8 legendItem;        // item of the code legend that holds the caption; -1: composed directly
    qint8 legendSubItem;     // sub-item under legendItem; -1: the item itself
    const char *captionKey;
    const char *captionSuffix;
    const char *descKey;
    const char *descSuffix;
    const char *rangeKey;    // range text of ordinary rows: the text of rangeKey, else rangeLiteral
    const char *rangeLiteral;
    const char *access;      // null: the access text of the row before is kept
    qint8 eis;
    const char *flags[4];    // default texts of columns 7 to 10 (R, W, T, U)
    qint8 bitRows;           // bit or step rows directly below a group head
};

// The catalogue of a machine type, in table order (controller status row first).
std::span<const CatalogueEntry> Catalogue(MachineType type);
// The entry of a code, or null.
const CatalogueEntry *FindEntry(MachineType type, int code);

// Codes whose W and U flags are cleared by the flag rules.
bool IsReadOnlyCode(MachineType type, int code);
// Write-only step codes whose R and T flags are cleared by the flag rules.
bool IsStepCode(MachineType type, int code);
// Bit (or step) rows shown and hidden with the group head of `code`; 0 for other codes.
int BitRowCount(MachineType type, int code);
// The bit and step signals of the group head of `code` (the entries after it in table order);
// empty for other codes.
std::span<const CatalogueEntry> BitEntries(MachineType type, int code);

// Row backgrounds (0xFFRRGGBB).
constexpr quint32 kStatusRowColour = 0xFFC0FFFFu; // RGB(192, 255, 255), columns 1 to 11
constexpr quint32 kGroupHeadColour = 0xFFFFE0C0u; // RGB(255, 224, 192), code cell
constexpr quint32 kBitRowColour = 0xFFFFFFC0u;    // RGB(255, 255, 192), code cell
constexpr quint16 kStatusColumnsMask = 0x0FFE;    // columns 1 to 11
constexpr quint16 kCodeColumnMask = 0x0004;       // column 2

// An item of a pop-up legend: the code legend over column 2, the EIS legend over column 4.
struct LegendItem {
    QString caption;
    qint16 code = -1;        // the signal code (code legend) or EIS number (EIS legend); -1: none
    bool hidden = false;
    QVector<LegendItem> subItems;
};

// The code legend of a machine type: item 0 the show-bits entry (sub-items "this group" and
// "all groups"), item 1 a separator, both hidden until the legend pops up over a group head;
// items 2 and 3 the status codes; items 4 to 21 the ordinary codes with their bit and step codes
// as sub-items of the group heads.
struct CodeLegend {
    MachineType type = MachineType::IndoorUnits;
    QVector<LegendItem> items;

    // The caption of a catalogue entry as the legend holds it (stand-alone step rows have no item:
    // their caption is composed).
    QString captionOf(const AppContext &ctx, const CatalogueEntry &entry) const;
};

constexpr int kLegendShowBitsItem = 0;
constexpr int kLegendSeparatorItem = 1;

CodeLegend BuildCodeLegend(const AppContext &ctx, MachineType type);
// Items 0 to 15: item e holds the caption of EIS e; item 0 and EIS 3, 4, 12, 13 and 15 are hidden.
QVector<LegendItem> BuildEisLegend();

// The caption of a catalogue entry composed from its keys (what the legend holds).
QString ComposeCaption(const AppContext &ctx, const CatalogueEntry &entry);

// The key of a row: device number, "-", signal code (device 3, code 101: "3-101").
QString RowKey(int device, int code);
// The row registered for device and code, or -1.
int FindRow(const SignalTable &table, int device, int code);

// The signal table of `deviceCount` devices of the legend's machine type, freshly built from
// the catalogue: headers, formats, rows, marks, colours and row keys. `columns` is re-created
// with the descriptors of the table. deviceCount 0 gives the header and one empty row.
SignalTable BuildSignalTable(const AppContext &ctx, const CodeLegend &legend, int deviceCount,
                             ColumnInfos &columns);

// The editor's table builders: the table of the project's devices put into the grid with its
// column descriptors, with GridBusy raised meanwhile. A legend of the other machine type is
// replaced by the right one.
void BuildUnitTable(AppContext &ctx, const ProjectSettings &settings, const CodeLegend &legend,
                    SignalTableModel &grid);
void BuildChillerTable(AppContext &ctx, const ProjectSettings &settings, const CodeLegend &legend,
                       SignalTableModel &grid);

} // namespace tarveon
