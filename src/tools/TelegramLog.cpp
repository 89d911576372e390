#include "tools/TelegramLog.h"

#include "model/GroupAddress.h"
#include "tools/EtsExport.h"

#include <QDateTime>
#include <QSaveFile>
#include <algorithm>

namespace tarveon {

TelegramLog::TelegramLog(int capacity) : m_ring(size_t(qMax(1, capacity))) {}

void TelegramLog::count(const FoundGroup &found, qint64 msecs)
{
    GroupStats &s = m_stats[found.group];
    if (s.count == 0) {
        s.group = found.group;
        s.address = GroupNumberToText(found.group);
        s.name = found.info ? found.info->name : QString();
    }
    ++s.count;
    s.lastMsecs = msecs;
    if (found.value)
        s.lastValue = found.info ? m_decoder.decodeGroupValue(found.group, *found.value) : NumberText(*found.value);
}

QString TelegramLog::recordFrame(qint64 msecs, const QString &frame)
{
    if (m_size == capacity()) {
        m_head = (m_head + 1) % m_ring.size();
        --m_size;
    }
    m_ring[(m_head + size_t(m_size)) % m_ring.size()] = Telegram{msecs, frame.toUtf8()};
    ++m_size;
    const DecodedFrame decoded = m_decoder.decodeFrame(frame);
    for (const FoundGroup &found : decoded.groups)
        count(found, msecs);
    return m_decoder.describe(decoded);
}

QString TelegramLog::recordReport(qint64 msecs, QStringView line)
{
    const std::optional<GroupReport> report = TelegramDecoder::parseReport(line);
    if (!report)
        return {};
    const FoundGroup found{report->group, line.mid(3, 8).toString(), m_decoder.find(report->group), report->value, {}};
    count(found, msecs);
    return m_decoder.describe(found);
}

QVector<GroupStats> TelegramLog::statistics() const
{
    QVector<GroupStats> out;
    out.reserve(m_stats.size());
    for (const GroupStats &s : m_stats)
        out.append(s);
    std::sort(out.begin(), out.end(), [](const GroupStats &a, const GroupStats &b) { return a.group < b.group; });
    return out;
}

void TelegramLog::clear()
{
    std::fill(m_ring.begin(), m_ring.end(), Telegram{});
    m_head = 0;
    m_size = 0;
    m_stats.clear();
}

QString TelegramLog::timeText(qint64 msecs)
{
    return QDateTime::fromMSecsSinceEpoch(msecs).toString(QStringLiteral("yyyy-MM-ddTHH:mm:ss.zzz"));
}

QByteArray TelegramLog::csv() const
{
    QString text;
    auto line = [&](const QStringList &fields) {
        QStringList quoted;
        for (const QString &f : fields)
            quoted << CsvQuoted(f);
        text += quoted.join(QLatin1Char(';')) + QStringLiteral("\r\n");
    };
    line({QStringLiteral("Time"), QStringLiteral("Source"), QStringLiteral("Destination"),
          QStringLiteral("Destination name"), QStringLiteral("Service"), QStringLiteral("DPT"),
          QStringLiteral("Value"), QStringLiteral("Frame")});
    for (int i = 0; i < m_size; ++i) {
        const Telegram &t = at(i);
        const QString raw = QString::fromUtf8(t.frame);
        const DecodedFrame frame = m_decoder.decodeFrame(raw);
        QString destination, name, dpt, value;
        if (!frame.groups.isEmpty()) {
            const FoundGroup &g = frame.groups.front();
            destination = GroupNumberToText(g.group);
            if (g.info) {
                name = g.info->name;
                dpt = g.info->dpt.number();
            }
            if (g.value)
                value = g.info ? m_decoder.decodeGroupValue(g.group, *g.value) : NumberText(*g.value);
        }
        line({timeText(t.msecs), frame.source, destination, name, frame.service, dpt, value, raw});
    }
    return QByteArray("\xEF\xBB\xBF") + text.toUtf8();
}

bool TelegramLog::saveCsv(const QString &path, QString *error) const
{
    QSaveFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(csv()) < 0 || !file.commit()) {
        if (error)
            *error = file.errorString();
        return false;
    }
    return true;
}

} // namespace tarveon
