#include "tools/TelegramDecoder.h"

#include "app/AppContext.h"
#include "app/Text.h"
#include "model/Generate.h"
#include "model/GroupAddress.h"
#include "model/SignalTableFile.h"
#include "tools/GroupAddressPlan.h"
#include "tools/KnxExport.h"
#include "tools/KnxSignals.h"

#include <QFileInfo>
#include <QRegularExpression>

namespace tarveon {

namespace {

// One pass over a frame text: a group address (main/middle/sub, padded or not), a physical
// address (area.line.device), bytes ("$0C", "0x0C7E"), a number ("." or "," as decimal point) or a word.
const QRegularExpression &tokenPattern()
{
    static const QRegularExpression pattern(QStringLiteral(
        "(?<![\\w./,])(?:(\\d{1,2})/(\\d{1,2})/(\\d{1,3})(?![\\w/])"
        "|(\\d{1,2})\\.(\\d{1,2})\\.(\\d{1,3})(?![\\w.])"
        "|(?:\\$|0x)([0-9A-Fa-f]{2,})(?![\\w/])"
        "|(-?\\d+(?:[.,]\\d+)?)(?![\\w/]|[.,]\\d)"
        "|([A-Za-z][A-Za-z_]*))"));
    return pattern;
}

// The services a frame may name, as the ETS group monitor writes them.
QString serviceName(const QString &word)
{
    const QString w = word.toLower();
    if (w.contains(QLatin1String("write")))
        return QStringLiteral("Write");
    if (w.contains(QLatin1String("resp")) || w.contains(QLatin1String("answer")))
        return QStringLiteral("Response");
    if (w.contains(QLatin1String("read")))
        return QStringLiteral("Read");
    return {};
}

} // namespace

QString NumberText(double value)
{
    return QString::number(value, 'g', 10);
}

TelegramDecoder TelegramDecoder::fromProject(const AppContext &ctx, const ProjectData &data)
{
    TelegramDecoder decoder;
    decoder.m_ctx = &ctx;
    const GroupAddressPlan plan = BuildGroupAddressPlan(ctx, data.protocolCode, data.settings, data.table);
    for (const PlanAddress &a : plan.addresses) {
        GroupInfo info;
        info.group = a.address;
        info.name = a.name;
        info.signalName = SignalName(ctx, plan.type, a.code);
        info.dpt = a.dpt;
        info.range = SignalRange(ctx, plan.type, a.code);
        decoder.m_groups.insert(a.address, info);
    }
    return decoder;
}

TelegramDecoder TelegramDecoder::forOpenProject(AppContext &ctx)
{
    TelegramDecoder empty;
    empty.m_ctx = &ctx;
    const qint16 code = qint16(ProjectProtocolCode(ctx));
    // A project without a stored table has no addresses yet; a table that cannot be read has its
    // message where it is edited or loaded, not here.
    if (ctx.ProjectDir.isEmpty() || !QFileInfo::exists(ctx.ProjectDir + QLatin1Char('/') + SignalTableFileName(ctx, code)))
        return empty;
    ProjectData data;
    if (!LoadProjectData(ctx, data, true))
        return empty;
    return fromProject(ctx, data);
}

const GroupInfo *TelegramDecoder::find(qint16 group) const
{
    const auto it = m_groups.constFind(group);
    return it == m_groups.constEnd() ? nullptr : &*it;
}

QString TelegramDecoder::nameOf(qint16 group) const
{
    const GroupInfo *info = find(group);
    return info ? info->name : QString();
}

QString TelegramDecoder::decodeGroupValue(qint16 group, double value) const
{
    const GroupInfo *info = find(group);
    if (!info || !m_ctx)
        return {};
    const int main = info->dpt.main;
    // A value the bus could not carry in the address's type is shown as it came, marked.
    if ((main == 1 || main == 5 || main == 9) && !EncodeValue(info->dpt, value))
        return NumberText(value) + QStringLiteral(" (") + m_ctx->GetText(QStringLiteral("TLG2"))
             + QLatin1Char(' ') + info->dpt.number() + QLatin1Char(')');
    return ValueText(*m_ctx, info->dpt, value, info->range, info->signalName);
}

DecodedFrame TelegramDecoder::decodeFrame(QStringView frame) const
{
    DecodedFrame out;
    QString firstWord;
    bool afterGroup = false;
    QRegularExpressionMatchIterator it = tokenPattern().globalMatch(frame);
    while (it.hasNext()) {
        const QRegularExpressionMatch m = it.next();
        if (m.hasCaptured(1)) {
            const int main = m.capturedView(1).toInt();
            const int middle = m.capturedView(2).toInt();
            const int sub = m.capturedView(3).toInt();
            if (main > 15 || middle > 7 || sub > 255) {
                afterGroup = false;
                continue;
            }
            FoundGroup found;
            found.group = qint16(main * 2048 + middle * 256 + sub);
            found.text = m.captured(0);
            found.info = find(found.group);
            out.groups.append(found);
            afterGroup = true;
        } else if (m.hasCaptured(4)) {
            if (out.source.isEmpty())
                out.source = m.captured(0);
        } else if (m.hasCaptured(7)) {
            // Bytes of the telegram ("$0C $7E", "0x0C7E"), decoded in the address's type below.
            if (afterGroup && !out.groups.back().value)
                out.groups.back().bytes += QByteArray::fromHex(m.capturedView(7).toLatin1());
        } else if (m.hasCaptured(8)) {
            // The value belongs to the last address before it, once.
            if (afterGroup && !out.groups.back().value && out.groups.back().bytes.isEmpty()) {
                QString number = m.captured(8);
                number.replace(QLatin1Char(','), QLatin1Char('.'));
                out.groups.back().value = number.toDouble();
            }
        } else if (out.service.isEmpty()) {
            out.service = serviceName(m.captured(9));
            if (firstWord.isEmpty() && !out.groups.isEmpty())
                firstWord = m.captured(9);
        }
    }
    for (FoundGroup &found : out.groups) {
        if (!found.bytes.isEmpty() && found.info)
            found.value = DecodeValue(found.info->dpt, found.bytes);
    }
    if (out.service.isEmpty())
        out.service = firstWord;
    return out;
}

std::optional<GroupReport> TelegramDecoder::parseReport(QStringView line)
{
    // "GP:01/2/003=21.5": the "=" stands at position 12 whenever the address is padded.
    if (!line.startsWith(kGroupPrefix) || line.size() < 12 || line[11] != u'=' || line[5] != u'/' || line[7] != u'/')
        return std::nullopt;
    const qint16 group = GroupTextToNumber(line.mid(3, 8));
    if (group <= 0)
        return std::nullopt;
    return GroupReport{group, LeadingNumber(line.mid(12))};
}

QString TelegramDecoder::describe(const FoundGroup &found) const
{
    // Without a project's addresses there is nothing to name, and nothing to mark as outside.
    if (isEmpty())
        return {};
    if (!found.info)
        return found.text + QStringLiteral(": ") + (m_ctx ? m_ctx->GetText(QStringLiteral("TLG1")) : QString());
    QString text = found.info->name;
    if (found.value)
        text += QStringLiteral(" = ") + decodeGroupValue(found.group, *found.value);
    else if (!found.bytes.isEmpty()) // bytes of another size than the type's
        text += QStringLiteral(" = $") + QString::fromLatin1(found.bytes.toHex(' ').toUpper()) + QStringLiteral(" (")
              + m_ctx->GetText(QStringLiteral("TLG2")) + QLatin1Char(' ') + found.info->dpt.number() + QLatin1Char(')');
    return text;
}

QString TelegramDecoder::describe(const DecodedFrame &frame) const
{
    QString text;
    if (isEmpty())
        return text;
    for (const FoundGroup &found : frame.groups) {
        if (!text.isEmpty())
            text += QStringLiteral("; ");
        text += describe(found);
    }
    return text;
}

QString TelegramDecoder::describeReport(QStringView line) const
{
    const std::optional<GroupReport> report = parseReport(line);
    if (!report)
        return {};
    FoundGroup found{report->group, line.mid(3, 8).toString(), find(report->group), report->value, {}};
    return describe(found);
}

} // namespace tarveon
