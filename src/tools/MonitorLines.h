#pragma once
#include <QAbstractTableModel>
#include <QString>
#include <QStringList>
#include <vector>

namespace tarveon {

// One line of a monitor. The list, the copies and the log file show its text; a further field
// (a decoded value, say) goes beside it here and into a column of its own in MonitorLines.
struct MonitorLine {
    QString text;
    QString decoded; // the names and values of the line's group addresses
};

// At most `capacity` lines in arrival order: a full ring drops its oldest line as a new one comes,
// so adding a line costs the same however full it is.
class LineRing {
public:
    explicit LineRing(int capacity);

    int capacity() const { return int(m_ring.size()); }
    int size() const { return m_size; }
    bool isEmpty() const { return m_size == 0; }
    // Line i, 0 the oldest.
    const MonitorLine &at(int i) const { return m_ring[slot(i)]; }
    // Appends; a full ring drops its oldest line to make room.
    void append(const MonitorLine &line);
    // Drops the oldest line (nothing when empty).
    void dropFirst();
    void clear();

private:
    size_t slot(int i) const { return (m_head + size_t(i)) % m_ring.size(); }

    std::vector<MonitorLine> m_ring;
    size_t m_head = 0; // slot of the oldest line
    int m_size = 0;
};

// The monitor list lstTramas as an item model: one row per line, newest last, bounded; a view is
// told of one inserted and at most one removed row per line.
class MonitorLines : public QAbstractTableModel {
    Q_OBJECT
public:
    enum Column { TextColumn, DecodedColumn, ColumnCount };

    explicit MonitorLines(int capacity, QObject *parent = nullptr);

    int rowCount(const QModelIndex &parent = {}) const override;
    int columnCount(const QModelIndex &parent = {}) const override;
    QVariant data(const QModelIndex &index, int role = Qt::DisplayRole) const override;

    int capacity() const { return m_lines.capacity(); }
    int count() const { return m_lines.size(); }
    const MonitorLine &line(int row) const { return m_lines.at(row); }
    // The texts, oldest first.
    QStringList texts() const;
    // The longest text listed since the list was last emptied or replaced (the width the list
    // must scroll over).
    const QString &longestText() const { return m_longest; }
    // The same for the decoded texts.
    const QString &longestDecoded() const { return m_longestDecoded; }

    // Adds a line at the end; a full list loses its first line.
    void append(const MonitorLine &line);
    // Replaces the whole list at once (one reset); only the last `capacity` lines are kept.
    void setLines(const std::vector<MonitorLine> &lines);
    void clear();

private:
    void noteLength(const MonitorLine &line);

    LineRing m_lines;
    QString m_longest;
    QString m_longestDecoded;
};

} // namespace tarveon
