#include "tools/AddressPlanCore.h"

#include "app/AppContext.h"
#include "app/Protocols.h"
#include "editor/EditorSession.h"
#include "model/GroupAddress.h"
#include "model/Validation.h"
#include "tools/GroupAddressPlan.h"
#include "tools/KnxSignals.h"
#include "tools/SignalCsv.h"

#include <QFile>
#include <QHash>
#include <QSaveFile>

namespace tarveon {

namespace {

const QString kDot = QStringLiteral(" \u00B7 ");
// Long lists in a message stop after this many lines.
constexpr int kMessageLines = 20;

// The group of a cell; 0 for an empty text or no group.
qint16 groupOf(const QString &text)
{
    const QStringView t = BlankTrimmed(text);
    return t.isEmpty() ? qint16(0) : GroupTextToNumber(t);
}

PlanResult refused(const QString &fault)
{
    PlanResult result;
    result.fault = fault;
    return result;
}

} // namespace

std::optional<qint16> ShiftGroup(qint16 value, StepLevel level, int by, QString *text)
{
    int main = value / 2048;
    int middle = (value / 256) % 8;
    int sub = value % 256;
    switch (level) {
    case StepLevel::Sub:
        sub += by;
        break;
    case StepLevel::Middle:
        middle += by;
        break;
    case StepLevel::Main:
        main += by;
        break;
    }
    if (text)
        *text = QStringLiteral("%1/%2/%3").arg(main).arg(middle).arg(sub);
    if (main < 0 || main > 15 || middle < 0 || middle > 7 || sub < 0 || sub > 255 || main + middle + sub == 0)
        return std::nullopt;
    return qint16(main * 2048 + middle * 256 + sub);
}

AddressPlanCore::AddressPlanCore(AppContext &ctx, EditorSession &session) : m_ctx(ctx), m_session(session) {}

int AddressPlanCore::deviceOf(int row) const
{
    return int(LeadingInteger(m_session.table().cell(row, kColDevice)));
}

QString AddressPlanCore::rangeFault(int row, const QString &address) const
{
    return m_session.deviceTitle(deviceOf(row)) + QStringLiteral(": ") + address + m_ctx.GetText(QStringLiteral("PL40"));
}

QString AddressPlanCore::clashFault(const QVector<CellWrite> &writes) const
{
    const SignalTable &table = m_session.table().table();
    QHash<int, QString> address;
    QHash<int, QString> use;
    for (const CellWrite &w : writes) {
        if (w.column == kColAddress)
            address.insert(w.row, w.text);
        else if (w.column == kColYesNo)
            use.insert(w.row, w.text);
    }
    auto after = [&](const QHash<int, QString> &written, int row, int column) -> const QString & {
        const auto it = written.constFind(row);
        return it != written.constEnd() ? *it : table.rows[row][column];
    };
    // The rows in use after the writes by group; two of them are enough to find another.
    QHash<qint16, QVector<int>> inUse;
    inUse.reserve(table.rowCount());
    for (int r = 1; r < table.rowCount(); ++r) {
        if (LeadingNumber(after(use, r, kColYesNo)) <= 0)
            continue;
        const qint16 group = groupOf(after(address, r, kColAddress));
        if (group <= 0)
            continue;
        QVector<int> &rows = inUse[group];
        if (rows.size() < 2)
            rows.append(r);
    }
    for (const CellWrite &w : writes) {
        if (w.column != kColAddress)
            continue;
        const qint16 group = groupOf(w.text);
        for (int other : inUse.value(group)) {
            if (group > 0 && other != w.row) {
                return m_session.deviceTitle(deviceOf(w.row)) + QStringLiteral(": ") + w.text
                       + m_ctx.GetText(QStringLiteral("PL41")) + m_session.deviceTitle(deviceOf(other)) + kDot
                       + TrimBlanks(table.rows[other][kColCode]) + m_ctx.GetText(QStringLiteral("PL42"));
            }
        }
    }
    return {};
}

PlanResult AddressPlanCore::planFill(const FillRequest &request) const
{
    PlanResult out;
    const SignalTableModel &table = m_session.table();
    QVector<int> rows;
    if (request.selection) {
        rows = m_session.grid().selectedRows();
    } else {
        for (int d = request.firstDevice; d <= request.lastDevice; ++d) {
            if (const int r = table.findRow(d, request.code); r > 0)
                rows.append(r);
        }
    }
    if (rows.isEmpty()) {
        out.fault = m_ctx.GetText(QStringLiteral("PL43"));
        return out;
    }
    qint16 start = 0;
    const QString key = GroupAddressFault(request.start, start);
    if (!key.isEmpty() || start == 0) {
        out.fault = m_ctx.GetText(key.isEmpty() ? QStringLiteral("EIB30") : key);
        return out;
    }
    const QString yes = table.columnInfo(kColYesNo).value(QStringLiteral("K1"));
    for (qsizetype i = 0; i < rows.size(); ++i) {
        const int r = rows[i];
        QString text;
        if (!ShiftGroup(start, request.level, int(i) * request.step, &text)) {
            out.fault = rangeFault(r, text);
            return out;
        }
        out.writes.append({r, kColAddress, text});
        if (request.setUse) {
            const CatalogueEntry *entry =
                FindEntry(m_session.machineType(), int(LeadingInteger(table.cell(r, kColCode))));
            for (int k = 0; k < 4; ++k)
                out.writes.append({r, kColR + k, entry && entry->flags[k] ? QString::fromLatin1(entry->flags[k]) : QString()});
            out.writes.append({r, kColYesNo, yes});
        }
        if (i == 0)
            out.first = text;
        out.last = text;
    }
    out.rows = int(rows.size());
    out.fault = clashFault(out.writes);
    return out;
}

PlanResult AddressPlanCore::planApply(const ApplyPlanRequest &request) const
{
    PlanResult out;
    const SignalTableModel &table = m_session.table();
    // The source device's rows, in catalogue order.
    QVector<QPair<int, int>> sources; // code, row
    for (const CatalogueEntry &e : Catalogue(m_session.machineType())) {
        if (const int r = table.findRow(request.source, e.code); r > 0)
            sources.append({e.code, r});
    }
    // A source address moved for a device; false after setting the fault.
    auto shifted = [&](int row, const QString &text, int by, QString *result) {
        *result = TrimBlanks(text);
        qint16 value = 0;
        const QString key = GroupAddressFault(*result, value);
        if (!key.isEmpty()) {
            out.fault = m_session.deviceTitle(request.source) + QStringLiteral(": ") + m_ctx.GetText(key);
            return false;
        }
        if (value != 0 && !ShiftGroup(value, request.level, by, result)) {
            out.fault = rangeFault(row, *result);
            return false;
        }
        return true;
    };
    for (int d = request.firstDevice; d <= request.lastDevice; ++d) {
        if (d == request.source)
            continue;
        const int by = (d - request.source) * request.step;
        for (const auto &[code, source] : std::as_const(sources)) {
            const int row = table.findRow(d, code);
            if (row <= 0)
                continue;
            const SignalRow &from = table.table().rows[source];
            QString own;
            if (!shifted(row, from[kColAddress], by, &own))
                return refused(out.fault);
            QString further = from[kColFurtherAddresses];
            if (request.shiftFurther && !TrimBlanks(further).isEmpty()) {
                QStringList items;
                for (const QString &item : further.split(u',', Qt::SkipEmptyParts)) {
                    if (TrimBlanks(item).isEmpty())
                        continue;
                    items.append(QString());
                    if (!shifted(row, item, by, &items.back()))
                        return refused(out.fault);
                }
                further = items.join(QStringLiteral(", "));
            }
            out.writes.append({row, kColAddress, own});
            out.writes.append({row, kColFurtherAddresses, further});
            for (int c = kColR; c <= kColYesNo; ++c)
                out.writes.append({row, c, from[c]});
            if (!own.isEmpty()) {
                if (out.first.isEmpty())
                    out.first = own;
                out.last = own;
            }
            ++out.rows;
        }
    }
    if (out.rows == 0) {
        out.fault = m_ctx.GetText(QStringLiteral("PL43"));
        return out;
    }
    out.fault = clashFault(out.writes);
    return out;
}

QString AddressPlanCore::previewText(const PlanResult &result) const
{
    if (!result.fault.isEmpty())
        return result.fault;
    QString text = m_ctx.GetText(QStringLiteral("PL31"));
    if (!result.first.isEmpty())
        text += result.first + QStringLiteral(" \u2026 ") + result.last + QLatin1Char(' ');
    return text + QLatin1Char('(') + QString::number(result.rows) + m_ctx.GetText(QStringLiteral("PL32"))
           + QLatin1Char(')');
}

bool AddressPlanCore::finish(const PlanResult &result)
{
    if (!result.fault.isEmpty()) {
        m_ctx.notice(result.fault);
        return false;
    }
    m_session.grid().writeCells(result.writes, true);
    return true;
}

bool AddressPlanCore::fill(const FillRequest &request)
{
    return finish(planFill(request));
}

bool AddressPlanCore::applyPlan(const ApplyPlanRequest &request)
{
    return finish(planApply(request));
}

QString AddressPlanCore::applyPlanCaption(int source, bool entry) const
{
    const QString kind = m_ctx.GetText(protocol::isIndoorUnits(m_session.protocolCode()) ? QStringLiteral("CLI1")
                                                                                         : QStringLiteral("CLI2"));
    return m_ctx.GetText(QStringLiteral("PL9")) + kind + QLatin1Char(' ') + QString::number(source)
           + (entry ? m_ctx.GetText(QStringLiteral("PL10")) : QString());
}

QVector<QPair<int, QString>> AddressPlanCore::signalCodes() const
{
    QVector<QPair<int, QString>> codes;
    for (const CatalogueEntry &e : Catalogue(m_session.machineType())) {
        if (e.code != kControllerStatusCode)
            codes.append({e.code, m_session.codeLegend().captionOf(m_ctx, e)});
    }
    return codes;
}

// ---- Spreadsheet round trip ----------------------------------------------------------------------------

bool AddressPlanCore::exportCsv(const QString &path)
{
    const QByteArray bytes = SignalTableCsv(m_session.table().table());
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size() || !file.commit()) {
        m_ctx.notice(m_ctx.GetText(QStringLiteral("KNX36")) + path);
        return false;
    }
    m_ctx.notice(m_ctx.GetText(QStringLiteral("KNX47")) + path);
    return true;
}

