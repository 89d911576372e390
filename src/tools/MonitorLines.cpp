#include "tools/MonitorLines.h"

namespace tarveon {

LineRing::LineRing(int capacity) : m_ring(size_t(qMax(1, capacity))) {}

void LineRing::append(const QString &line)
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
    m_ring[m_head] = QString();
    m_head = (m_head + 1) % m_ring.size();
    --m_size;
}

void LineRing::clear()
{
    for (QString &s : m_ring)
        s = QString();
    m_head = 0;
    m_size = 0;
}

QStringList LineRing::toList() const
{
    QStringList out;
    out.reserve(m_size);
    for (int i = 0; i < m_size; ++i)
        out << at(i);
    return out;
}

MonitorLines::MonitorLines(int capacity, QObject *parent) : QAbstractListModel(parent), m_lines(capacity) {}

int MonitorLines::rowCount(const QModelIndex &parent) const
{
    return parent.isValid() ? 0 : m_lines.size();
}

QVariant MonitorLines::data(const QModelIndex &index, int role) const
{
    if (!index.isValid() || index.row() < 0 || index.row() >= m_lines.size())
        return {};
    if (role == Qt::DisplayRole || role == Qt::EditRole || role == Qt::ToolTipRole)
        return m_lines.at(index.row());
    return {};
}

void MonitorLines::append(const QString &line)
{
    if (m_lines.size() == m_lines.capacity()) {
        beginRemoveRows({}, 0, 0);
        m_lines.dropFirst();
        endRemoveRows();
    }
    const int n = m_lines.size();
    beginInsertRows({}, n, n);
    m_lines.append(line);
    endInsertRows();
}

void MonitorLines::setLines(const QStringList &lines)
{
    beginResetModel();
    m_lines.clear();
    const qsizetype first = qMax<qsizetype>(0, lines.size() - m_lines.capacity());
    for (qsizetype i = first; i < lines.size(); ++i)
        m_lines.append(lines[i]);
    endResetModel();
}

void MonitorLines::clear()
{
    if (m_lines.isEmpty())
        return;
    beginResetModel();
    m_lines.clear();
    endResetModel();
}

} // namespace tarveon
