#pragma once
#include "tools/TelegramDecoder.h"

#include <QByteArray>
#include <QHash>
#include <QString>
#include <QVector>
#include <vector>

class QIODevice;

namespace tarveon {

// One line of EIB-side traffic as it came: its time and its frame text (UTF-8, which holds a
// frame in half the room of a QString and in exactly its own size, so a full ring that replaces
// its oldest entries reuses their memory).
struct Telegram {
    qint64 msecs = 0; // local time, milliseconds since the epoch
    QByteArray frame;
};

// What the session saw of one group address.
struct GroupStats {
    qint16 group = 0;
    QString address;   // "3/7/3"
    QString name;      // empty when not in the project
    qint64 count = 0;
    QString lastValue; // decoded when the address is known
    qint64 lastMsecs = 0;
};

// The session of the on-line tools: the decoder of the open project, the EIB traffic lines kept
// for export beyond the monitor's list (a ring: past its capacity the oldest goes, memory stays
// flat) and per group address the statistics of the traffic lines and the "GP:" reports.
class TelegramLog {
public:
    static constexpr int kCapacity = 100000;

    explicit TelegramLog(int capacity = kCapacity);

    const TelegramDecoder &decoder() const { return m_decoder; }
    void setDecoder(TelegramDecoder decoder) { m_decoder = std::move(decoder); }
    // The decoder of the project open in ctx, its table as last stored.
    void followProject(AppContext &ctx) { m_decoder = TelegramDecoder::forOpenProject(ctx); }

    // A traffic line's frame text at msecs; returns the decoded column's text.
    QString recordFrame(qint64 msecs, const QString &frame);
    // A "GP:" report line; returns the decoded column's text (empty for other lines, which are
    // not recorded).
    QString recordReport(qint64 msecs, QStringView line);

    int size() const { return m_size; }
    int capacity() const { return int(m_ring.size()); }
    // Telegram i, 0 the oldest kept.
    const Telegram &at(int i) const { return m_ring[(m_head + size_t(i)) % m_ring.size()]; }
    // Every address seen, ascending.
    QVector<GroupStats> statistics() const;
    void clear();

    // The kept telegrams as CSV: a header line, then per telegram Time, Source, Destination,
    // Destination name, Service, DPT, Value (where the frame shows them) and the raw frame; UTF-8
    // with a byte-order mark, ";" between fields, every field quoted, CR LF.
    QByteArray csv() const;
    // The same into a file, whole or not at all. False with the system's reason in *error.
    bool saveCsv(const QString &path, QString *error) const;
    // Time as the CSV writes it: "2026-12-06T05:01:02.345".
    static QString timeText(qint64 msecs);

private:
    void count(const FoundGroup &found, qint64 msecs);

    TelegramDecoder m_decoder;
    std::vector<Telegram> m_ring;
    size_t m_head = 0;
    int m_size = 0;
    QHash<qint16, GroupStats> m_stats;
};

} // namespace tarveon