bool AddressPlanCore::importCsv(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        m_ctx.notice(m_ctx.GetText(QStringLiteral("KNX35")) + path);
        return false;
    }
    const SignalTableModel &table = m_session.table();
    const SignalCsvImport read = ReadSignalTableCsv(file.readAll(), table.table(), table.columnInfos());
    if (!read.writes.isEmpty())
        m_session.grid().writeCells(read.writes, true);
    QString report = m_ctx.GetText(QStringLiteral("PL51")) + QString::number(read.placed) + QStringLiteral(". ")
                     + m_ctx.GetText(QStringLiteral("PL53"));
    if (!read.unplaced.isEmpty()) {
        report += QLatin1Char('\n') + m_ctx.GetText(QStringLiteral("PL52")) + QLatin1Char('\n')
                  + read.unplaced.mid(0, kMessageLines).join(QStringLiteral(", "));
        if (read.unplaced.size() > kMessageLines)
            report += QStringLiteral(" (") + QString::number(read.unplaced.size() - kMessageLines)
                      + m_ctx.GetText(QStringLiteral("PL63")) + QLatin1Char(')');
    }
    m_ctx.notice(report);
    return read.placed > 0;
}

// ---- ETS address book ------------------------------------------------------------------------------------

void AddressPlanCore::loadBook()
{
    m_book.load(m_ctx.ProjectDir);
}

