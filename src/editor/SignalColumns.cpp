#include "editor/SignalColumns.h"

#include "app/AppContext.h"

#include <algorithm>

namespace tarveon {

QString ColumnInfo::value(const QString &key) const
{
    for (const ColumnValue &v : Values) {
        if (v.key == key)
            return v.text;
    }
    return {};
}

bool ColumnInfo::hasValue(const QString &key) const
{
    for (const ColumnValue &v : Values) {
        if (v.key == key)
            return true;
    }
    return false;
}

namespace {

// A width that shows a header text whole in the usual dialog fonts (at most about 7 pixels a
// character at 96 dpi, plus the cell's margins), so that no language cuts a title.
int headerWidthTwips(const QString &header)
{
    return (int(header.size()) * 7 + 12) * 15;
}

void setupColumn(SignalTable &grid, ColumnInfos &info, qint16 column, const QString &header, int widthTwips,
                 ContentKind kind, CellAlignment alignment, qint16 editKind, QVector<ColumnValue> values,
                 const QString &help)
{
    if (column < 0 || column >= kSignalColumns)
        return;
    grid.rows[0][column] = header;
    grid.columns[size_t(column)] = ColumnFormat{std::max(widthTwips, headerWidthTwips(header)), kind, alignment};
    ColumnInfo &ci = info[size_t(column)];
    ci.EditKind = editKind;
    ci.Values = std::move(values);
    ci.Help = help;
}

QVector<ColumnValue> flagValues(const QString &letter)
{
    return {{QStringLiteral("K"), QString()}, {QStringLiteral("K") + letter, letter}};
}

} // namespace

void SetupSignalColumns(const AppContext &ctx, SignalTable &grid, ColumnInfos &info, qint16 eis,
                        qint16 address, qint16 furtherAddresses, qint16 r, qint16 w, qint16 t, qint16 u,
                        qint16 yesNo)
{
    if (grid.rows.isEmpty())
        grid.rows.resize(1);
    const auto L = CellAlignment::LeftCentre;
    const auto C = CellAlignment::Centre;
    const auto T = ContentKind::Text;
    setupColumn(grid, info, eis, QStringLiteral("EIS"), 1600, ContentKind::Integer, L, kEditChoice, {},
                ctx.GetText(QStringLiteral("EIB9")));
    setupColumn(grid, info, address, ctx.GetText(QStringLiteral("EIB42")), 800, T, L, kEditFree, {},
                ctx.GetText(QStringLiteral("EIB10")));
    setupColumn(grid, info, furtherAddresses, ctx.GetText(QStringLiteral("EIB41")), 2000, T, L, kEditFree, {},
                ctx.GetText(QStringLiteral("EIB11")));
    setupColumn(grid, info, r, QStringLiteral("R"), 300, T, C, kEditChoice, flagValues(QStringLiteral("R")),
                ctx.GetText(QStringLiteral("EIB12")));
    setupColumn(grid, info, w, QStringLiteral("W"), 300, T, C, kEditChoice, flagValues(QStringLiteral("W")),
                ctx.GetText(QStringLiteral("EIB13")));
    setupColumn(grid, info, t, QStringLiteral("T"), 300, T, C, kEditChoice, flagValues(QStringLiteral("T")),
                ctx.GetText(QStringLiteral("EIB14")));
    setupColumn(grid, info, u, QStringLiteral("U"), 300, T, C, kEditChoice,
                {{QStringLiteral("K"), QString()},
                 {QStringLiteral("KU"), QStringLiteral("U")},
                 {QStringLiteral("KU2"), QStringLiteral("U2")}},
                ctx.GetText(QStringLiteral("EIB15")));
    setupColumn(grid, info, yesNo, ctx.GetText(QStringLiteral("X12")), 600, T, CellAlignment::Default, kEditChoice,
                {{QStringLiteral("K0"), ctx.GetText(QStringLiteral("X9"))},
                 {QStringLiteral("K1"), ctx.GetText(QStringLiteral("X10"))}},
                ctx.GetText(QStringLiteral("X42")));
}

} // namespace tarveon
