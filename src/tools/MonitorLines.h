#pragma once
#include <QAbstractListModel>
#include <QString>
#include <QStringList>
#include <vector>

namespace tarveon {

// A list of at most `capacity` text lines in arrival order: a full list drops its oldest line as
// a new one comes. Kept in a ring, so adding a line costs the same however full the list is, and
// a view attached to it is told of one inserted and at most one removed row per line.
class LineRing {
public:
    explicit LineRing(int capacity);

    int capacity() const { return int(m_ring.size()); }
    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    // Line i, 0 the oldest.
    const QString &at(int i) const { return m_ring[slot(i)]; }
    // Appends; a full ring drops its oldest line to make room.
    void append(const QString &line);
    // Drops the oldest line (nothing when empty).
    void dropFirst();
    void clear();
    QStringList toList() const;

private:
    size_t slot(int i) const { return (m_head + size_t(i)) % m_ring.size(); }

    std::vector<QString> m_ring;
    size_t m_head = 0; // slot of the oldest line
    int m_size = 0;
};

// The monitor list lstTramas as an item model: one row per line, newest last, bounded.
class MonitorLines : public QAbstractListModel {
    Q_OBJECT
public:
    explicit MonitorLines(int capacity, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    int capacity() const { return m_lines.capacity(); }
    int count() const { return m_lines.size(); }
    const QString &line(int row) const { return m_lines.at(row); }
    QStringList lines() const { return m_lines.toList(); }

    // Adds a line at the end; a full list loses its first line (one removed row, one inserted).
    void append(const QString &line);
    // Replaces the whole list at once (one reset); only the last `capacity` lines are kept.
    void setLines(const QStringList &lines);
    void clear();

private:
    LineRing m_lines;
};

} // namespace tarveon