bool AddressPlanCore::importEts(const QString &path)
{
    QString error;
    if (!m_book.importFile(m_ctx, path, m_ctx.ProjectDir, &error)) {
        m_ctx.notice(error);
        return false;
    }
    m_ctx.notice(QString::number(m_book.file().addresses.size()) + m_ctx.GetText(QStringLiteral("PL61")));
    return true;
}

QStringList AddressPlanCore::completions(const QString &typed) const
{
    QStringList out;
    if (TrimBlanks(typed).isEmpty())
        return out;
    for (const EtsAddress *e : m_book.matches(typed))
        out << AddressBook::completionText(*e);
    return out;
}

QStringList AddressPlanCore::typeWarnings() const
{
    if (m_book.isEmpty())
        return {};
    const GroupAddressPlan plan = BuildGroupAddressPlan(m_ctx, m_session.protocolCode(),
                                                        m_session.settingsPage().settings(), m_session.table().table());
    const QVector<TypeMismatch> found = m_book.rowsWithOtherType(plan);
    if (found.isEmpty())
        return {};
    QStringList lines{m_ctx.GetText(QStringLiteral("PL62"))};
    for (qsizetype i = 0; i < found.size() && i < kMessageLines; ++i)
        lines << TypeMismatchLine(m_ctx, found[i]);
    if (found.size() > kMessageLines)
        lines << QLatin1Char('(') + QString::number(found.size() - kMessageLines) + m_ctx.GetText(QStringLiteral("PL63"))
                     + QLatin1Char(')');
    return lines;
}

// ---- Hints -----------------------------------------------------------------------------------------------

QString AddressPlanCore::datapointText(int row) const
{
    const SignalTableModel &table = m_session.table();
    const int eis = int(LeadingInteger(table.cell(row, kColEis)));
    if (eis <= 0)
        return {};
    const int code = int(LeadingInteger(table.cell(row, kColCode)));
    return DptDescription(m_ctx, SignalDpt(m_session.machineType(), code, eis));
}

QString AddressPlanCore::helpText(const GridCell &cell) const
{
    const SignalTableModel &table = m_session.table();
    if (cell.column < 0 || cell.column >= kSignalColumns)
        return {};
    QStringList parts{table.columnInfo(cell.column).Help};
    if (cell.row < 1 || cell.row >= table.gridRowCount())
        return parts.front();
    if (cell.column == kColEis)
        parts << datapointText(cell.row);
    if (const int device = deviceOf(cell.row); device > 0)
        parts << m_session.deviceTitle(device);
    parts << TrimBlanks(table.cell(cell.row, kColCode));
    parts.removeAll(QString());
    return parts.join(kDot);
}

} // namespace tarveon
