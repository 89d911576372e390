#include "model/SignalTableFile.h"

#include "app/AppContext.h"
#include "app/Files.h"
#include "app/Text.h"
#include "model/GroupAddress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <cmath>
#include <limits>

namespace tarveon {

namespace {

const QString kCR = QStringLiteral("\r");
const QString kError = QStringLiteral("Error: ");
constexpr int kColumns = kSignalColumns;

QString protocolName(const AppContext &ctx, qint16 code)
{
    if (code < 0 || code >= qint16(ctx.ProtocolNames.size()))
        return {};
    return ctx.ProtocolNames[size_t(code)];
}

QString headerProtocol(qint16 code, const QString &name)
{
    return QString::number(code) + u'-' + name.toUpper();
}

// A cell as written: one line, no TAB, without leading and trailing blanks.
QString cellForFile(const QString &cell)
{
    const bool needsClean = cell.contains(u'\t') || cell.contains(u'\r') || cell.contains(u'\n');
    if (!needsClean)
        return TrimBlanks(cell);
    QString cleaned = cell;
    for (QChar &c : cleaned) {
        if (c == u'\t' || c == u'\r' || c == u'\n')
            c = u' ';
    }
    return TrimBlanks(cleaned);
}

// Walks the lines of a text; a line ends at CR LF, LF or a lone CR. A final terminator does not
// start another line.
class LineReader {
public:
    explicit LineReader(QStringView text) : m_text(text) {}
    bool atEnd() const { return m_pos >= m_text.size(); }
    // The next line, or an empty view when the text has ended (as a read past the end gives).
    QStringView next()
    {
        if (atEnd())
            return {};
        const qsizetype start = m_pos;
        qsizetype i = start;
        const qsizetype n = m_text.size();
        while (i < n && m_text[i] != u'\r' && m_text[i] != u'\n')
            ++i;
        const QStringView line = m_text.mid(start, i - start);
        if (i < n && m_text[i] == u'\r') {
            ++i;
            if (i < n && m_text[i] == u'\n')
                ++i;
        } else if (i < n) {
            ++i; // LF alone
        }
        m_pos = i;
        return line;
    }

private:
    QStringView m_text;
    qsizetype m_pos = 0;
};

} // namespace

QString SignalTableFileName(const AppContext &ctx, qint16 protocolCode)
{
    return protocolName(ctx, protocolCode) + QStringLiteral(".dat");
}

QByteArray SignalTableBytes(qint16 protocolCode, const QString &protocolName, const QString &version,
                            const SignalTable &grid)
{
    QString text;
    text.reserve(64 + grid.rowCount() * 160);
    text += QStringLiteral("PROTOCOLO=") + headerProtocol(protocolCode, protocolName) + QStringLiteral("\r\n");
    text += QStringLiteral("VERSION=ZDM.") + version + QStringLiteral("\r\n");
    text += QStringLiteral("CAMPOS=") + QString::number(kColumns) + QStringLiteral("\r\n");
    for (const SignalRow &row : grid.rows) {
        for (const QString &cell : row.cells) {
            text += cellForFile(cell);
            text += u'\t';
        }
        text += QStringLiteral("\r\n");
    }
    return toCp1252(text);
}

std::optional<Fault> WriteSignalTable(const AppContext &ctx, qint16 protocolCode, const QString &version,
                                      const SignalTable &grid)
{
    const QString name = protocolName(ctx, protocolCode);
    // Replace the project's table whatever the case of its extension, so that one file remains.
    const QString path = findFileNoCase(ctx.ProjectDir, SignalTableFileName(ctx, protocolCode));
    const QByteArray bytes = SignalTableBytes(protocolCode, name, version, grid);
    bool opened = false;
    const QString error = saveFileAtomically(path, bytes, &opened, ctx.saveDevice);
    if (error.isEmpty())
        return std::nullopt;
    const QString key = opened ? QStringLiteral("X40") : QStringLiteral("X68");
    return Fault{key, ctx.GetText(key) + kCR + QDir::toNativeSeparators(path) + kCR + kError + kCR + error};
}

struct SignalTableParser {
    static SignalTableParse parse(const QByteArray &bytes, qint16 protocolCode, const QString &protocolName,
                                  const QString &version, StoredSignalTable &table)
    {
        table.clear();
        table.m_text = fromCp1252(bytes);
        LineReader reader(table.m_text);

        const QStringView line1 = reader.next();
        if (!line1.contains(headerProtocol(protocolCode, protocolName)))
            return fail(SignalTableFault::Protocol, line1, table);
        const QStringView line2 = reader.next();
        if (!line2.contains(QString(QStringLiteral("ZDM.") + version)))
            return fail(SignalTableFault::Version, line2, table);
        const QStringView line3 = reader.next();
        if (!line3.contains(QStringLiteral("CAMPOS=")))
            return fail(SignalTableFault::Version, line3, table);

        const qint64 fields = LeadingInteger(line3.mid(qMin<qsizetype>(7, line3.size())));
        table.fieldCount =
            int(qBound(qint64(std::numeric_limits<int>::min()), fields, qint64(std::numeric_limits<int>::max())));

        reader.next(); // the column titles
        // Only the fields the table has are held; the rest of a line is never looked at.
        const qsizetype keep = qMax(table.fieldCount, 1);
        const QChar *base = table.m_text.constData();
        while (!reader.atEnd()) {
            const QStringView line = reader.next();
            const qsizetype lineStart = line.data() ? line.data() - base : 0;
            qsizetype start = 0;
            for (qsizetype f = 0; f < keep; ++f) {
                const qsizetype tab = line.indexOf(u'\t', start);
                const qsizetype end = tab < 0 ? line.size() : tab;
                if (f > 0)
                    table.m_bounds.append({lineStart + start, end - start});
                if (tab < 0 || tab + 1 >= line.size())
                    break;
                start = tab + 1;
            }
            table.m_rowStart.append(table.m_bounds.size());
        }
        return {};
    }

