#include "tools/MonitorLines.h"

namespace tarveon {

LineRing::LineRing(int capacity) : m_ring(size_t(qMax(1, capacity))) {}

void LineRing::append(const MonitorLine &line)
{
    if (m_size == capacity())
        dropFirst();
    m_ring[slot(m_size)] = line;
    ++m_size;
}

void LineRing::dropFirst()
{
    if (m_size == 0)
        return;
    m_ring[m_head] = MonitorLine();
    m_head = (m_head + 1) % m_ring.size();
    --m_size;
}

void LineRing::clear()
{
    for (MonitorLine &line : m_ring)
        line = MonitorLine();
    m_head = 0;
    m_size = 0;
}

MonitorLines::MonitorLines(int capacity, QObject *parent) : QAbstractTableModel(parent), m_lines(capacity) {}

int MonitorLines::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_lines.size();
}

int MonitorLines::columnCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : ColumnCount;
}

QVariant MonitorLines::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() >= m_lines.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole) {
        const MonitorLine &line = m_lines.at(index.row());
        return index.column() == TextColumn ? line.text : line.decoded;
    }
    return {};
}

QStringList MonitorLines::texts() const
{
    QStringList out;
    out.reserve(m_lines.size());
    for (int i = 0; i < m_lines.size(); ++i)
        out << m_lines.at(i).text;
    return out;
}

void MonitorLines::noteLength(const MonitorLine &line)
{
    if (line.text.size() > m_longest.size())
        m_longest = line.text;
    if (line.decoded.size() > m_longestDecoded.size())
        m_longestDecoded = line.decoded;
}

void MonitorLines::append(const MonitorLine &line)
{
    if (m_lines.size() == m_lines.capacity()) {
        beginRemoveRows({}, 0, 0);
        m_lines.dropFirst();
        endRemoveRows();
    }
    const int n = m_lines.size();
    beginInsertRows({}, n, n);
    m_lines.append(line);
    noteLength(line);
    endInsertRows();
}

void MonitorLines::setLines(const std::vector<MonitorLine> &lines)
{
    beginResetModel();
    m_lines.clear();
    m_longest.clear();
    m_longestDecoded.clear();
    const size_t first = lines.size() > size_t(m_lines.capacity()) ? lines.size() - size_t(m_lines.capacity()) : 0;
    for (size_t i = first; i < lines.size(); ++i) {
        m_lines.append(lines[i]);
        noteLength(lines[i]);
    }
    endResetModel();
}

void MonitorLines::clear()
{
    m_longest.clear();
    m_longestDecoded.clear();
    if (m_lines.isEmpty())
        return;
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

} // namespace tarveon
