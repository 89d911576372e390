#include "editor/SignalCatalogue.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "editor/SignalColumns.h"
#include "editor/SignalTableModel.h"
#include "model/GroupAddress.h"
#include "model/ProjectSettings.h"

#include <algorithm>
#include <iterator>

namespace tarveon {

namespace {

using RC = RowClass;
constexpr const char *N = nullptr;
constexpr const char *R = "R";
constexpr const char *W = "W";
constexpr const char *T = "T";
constexpr const char *E = ""; // flag not set

// One machine's block, in table order. Columns: code, class, legend item, sub-item,
// caption key + suffix, description key + suffix, range key / literal, access, EIS, R W T U, bit rows.
constexpr CatalogueEntry kUnitCatalogue[] = {
    {100, RC::Status, 2, -1, "X33", N, "H1", " TR-BAS-HUB", "H28", N, "R", 1, {R, E, T, E}, 0},
    {101, RC::Status, 3, -1, N, "Not Exist", "H1", " Unit", "H28", N, "R", 1, {R, E, T, E}, 0},
    {0, RC::Ordinary, 4, -1, "H32", N, "H2", N, "H3", N, "R/W", 1, {R, W, T, E}, 0},
    {1, RC::GroupHead, 5, -1, "H33", N, "H4", N, "H5", N, "R/W", 14, {R, W, T, E}, 6},
    {18, RC::Bit, 5, 0, "H50", " (0)", "H50", N, N, N, N, 1, {R, W, T, E}, 0},
    {19, RC::Bit, 5, 1, "H51", " (1)", "H51", N, N, N, N, 1, {R, W, T, E}, 0},
    {20, RC::Bit, 5, 2, "H52", " (2)", "H52", N, N, N, N, 1, {R, W, T, E}, 0},
    {21, RC::Bit, 5, 3, "H53", " (3)", "H53", N, N, N, N, 1, {R, W, T, E}, 0},
    {22, RC::Bit, 5, 4, "H54", " (4)", "H54", N, N, N, N, 1, {R, W, T, E}, 0},
    {23, RC::Step, 5, 5, "H55", " (+/-)", "H55", " 1+/0-", N, N, "W", 1, {E, W, E, E}, 0},
    {2, RC::GroupHead, 6, -1, "H34", N, "H6", N, "H7", N, "R/W", 14, {R, W, T, E}, 4},
    {24, RC::Bit, 6, 0, "H56", " (0)", "H56", N, N, N, N, 1, {R, W, T, E}, 0},
    {25, RC::Bit, 6, 1, "H57", " (1)", "H57", N, N, N, N, 1, {R, W, T, E}, 0},
    {26, RC::Bit, 6, 2, "H58", " (2)", "H58", N, N, N, N, 1, {R, W, T, E}, 0},
    {27, RC::Step, 6, 3, "H55", " (+/-)", "H55", " 1+/0-", N, N, "W", 1, {E, W, E, E}, 0},
    {3, RC::GroupHead, 7, -1, "H35", N, "H8", N, N, "17..30 \u00BAC", "R/W", 5, {R, W, T, E}, 1},
    {37, RC::Step, -1, -1, "H55", " 1+/0-", "H55", " 1+/0-", N, N, "W", 1, {E, W, E, E}, 0},
    {4, RC::GroupHead, 8, -1, "H36", N, "H9", N, N, "0..7, 8-Auto", "R/W", 14, {R, W, T, E}, 1},
    {28, RC::Step, 8, 0, "H55", " (+/-)", "H55", " 1+/0-", N, N, "W", 1, {E, W, E, E}, 0},
    {5, RC::GroupHead, 9, -1, "H37", N, "H10", N, "H11", N, "R/W", 14, {R, W, T, E}, 4},
    {29, RC::Bit, 9, 0, "H59", " (0)", "H59", N, N, N, N, 1, {R, W, T, E}, 0},
    {30, RC::Bit, 9, 1, "H60", " (1)", "H60", N, N, N, N, 1, {R, W, T, E}, 0},
    {31, RC::Bit, 9, 2, "H61", " (2)", "H61", N, N, N, N, 1, {R, W, T, E}, 0},
    {32, RC::Bit, 9, 3, "H62", " (3)", "H62", N, N, N, N, 1, {R, W, T, E}, 0},
    {6, RC::Ordinary, 10, -1, "H38", N, "H12", N, N, "0..255", "R", 14, {R, E, T, E}, 0},
    {7, RC::Ordinary, 11, -1, "H39", N, "H13", N, "H26", N, "R", 5, {R, E, T, E}, 0},
    {8, RC::Ordinary, 12, -1, "H40", N, "H14", N, "H26", N, "R", 5, {R, E, T, E}, 0},
    {9, RC::Ordinary, 13, -1, "H41", N, "H15", N, "H26", N, "R", 5, {R, E, T, E}, 0},
    {10, RC::Ordinary, 14, -1, "H42", N, "H16", N, "H26", N, "R", 5, {R, E, T, E}, 0},
    {11, RC::Ordinary, 15, -1, "H43", N, "H17", N, N, "0..100", "R", 14, {R, E, T, E}, 0},
    {12, RC::Ordinary, 16, -1, "H44", N, "H18", N, N, "0..200", "R", 14, {R, E, T, E}, 0},
    {13, RC::Ordinary, 17, -1, "H45", N, "H19", N, N, "0..100%", "R", 6, {R, E, T, E}, 0},
    {14, RC::GroupHead, 18, -1, "H46", N, "H20", N, "H27", N, "R", 14, {R, E, T, E}, 4},
    {33, RC::Bit, 18, 0, "H63", " (0)", "H63", N, N, N, N, 1, {R, E, T, E}, 0},
    {34, RC::Bit, 18, 1, "H64", " (1)", "H64", N, N, N, N, 1, {R, E, T, E}, 0},
    {35, RC::Bit, 18, 2, "H65", " (2)", "H65", N, N, N, N, 1, {R, E, T, E}, 0},
    {36, RC::Bit, 18, 3, "H66", " (3)", "H66", N, N, N, N, 1, {R, E, T, E}, 0},
    {15, RC::Ordinary, 19, -1, "H47", N, "H21", N, "H24", N, "R", 1, {R, E, T, E}, 0},
    {16, RC::Ordinary, 20, -1, "H48", N, "H22", N, "H26", N, "R", 5, {R, E, T, E}, 0},
    {17, RC::Ordinary, 21, -1, "H49", N, "H23", N, "H25", N, "R/W", 1, {R, W, T, E}, 0},
};

// The chiller's codes sit in the legend items of the indoor-unit codes it takes the place of.
constexpr CatalogueEntry kChillerCatalogue[] = {
    {100, RC::Status, 2, -1, "X33", N, "H1", " TR-BAS-HUB", "H28", N, "R", 1, {R, E, T, E}, 0},
    {101, RC::Status, 3, -1, N, "Not Exist", "H1", " Unit", "H28", N, "R", 1, {R, E, T, E}, 0},
    {0, RC::Ordinary, 4, -1, "H32", N, "H2", N, "H3", N, "R/W", 1, {R, W, T, E}, 0},
    {1, RC::Ordinary, 7, -1, "H33", N, "H4", N, "H29", N, "R/W", 14, {R, W, T, E}, 0},
    {2, RC::GroupHead, 10, -1, "H35", N, "H8", N, "H26", N, "R/W", 5, {R, W, T, E}, 1},
    {15, RC::Step, -1, -1, "H55", " 1+/0-", "H55", " 1+/0-", N, N, "W", 1, {E, W, E, E}, 0},
    {3, RC::Ordinary, 11, -1, "H37", N, "H30", N, "H31", N, "R", 14, {R, E, T, E}, 0},
    {4, RC::Ordinary, 12, -1, "H39", N, "H13", N, "H26", N, "R", 5, {R, E, T, E}, 0},
    {5, RC::Ordinary, 13, -1, "H40", N, "H14", N, "H26", N, "R", 5, {R, E, T, E}, 0},
    {6, RC::Ordinary, 16, -1, "H43", N, "H17", N, N, "0..100", "R", 14, {R, E, T, E}, 0},
    {7, RC::GroupHead, 18, -1, "H46", N, "H20", N, "H27", N, "R", 14, {R, E, T, E}, 4},
    {11, RC::Bit, 18, 0, "H63", " (0)", "H63", N, N, N, N, 1, {R, E, T, E}, 0},
    {12, RC::Bit, 18, 1, "H64", " (1)", "H64", N, N, N, N, 1, {R, E, T, E}, 0},
    {13, RC::Bit, 18, 2, "H65", " (2)", "H65", N, N, N, N, 1, {R, E, T, E}, 0},
    {14, RC::Bit, 18, 3, "H66", " (3)", "H66", N, N, N, N, 1, {R, E, T, E}, 0},
    {8, RC::Ordinary, 19, -1, "H47", N, "H21", N, "H24", N, "R", 1, {R, E, T, E}, 0},
    {9, RC::Ordinary, 20, -1, "H48", N, "H22", N, "H26", N, "R", 5, {R, E, T, E}, 0},
    {10, RC::Ordinary, 21, -1, "H49", N, "H23", N, "H25", N, "R/W", 1, {R, W, T, E}, 0},
};

// Legend items the chillers do not use.
constexpr int kChillerHiddenItems[] = {5, 6, 8, 9, 14, 15, 17};

constexpr MachineTypeInfo kUnitInfo{70, "ZTR001-PACKAGED", "Unit ", "Units", 160, 39};
constexpr MachineTypeInfo kChillerInfo{71, "ZTR001-CHILLER", "Chiller ", "Chillers", 8, 17};

constexpr int kEisHidden[] = {3, 4, 12, 13, 15};

QString textOf(const AppContext &ctx, const char *key)
{
    return key ? ctx.GetText(QLatin1String(key)) : QString();
}

QString literal(const char *text)
{
    return text ? QString::fromUtf8(text) : QString();
}

bool isBitOrStep(RowClass c)
{
    return c == RowClass::Bit || c == RowClass::Step;
}

} // namespace

MachineType MachineTypeOf(int protocolCode)
{
    return protocol::isIndoorUnits(protocolCode) ? MachineType::IndoorUnits : MachineType::Chillers;
}

const MachineTypeInfo &InfoOf(MachineType type)
{
    return type == MachineType::IndoorUnits ? kUnitInfo : kChillerInfo;
}

int TableRowCount(MachineType type, int devices)
{
    return 2 + InfoOf(type).rowsPerDevice * qMax(0, devices);
}

std::span<const CatalogueEntry> Catalogue(MachineType type)
{
    if (type == MachineType::IndoorUnits)
        return kUnitCatalogue;
    return kChillerCatalogue;
}

const CatalogueEntry *FindEntry(MachineType type, int code)
{
    for (const CatalogueEntry &e : Catalogue(type)) {
        if (e.code == code)
            return &e;
    }
    return nullptr;
}

bool IsReadOnlyCode(MachineType type, int code)
{
    if (code >= 100)
        return true;
    if (type == MachineType::IndoorUnits)
        return (code >= 6 && code <= 16) || (code >= 33 && code <= 36);
    return (code >= 3 && code <= 9) || (code >= 11 && code <= 14);
}

bool IsStepCode(MachineType type, int code)
{
    if (type == MachineType::IndoorUnits)
        return code == 23 || code == 27 || code == 28 || code == 37;
    return code == 15;
}

int BitRowCount(MachineType type, int code)
{
    const CatalogueEntry *e = FindEntry(type, code);
    return e ? e->bitRows : 0;
}

std::span<const CatalogueEntry> BitEntries(MachineType type, int code)
{
    const std::span<const CatalogueEntry> catalogue = Catalogue(type);
    const CatalogueEntry *e = FindEntry(type, code);
    if (!e)
        return {};
    const size_t head = size_t(e - catalogue.data());
    return catalogue.subspan(head + 1, std::min(size_t(e->bitRows), catalogue.size() - head - 1));
}

QString ComposeCaption(const AppContext &ctx, const CatalogueEntry &entry)
{
    QString caption;
    if (entry.rowClass == RowClass::Status)
        caption = QString::number(entry.code) + QLatin1Char('-');
    else
        caption = QStringLiteral("%1 - ").arg(entry.code, 2, 10, QLatin1Char('0'));
    caption += textOf(ctx, entry.captionKey);
    caption += literal(entry.captionSuffix);
    return caption;
}

QString CodeLegend::captionOf(const AppContext &ctx, const CatalogueEntry &entry) const
{
    if (entry.legendItem >= 0 && entry.legendItem < items.size()) {
        const LegendItem &item = items[entry.legendItem];
        if (entry.legendSubItem < 0)
            return item.caption;
        if (entry.legendSubItem < item.subItems.size())
            return item.subItems[entry.legendSubItem].caption;
    }
    return ComposeCaption(ctx, entry);
}

CodeLegend BuildCodeLegend(const AppContext &ctx, MachineType type)
{
    CodeLegend legend;
    legend.type = type;
    legend.items.resize(22);

    LegendItem &showBits = legend.items[kLegendShowBitsItem];
    showBits.caption = ctx.GetText(QStringLiteral("A3"));
    showBits.hidden = true;
    showBits.subItems = {LegendItem{ctx.GetText(QStringLiteral("A4")), -1, false, {}},
                         LegendItem{ctx.GetText(QStringLiteral("A5")), -1, false, {}}};
    legend.items[kLegendSeparatorItem] = LegendItem{QStringLiteral("-"), -1, true, {}};

    // The menu holds the indoor units' codes; the chillers put theirs over the items they use.
    auto place = [&](const CatalogueEntry &e) {
        if (e.legendItem < 0)
            return;
        LegendItem &item = legend.items[e.legendItem];
        LegendItem *target = &item;
        if (e.legendSubItem >= 0) {
            if (item.subItems.size() <= e.legendSubItem)
                item.subItems.resize(e.legendSubItem + 1);
            target = &item.subItems[e.legendSubItem];
        }
        target->caption = ComposeCaption(ctx, e);
        target->code = e.code;
        target->hidden = false;
    };
    for (const CatalogueEntry &e : kUnitCatalogue)
        place(e);
    if (type == MachineType::Chillers) {
        for (const CatalogueEntry &e : kChillerCatalogue)
            place(e);
        for (int item : kChillerHiddenItems)
            legend.items[item].hidden = true;
    }
    return legend;
}

QVector<LegendItem> BuildEisLegend()
{
    QVector<LegendItem> items(16);
    items[0].hidden = true;
    for (int eis = 1; eis <= 15; ++eis) {
        items[eis].caption = EisCaption(eis);
        items[eis].code = qint16(eis);
    }
    for (int eis : kEisHidden)
        items[eis].hidden = true;
    return items;
}

QString RowKey(int device, int code)
{
    return QString::number(device) + QLatin1Char('-') + QString::number(code);
}

int FindRow(const SignalTable &table, int device, int code)
{
    return table.rowKeys.value(RowKey(device, code), -1);
}

SignalTable BuildSignalTable(const AppContext &ctx, const CodeLegend &legend, int deviceCount,
                             ColumnInfos &columns)
{
    const MachineType type = legend.type;
    const std::span<const CatalogueEntry> catalogue = Catalogue(type);
    deviceCount = qMax(0, deviceCount);

    SignalTable table;
    columns = ColumnInfos{};
    table.rows.resize(1);
    SetupSignalColumns(ctx, table, columns, kColEis, kColAddress, kColFurtherAddresses, kColR, kColW, kColT, kColU,
                       kColYesNo);
    columns[kColEis].EditKind = kEditFixed;

    SignalRow &header = table.rows[0];
    table.columns[kColRowNumber] = ColumnFormat{600, ContentKind::Text, CellAlignment::Default};
    header[kColDevice] = QStringLiteral("Unit");
    table.columns[kColDevice] = ColumnFormat{500, ContentKind::Integer, CellAlignment::Default};
    columns[kColDevice].EditKind = kEditFixed;
    columns[kColDevice].Help = QStringLiteral("Unit");
    header[kColCode] = QStringLiteral("C\u00F3digo");
    table.columns[kColCode] = ColumnFormat{1700, ContentKind::Text, CellAlignment::LeftCentre};
    columns[kColCode].EditKind = kEditFixed;
    columns[kColCode].Help = ctx.GetText(QStringLiteral("G503")) + QLatin1Char(' ') + ctx.GetText(QStringLiteral("A9"));
    header[kColDescription] = ctx.GetText(QStringLiteral("X75"));
    table.columns[kColDescription] = ColumnFormat{5600, ContentKind::Text, CellAlignment::LeftCentre};
    columns[kColDescription].EditKind = kEditFixed;
    columns[kColDescription].Help =
        ctx.GetText(QStringLiteral("X64")) + QLatin1Char(' ') + ctx.GetText(QStringLiteral("A10"));

    const int rowCount = TableRowCount(type, deviceCount);
    table.rows.resize(rowCount);
    if (deviceCount == 0)
        return table;

    // The block is the same for every device but for the device number: compose it once.
    struct Composed {
        QString caption, description, eis;
        std::array<QString, 4> flags;
    };
    QVector<Composed> block;
    block.reserve(qsizetype(catalogue.size()));
    {
        QString access;
        QString headDescription;
        for (const CatalogueEntry &e : catalogue) {
            Composed c;
            c.caption = legend.captionOf(ctx, e);
            if (e.access)
                access = QLatin1String(e.access);
            const QString ownDescription = textOf(ctx, e.descKey) + literal(e.descSuffix);
            if (isBitOrStep(e.rowClass)) {
                c.description = headDescription + QLatin1Char(':') + ownDescription + QStringLiteral(". (") + access +
                                QLatin1Char(')');
            } else {
                const QString range = e.rangeKey ? textOf(ctx, e.rangeKey) : literal(e.rangeLiteral);
                c.description = ownDescription + QStringLiteral(": ") + range + QStringLiteral(". (") + access +
                                QLatin1Char(')');
                headDescription = ownDescription;
            }
            c.eis = EisCaption(e.eis);
            for (int f = 0; f < 4; ++f)
                c.flags[size_t(f)] = QLatin1String(e.flags[f]);
            block.append(std::move(c));
        }
    }
    const QString no = ctx.GetText(QStringLiteral("X9"));

    table.rowKeys.reserve(rowCount);
    int r = 0;
    for (int d = 1; d <= deviceCount; ++d) {
        const QString device = QString::number(d);
        const QString keyPrefix = device + QLatin1Char('-');
        for (qsizetype i = 0; i < block.size(); ++i) {
            const CatalogueEntry &e = catalogue[size_t(i)];
            if (e.code == 100 && d > 1)
                continue;
            ++r;
            SignalRow &row = table.rows[r];
            switch (e.rowClass) {
            case RowClass::Status:
                row.background = kStatusRowColour;
                row.colouredColumns = kStatusColumnsMask;
                break;
            case RowClass::GroupHead:
                row.background = kGroupHeadColour;
                row.colouredColumns = kCodeColumnMask;
                row.mark = 1;
                break;
            case RowClass::Bit:
            case RowClass::Step:
                row.background = kBitRowColour;
                row.colouredColumns = kCodeColumnMask;
                break;
            case RowClass::Ordinary:
                break;
            }
            const Composed &c = block[i];
            row[kColRowNumber] = QString::number(r);
            row[kColDevice] = device;
            row[kColCode] = c.caption;
            table.rowKeys.insert(keyPrefix + QString::number(e.code), r);
            row[kColDescription] = c.description;
            row[kColEis] = c.eis;
            for (int f = 0; f < 4; ++f)
                row[kColR + f] = c.flags[size_t(f)];
            row[kColYesNo] = no;
        }
    }
    return table;
}

namespace {

void buildInto(AppContext &ctx, MachineType type, const ProjectSettings &settings, const CodeLegend &legend,
               SignalTableModel &grid)
{
    const CodeLegend *use = &legend;
    CodeLegend own;
    if (legend.type != type || legend.items.isEmpty()) {
        own = BuildCodeLegend(ctx, type);
        use = &own;
    }
    ctx.GridBusy = true;
    ColumnInfos columns;
    SignalTable table = BuildSignalTable(ctx, *use, int(settings.devices.size()), columns);
    grid.setTable(std::move(table), std::move(columns));
    ctx.GridBusy = false;
}

} // namespace

void BuildUnitTable(AppContext &ctx, const ProjectSettings &settings, const CodeLegend &legend,
                    SignalTableModel &grid)
{
    buildInto(ctx, MachineType::IndoorUnits, settings, legend, grid);
}

void BuildChillerTable(AppContext &ctx, const ProjectSettings &settings, const CodeLegend &legend,
                       SignalTableModel &grid)
{
    buildInto(ctx, MachineType::Chillers, settings, legend, grid);
}

} // namespace tarveon