    static SignalTableParse fail(SignalTableFault fault, QStringView line, StoredSignalTable &table)
    {
        SignalTableParse result{fault, line.toString()};
        table.clear();
        return result;
    }
};

SignalTableParse ParseSignalTable(const QByteArray &bytes, qint16 protocolCode, const QString &protocolName,
                                  const QString &version, StoredSignalTable &table)
{
    return SignalTableParser::parse(bytes, protocolCode, protocolName, version, table);
}

std::optional<Fault> ReadSignalTable(const AppContext &ctx, qint16 protocolCode, const QString &version,
                                     StoredSignalTable &table)
{
    table.clear();
    const QString name = protocolName(ctx, protocolCode);
    const QString path = findFileNoCase(ctx.ProjectDir, name + QStringLiteral(".DAT"));
    const QString shownPath = QDir::toNativeSeparators(path);
    const QFileInfo info(path);
    if (!info.exists()) {
        const QString text = ctx.GetText(QStringLiteral("X67")) + kCR + shownPath + kCR +
                             ctx.GetText(QStringLiteral("X24")) + name + ctx.GetText(QStringLiteral("X74"));
        return Fault{QStringLiteral("X67"), text, FaultKind::Exclamation};
    }
    QFile file(path);
    QString openError;
    if (info.isDir())
        openError = QStringLiteral("Is a directory");
    else if (!file.open(QIODevice::ReadOnly))
        openError = file.errorString();
    if (!openError.isEmpty()) {
        const QString text = ctx.GetText(QStringLiteral("X30")) + kCR + shownPath + kCR + kError + kCR + openError;
        return Fault{QStringLiteral("X30"), text, FaultKind::Critical};
    }
    const QByteArray bytes = file.readAll();
    file.close();

    const SignalTableParse parse = ParseSignalTable(bytes, protocolCode, name, version, table);
    if (parse.fault == SignalTableFault::None)
        return std::nullopt;
    const bool protocol = parse.fault == SignalTableFault::Protocol;
    const QString key = protocol ? QStringLiteral("X28") : QStringLiteral("X45");
    const QString text = ctx.GetText(key) + name + ctx.GetText(protocol ? QStringLiteral("X61") : QStringLiteral("X60")) +
                         kCR + shownPath + kCR + parse.lineRead;
    return Fault{key, text, FaultKind::Critical};
}

namespace {

// The usual flag texts are shared rather than copied for every row.
QString flagText(QStringView stored)
{
    static const QString known[] = {QString(), QStringLiteral("R"), QStringLiteral("W"), QStringLiteral("T"),
                                    QStringLiteral("U"), QStringLiteral("U2")};
    const QStringView trimmed = BlankTrimmed(stored);
    for (const QString &k : known) {
        if (trimmed == k)
            return k;
    }
    return trimmed.toString();
}

} // namespace

int ApplyStoredRows(const AppContext &ctx, const StoredSignalTable &stored, SignalTable &table, Faults &faults)
{
    int applied = 0;
    QString yesNo[2];
    bool yesNoRead = false;
    QString key;
    for (int r = 1; r <= stored.rowCount(); ++r) {
        const double code = LeadingNumber(stored.fieldView(r, 2));
        if (!(std::fabs(code) < 1e15) || code != std::floor(code))
            continue;
        key = TrimBlanks(stored.fieldView(r, 1));
        key += u'-';
        key += QString::number(qint64(code));
        const auto it = table.rowKeys.constFind(key);
        if (it == table.rowKeys.constEnd() || *it < 1 || *it >= table.rowCount())
            continue;
        const double value = LeadingNumber(stored.fieldView(r, 11));
        if (stored.fieldCount < kColumns || (value != 0.0 && value != 1.0)) {
            faults.append(Fault{QStringLiteral("X13"), ctx.GetText(QStringLiteral("X13"))});
            continue;
        }
        if (!yesNoRead) {
            yesNo[0] = ctx.GetText(QStringLiteral("X9"));
            yesNo[1] = ctx.GetText(QStringLiteral("X10"));
            yesNoRead = true;
        }
        SignalRow &row = table.rows[*it];
        row[5] = stored.field(r, 5);
        row[6] = stored.field(r, 6);
        for (int c = 7; c <= 10; ++c)
            row[c] = flagText(stored.fieldView(r, c));
        row[11] = yesNo[value == 1.0 ? 1 : 0];
        ++applied;
    }
    return applied;
}

Faults ApplyStoredTable(const AppContext &ctx, qint16 protocolCode, SignalTable &table)
{
    StoredSignalTable stored;
    if (auto fault = ReadSignalTable(ctx, protocolCode, QStringLiteral("1.0"), stored))
        return {*fault};
    Faults faults;
    ApplyStoredRows(ctx, stored, table, faults);
    return faults;
}

} // namespace tarveon
