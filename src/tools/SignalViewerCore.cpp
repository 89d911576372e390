#include "tools/SignalViewerCore.h"

#include "app/AppContext.h"
#include "model/GroupAddress.h"
#include "link/LinkCommands.h"
#include "app/Text.h"
#include "editor/SignalCatalogue.h"
#include "tools/KnxSignals.h"

#include <QSet>
#include <cmath>

namespace tarveon {

QString singleToText(float value)
{
    // Seven significant digits, as a single holds; whole numbers of eight digits need all eight.
    const float size = std::fabs(value);
    const int digits = size >= 1e7f && size < 1e8f ? 8 : 7;
    QString text = QString::number(double(value), 'g', digits);
    const qsizetype e = text.indexOf(QLatin1Char('e'));
    if (e >= 0)
        text[e] = QLatin1Char('E');
    return text;
}

QString firstCommaToPoint(const QString &text)
{
    QString out = text;
    const qsizetype comma = out.indexOf(QLatin1Char(','));
    if (comma >= 0)
        out[comma] = QLatin1Char('.');
    return out;
}

QString formatHashDot00(float value)
{
    QString text = QString::number(double(value), 'f', 2);
    const bool negative = text.startsWith(QLatin1Char('-'));
    if (negative)
        text.remove(0, 1);
    if (text.startsWith(QLatin1String("0.")))
        text.remove(0, 1);
    // A value that rounds to zero has no sign.
    if (negative && text != QLatin1String(".00"))
        text.prepend(QLatin1Char('-'));
    return firstCommaToPoint(text);
}

namespace {

// Column set-up of the viewer's own columns.
void setupColumn(SignalTable &grid, ColumnInfos &info, int column, const QString &header, int widthTwips,
                 ContentKind kind, CellAlignment alignment, const QString &help, bool fixed)
{
    grid.rows[0][column] = header;
    grid.columns[size_t(column)] = ColumnFormat{widthTwips, kind, alignment};
    if (fixed)
        info[size_t(column)].EditKind = kEditFixed;
    info[size_t(column)].Help = help;
}

// A cell cannot hold a tab or a line break: the copy would lose its shape.
bool cellSafe(const QString &text)
{
    for (QChar c : text) {
        if (c == QLatin1Char('\t') || c == QLatin1Char('\r') || c == QLatin1Char('\n'))
            return false;
    }
    return true;
}

// What a viewer without a link shows.
const LinkTables kNoTables;

} // namespace

const LinkTables &SignalViewerCore::linkTables() const
{
    return m_link ? m_link->signalTables() : kNoTables;
}

bool SignalViewerCore::onLine() const
{
    return m_link && m_link->state() == LinkState::OnLine;
}

SignalViewerCore::SignalViewerCore(AppContext &ctx, LinkCommands *link, QObject *parent)
    : QObject(parent), m_ctx(ctx), m_link(link)
{
    Timer1.setInterval(kRefreshMs);
    Timer2.setInterval(kPollMs);
    connect(&Timer1, &QTimer::timeout, this, &SignalViewerCore::Timer1_Timer);
    connect(&Timer2, &QTimer::timeout, this, &SignalViewerCore::Timer2_Timer);
}

void SignalViewerCore::Datos_Carga()
{
    Timer1.stop();

    SignalTable grid;
    ColumnInfos info{};
    grid.rows.resize(2);
    SetupSignalColumns(m_ctx, grid, info, kColEis, kColAddress, kColFurtherAddresses, kColR, kColW, kColT, kColU,
                       kColYesNo);
    grid.columns[kColFurtherAddresses].widthTwips = 1000;
    const auto text = [this](const char *key) { return m_ctx.GetText(QLatin1String(key)); };
    setupColumn(grid, info, kColRowNumber, QString(), 600, ContentKind::Text, CellAlignment::Default, QString(), false);
    setupColumn(grid, info, kColDevice, QStringLiteral("Dev."), 700, ContentKind::Integer, CellAlignment::Default,
                QStringLiteral("Unit"), true);
    setupColumn(grid, info, kColCode, QStringLiteral("Ident."), 2000, ContentKind::Text, CellAlignment::LeftCentre,
                text("G503"), true);
    setupColumn(grid, info, kColDescription, text("X75"), 5000, ContentKind::Text, CellAlignment::LeftCentre,
                text("X64"), true);
    setupColumn(grid, info, kColYesNo, text("X22"), 700, ContentKind::Decimal, CellAlignment::Default, text("X23"),
                true);

    const LinkTables &tables = linkTables();
    const int count = tables.count();
    int rows = 0;
    QList<int> failed;
    for (int i = 0; i <= count; ++i) {
        const LinkSignal &entry = tables.signals_[i];
        if (entry.inUse == 0)
            continue;
        ++rows;
        if (rows + 1 > grid.rowCount())
            grid.rows.resize(rows + 1);
        SignalRow &row = grid.rows[rows];
        row.rowData = i;
        row[kColRowNumber] = QString::number(rows);
        bool complete = true;
        for (int c = 1; c <= 10; ++c) {
            if (cellSafe(entry.fields[size_t(c)])) {
                row[c] = entry.fields[size_t(c)];
            } else {
                complete = false;
                break;
            }
        }
        if (!complete)
            failed << rows;
    }
    m_grid.setTable(std::move(grid), std::move(info));

    // One message per row that could not be filled; the build has gone on past it.
    for (qsizetype k = 0; k < failed.size(); ++k)
        m_ctx.prompter->msgBox(text("X13"), kAppTitle, MsgIcon::Alert, MsgDefault::First, MsgButtons::One, text("X1"));

    Timer1.start();
}

int SignalViewerCore::entryOfRow(int row) const
{
    const int entry = m_grid.rowData(row);
    return entry >= 1 && entry <= linkTables().count() ? entry : 0;
}

void SignalViewerCore::refreshRows(int first, int last)
{
    first = qMax(first, 1);
    last = qMin(last, m_grid.gridRowCount() - 1);
    if (first > last)
        return;
    m_grid.beginBatch();
    for (int row = first; row <= last; ++row) {
        const int entry = entryOfRow(row);
        if (entry > 0)
            m_grid.setCell(row, kColYesNo, singleToText(linkTables().signals_[entry].value));
    }
    m_grid.endBatch();
}

void SignalViewerCore::Timer1_Timer()
{
    const auto [first, last] = visibleRows ? visibleRows() : std::pair<int, int>(1, m_grid.gridRowCount() - 1);
    refreshRows(first, last);
}

QString SignalViewerCore::refreshCaption() const
{
    return polling() ? QStringLiteral("Stop") : m_ctx.GetText(QStringLiteral("X17"));
}

void SignalViewerCore::cmdRefrescar_Click()
{
    if (polling()) {
        stopPolling();
        return;
    }
    if (linkTables().count() >= 1 && onLine()) {
        m_pollIndex = 1;
        Timer2.start();
        emit pollingChanged(true);
    }
}

void SignalViewerCore::stopPolling()
{
    const bool was = polling();
    Timer2.stop();
    m_pollIndex = 1;
    if (was)
        emit pollingChanged(false);
}

void SignalViewerCore::Timer2_Timer()
{
    if (!polling())
        return; // a tick queued before the cycle stopped
    const LinkTables &tables = linkTables();
    // The link may have gone off line or reloaded a shorter table since the last tick.
    if (!onLine() || m_pollIndex < 1 || m_pollIndex > tables.count()) {
        stopPolling();
        return;
    }
    if (m_link)
        m_link->TransmitTarveon(kGroupPrefix + tables.signals_[m_pollIndex].groupText + QLatin1Char('?'));
    ++m_pollIndex;
    if (m_pollIndex > tables.count() || !onLine())
        stopPolling();
}

void SignalViewerCore::writeValue(int row)
{
    if (row <= 0)
        return;
    const int entryIndex = entryOfRow(row);
    if (entryIndex <= 0)
        return;
    const LinkSignal &entry = linkTables().signals_[entryIndex];
    const QString answer = m_ctx.prompter->inputBox(
        entry.fields[3], QStringLiteral("Grupo EIB:") + entry.fields[5] + QStringLiteral("               EIS:") + entry.fields[4],
        singleToText(entry.value));
    if (answer.isEmpty())
        return;
    sendValue(row, float(LeadingNumber(firstCommaToPoint(answer))));
}

void SignalViewerCore::sendValue(int row, float value)
{
    const int entryIndex = entryOfRow(row);
    // A dialog ran its own event loop: the table may have been reloaded meanwhile.
    if (!m_link || entryIndex <= 0)
        return;
    m_link->setSignalValue(entryIndex, value);
    const LinkSignal &target = linkTables().signals_[entryIndex];
    m_grid.setCell(row, kColYesNo, singleToText(value));
    m_link->TransmitTarveon(kGroupPrefix + target.groupText + QLatin1Char('=') + formatHashDot00(value));
}

std::pair<Dpt, RangeText> SignalViewerCore::signalType(const LinkSignal &entry) const
{
    const MachineType type = MachineTypeOf(entry.protocolCode);
    const int code = int(LeadingInteger(entry.fields[2]));
    const Dpt dpt = SignalDpt(type, code, int(LeadingInteger(entry.fields[4])));
    return {dpt, SignalRange(m_ctx, type, code)};
}

QString SignalViewerCore::valueMeaning(int row) const
{
    const int entryIndex = entryOfRow(row);
    if (entryIndex <= 0)
        return {};
    const LinkSignal &entry = linkTables().signals_[entryIndex];
    const auto [dpt, range] = signalType(entry);
    const int whole = int(std::lround(entry.value));
    switch (dpt.main) {
    case 1:
        return ValueText(m_ctx, dpt, whole, range, QString());
    case 5:
        if (dpt.sub == 1)
            return QStringLiteral("%");
        return range.meanings.value(whole);
    case 9:
        return dpt.sub == 1 ? QStringLiteral("\u00B0C") : range.unit;
    default:
        return {};
    }
}

QString SignalViewerCore::widestMeaningText() const
{
    QString widest;
    QSet<QPair<int, QString>> seen; // the same signal of every device once
    for (int row = 1; row < m_grid.gridRowCount(); ++row) {
        const int entryIndex = entryOfRow(row);
        if (entryIndex <= 0)
            continue;
        const LinkSignal &entry = linkTables().signals_[entryIndex];
        if (!seen.contains({entry.protocolCode, entry.fields[2]})) {
            seen.insert({entry.protocolCode, entry.fields[2]});
            for (const QString &meaning : signalType(entry).second.meanings) {
                if (meaning.size() + 2 > widest.size())
                    widest = QStringLiteral("8 ") + meaning;
            }
        }
    }
    return widest;
}

std::optional<WriteChoices> SignalViewerCore::writeChoices(int row) const
{
    const int entryIndex = entryOfRow(row);
    if (row <= 0 || entryIndex <= 0)
        return std::nullopt;
    const LinkSignal &entry = linkTables().signals_[entryIndex];
    const auto [dpt, range] = signalType(entry);
    WriteChoices choices;
    choices.title = entry.fields[3];
    // A dialog of our own, so its label speaks the user's language (the double click's prompt keeps its text).
    choices.prompt = m_ctx.GetText(QStringLiteral("TLG18")) + entry.fields[5] + QStringLiteral("   EIS: ") + entry.fields[4];
    choices.current = entry.value;
    if (dpt.main == 1) {
        for (int v : {0, 1})
            choices.options.append({v, QString::number(v) + QLatin1Char(' ') + ValueText(m_ctx, dpt, v, range, QString())});
    } else if (dpt.main == 5 && !range.meanings.isEmpty()) {
        for (auto it = range.meanings.cbegin(); it != range.meanings.cend(); ++it)
            choices.options.append({it.key(), QString::number(it.key()) + QLatin1Char(' ') + *it});
    } else {
        choices.range = range;
        if (dpt == Dpt{9, 1} && range.unit.isEmpty())
            choices.range.unit = QStringLiteral("\u00B0C");
    }
    return choices;
}

QString SignalViewerCore::copyText()
{
    if (m_grid.gridRowCount() < 2)
        return QString();
    refreshRows(1, m_grid.gridRowCount() - 1);
    return m_grid.tabSeparatedText();
}

} // namespace tarveon
