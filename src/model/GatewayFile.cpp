#include "model/GatewayFile.h"

#include "app/AppContext.h"
#include "app/Files.h"
#include "app/Protocols.h"
#include "app/Text.h"
#include "model/ProjectSettings.h"
#include "model/GroupAddress.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <limits>

namespace tarveon {

namespace {

constexpr int kHeaderTextLength = 62;
constexpr int kIpFieldLength = 16;

// Appends little-endian numbers and raw bytes, field after field, without any padding.
class ByteWriter {
public:
    explicit ByteWriter(qsizetype expected) { m_bytes.reserve(expected); }

    void byte(quint8 value) { m_bytes.append(char(value)); }
    void int16(qint16 value)
    {
        const quint16 v = quint16(value);
        m_bytes.append(char(v & 0xFF));
        m_bytes.append(char(v >> 8));
    }
    void int32(qint32 value)
    {
        const quint32 v = quint32(value);
        for (int shift = 0; shift < 32; shift += 8)
            m_bytes.append(char((v >> shift) & 0xFF));
    }
    void zeros(int count) { m_bytes.append(count, '\0'); }
    void raw(const QByteArray &bytes) { m_bytes.append(bytes); }

    const QByteArray &bytes() const { return m_bytes; }

private:
    QByteArray m_bytes;
};

// "KORVANE-", family, "-V.1.0 ", time, blanks to 62 characters, CR LF.
QByteArray headerLine(const GatewayFileSettings &s)
{
    QByteArray line = toCp1252(QStringLiteral("KORVANE-") + s.family + QStringLiteral("-V.1.0 ")
                               + s.time.toString(QStringLiteral("yyyy/MM/dd HH:mm:ss")));
    line = line.left(kHeaderTextLength);
    line.append(kHeaderTextLength - line.size(), ' ');
    line.append("\r\n");
    return line;
}

// An IP text: the text, one NUL, blanks up to 16 bytes; 16 or more characters give the first 16.
QByteArray ipField(const QString &text)
{
    QByteArray field = toCp1252(text);
    if (field.size() >= kIpFieldLength)
        return field.left(kIpFieldLength);
    field.append('\0');
    field.append(kIpFieldLength - field.size(), ' ');
    return field;
}

// The integer at the start of a cell or setting, kept within 32 bits.
qint32 leadingInt(QStringView text)
{
    return qint32(std::clamp<qint64>(LeadingInteger(text), std::numeric_limits<qint32>::min(),
                                     std::numeric_limits<qint32>::max()));
}

// A project setting taken as the number at the start of its text.
qint32 numberSetting(const AppContext &ctx, const QString &section, const QString &key, const QString &defaultText)
{
    return leadingInt(ctx.ini.ReadProjectSetting(section, key, defaultText));
}

qint16 toInt16(qint32 value)
{
    return qint16(std::clamp<qint32>(value, std::numeric_limits<qint16>::min(), std::numeric_limits<qint16>::max()));
}

} // namespace

GatewayFileSettings CollectGatewayFileSettings(const AppContext &ctx, int protocolCode,
                                               const ProjectSettings &settings)
{
    GatewayFileSettings s;
    const QString eib = ctx.ProtocolNames[protocol::Eib];
    const QString protocol = ctx.ProtocolNames[size_t(protocolCode)];

    // A hand-edited protocol name in lower case makes the same file as the upper-case one.
    s.family = ctx.ProtocolFamily.toUpper();
    if (s.family.isEmpty())
        s.family = protocol.section(QLatin1Char('-'), 0, 0);
    s.time = ctx.clock();

    s.tS_ChekEIB = std::max(numberSetting(ctx, eib, QStringLiteral("tS_ChekEIB"), QStringLiteral("60")), 5);
    s.tMS_WaitUpdate = std::max(numberSetting(ctx, eib, QStringLiteral("tMS_WaitUpdate"), QStringLiteral("2000")), 500);
    s.tMS_WaitInConect =
        std::max(numberSetting(ctx, eib, QStringLiteral("tMS_WaitInConect"), QStringLiteral("6000")), 6000);
    s.UpdateOnResetoErrEIB =
        numberSetting(ctx, eib, QStringLiteral("UpdateOnResetoErrEIB"), QStringLiteral("0")) != 0 ? 1 : 0;
    s.physicalAddress = PhysicalTextToNumber(settings.phyAdd);
    // Negative delays cannot be entered; they are written as 0 rather than wrapping round.
    s.tS_DelayUpdateBus =
        quint8(std::clamp(ctx.ini.ReadProjectSettingInt(eib, QStringLiteral("tS_DelayUpdateBus"), 4), 0, 9));
    s.ip = settings.ip;
    s.netMask = settings.netMask;
    s.gateway = settings.gateway;
    s.Nagle = numberSetting(ctx, protocol, QStringLiteral("Nagle"), QStringLiteral("1")) != 0 ? 1 : 0;
    s.TmConnectTRBAS_s =
        toInt16(std::max(numberSetting(ctx, protocol, QStringLiteral("TmConnectTRBAS_s"), QStringLiteral("10")), 1));
    s.TmResponseTRBAS_s =
        toInt16(std::max(numberSetting(ctx, protocol, QStringLiteral("TmResponseTRBAS_s"), QStringLiteral("2")), 1));
    s.pollingMs = std::max(leadingInt(settings.pollingMs), 0);
    return s;
}

QByteArray BuildGatewayFileContent(const GatewayModel &model, const GatewayFileSettings &s)
{
    const int recordSize = model.unitProject ? 81 : 37;
    ByteWriter w(313 + 11 * model.GruposEIB.size() + 2 * model.EnlacesEIB.size() + recordSize * model.devices.size());

    w.raw(headerLine(s));          // 0
    w.zeros(63);                   // 64
    w.byte(0);                     // 127
    w.byte(0);                     // 128
    w.int32(s.tS_ChekEIB);         // 129
    w.int32(s.tMS_WaitUpdate);     // 133
    w.int32(100);                  // 137
    w.int32(5);                    // 141
    w.int32(100);                  // 145
    w.int32(s.tMS_WaitInConect);   // 149
    w.byte(s.UpdateOnResetoErrEIB); // 153
    w.int32(s.physicalAddress);    // 154
    w.byte(s.tS_DelayUpdateBus);   // 158
    w.zeros(15);                   // 159
    w.raw(ipField(s.ip));          // 174
    w.raw(ipField(s.netMask));     // 190
    w.raw(ipField(s.gateway));     // 206
    w.int32(s.physicalAddress);    // 222
    w.byte(s.Nagle);               // 226
    w.zeros(16);                   // 227
    w.int16(s.TmConnectTRBAS_s);   // 243
    w.int16(s.TmResponseTRBAS_s);  // 245
    w.int32(s.pollingMs);          // 247
    w.zeros(16);                   // 251
    QByteArray remip = toCp1252(model.remote.remip).left(16);
    remip.append(16 - remip.size(), ' ');
    w.raw(remip);                  // 267
    w.int32(model.remote.remport); // 283
    w.int16(model.remote.idxAlarma); // 287
    w.byte(model.unitProject ? 1 : 0); // 289
    w.zeros(15);                   // 290
    w.int16(model.PrimerGrupoEIBno0); // 305
    w.int16(qint16(model.GruposEIB.size())); // 307
    for (const GroupRecord &g : model.GruposEIB) {
        w.int16(g.Grupo);
        w.int16(g.IdxPuntos);
        w.int16(g.IdxEnlaces);
        w.byte(g.NEnlaces);
        w.byte(g.Flags);
        w.byte(g.TipoEIS);
        w.int16(g.GrupoU);
    }
    w.int16(qint16(model.EnlacesEIB.size()));
    for (qint16 link : model.EnlacesEIB)
        w.int16(link);
    w.int16(model.NUnits);
    const int bits = model.bitSlots();
    const int values = model.valueSlots();
    for (const UnitRecord &d : model.devices) {
        w.byte(d.Sys);
        w.byte(d.Uni);
        w.int16(d.idxCom);
        for (int i = 0; i < bits; ++i)
            w.int16(d.idxDatosPropBit[size_t(i)]);
        w.byte(d.NProps);
        for (int i = 0; i < values; ++i)
            w.int16(d.idxDatosProp[size_t(i)]);
    }
    return w.bytes();
}

qint32 GatewayFileChecksum(const QByteArray &content)
{
    qint32 sum = 0;
    for (char c : content)
        sum += qint32(quint8(c));
    return sum;
}

QByteArray BuildGatewayFileBytes(const GatewayModel &model, const GatewayFileSettings &fileSettings)
{
    const QByteArray content = BuildGatewayFileContent(model, fileSettings);
    ByteWriter w(content.size() + 4);
    w.int32(GatewayFileChecksum(content));
    w.raw(content);
    return w.bytes();
}

QVector<GroupRecord> ReadGatewayFileGroups(QByteArrayView file)
{
    // After the checksum: the header line, the group count at 307 and the 11-byte records from 309.
    constexpr qsizetype kCount = 4 + 307, kRecords = 4 + 309, kRecordSize = 11;
    const auto int16At = [&](qsizetype at) { return qint16(quint8(file[at]) | quint8(file[at + 1]) << 8); };
    QVector<GroupRecord> groups;
    if (file.size() < kRecords || !file.sliced(4).startsWith("KORVANE-"))
        return groups;
    const int count = int16At(kCount);
    if (count < 0 || file.size() < kRecords + count * kRecordSize)
        return groups;
    for (int i = 0; i < count; ++i) {
        const qsizetype at = kRecords + i * kRecordSize;
        groups.append({int16At(at), int16At(at + 2), int16At(at + 4), quint8(file[at + 6]), quint8(file[at + 7]),
                       quint8(file[at + 8]), int16At(at + 9)});
    }
    return groups;
}

QString GatewayFilePath(const AppContext &ctx, int protocolCode)
{
    return QDir(ctx.ProjectDir).filePath(ctx.ProtocolNames[size_t(protocolCode)] + QStringLiteral(".zdm"));
}

QString WriteGatewayFile(const QString &path, const QByteArray &bytes, const SaveDeviceFactory &device)
{
    // An old file must not survive a failed run: the upload would send it as if it were new.
    // The upload looks for the name without regard to case, so every spelling goes.
    const QFileInfo info(path);
    const QDir dir = info.absoluteDir();
    const QStringList entries = dir.entryList(QDir::Files | QDir::Hidden | QDir::System);
    for (const QString &entry : entries) {
        if (entry.compare(info.fileName(), Qt::CaseInsensitive) == 0)
            QFile::remove(dir.filePath(entry));
    }
    return saveFileAtomically(path, bytes, nullptr, device);
}

Faults GenerateResult::messages() const
{
    Faults out = faults;
    if (ok)
        out.append(Fault{QStringLiteral("X39"), report});
    return out;
}

GenerateResult GenerateGatewayFile(AppContext &ctx, int protocolCode, const ProjectSettings &settings,
                                   const SignalTable &table)
{
    GenerateResult result;
    if (protocolCode < 0 || protocolCode >= int(ctx.ProtocolNames.size()))
        protocolCode = 0;
    // The open project's settings file is named after its protocol.
    ctx.IniFileName = ctx.ProtocolNames[size_t(protocolCode)];

    GatewayModel model;
    if (!BuildGatewayModel(ctx, protocolCode, settings, table, model, result.faults))
        return result;
    result.modelBuilt = true;

    const GatewayFileSettings fileSettings = CollectGatewayFileSettings(ctx, protocolCode, settings);
    result.bytes = BuildGatewayFileBytes(model, fileSettings);
    result.path = GatewayFilePath(ctx, protocolCode);
    result.checksum = GatewayFileChecksum(result.bytes.mid(4));
    result.groups = qint16(model.GruposEIB.size());
    result.links = qint16(model.EnlacesEIB.size());

    result.error = WriteGatewayFile(result.path, result.bytes, ctx.saveDevice);
    if (!result.error.isEmpty()) {
        result.faults.append(Fault{QStringLiteral("X32"), ctx.GetText(QStringLiteral("X32")) + result.path
                                                              + QStringLiteral("\rError: \r") + result.error});
        return result;
    }
    result.ok = true;
    result.report = ctx.GetText(QStringLiteral("X39")) + QStringLiteral(" EIB:") + QString::number(result.groups)
                    + QStringLiteral(" Add.Listen:") + QString::number(result.links) + QStringLiteral(" Bytes:")
                    + QString::number(result.bytes.size()) + QStringLiteral(". ChkSum:")
                    + QString::number(result.checksum, 16).toUpper() + QLatin1Char('\r')
                    + ctx.GetText(QStringLiteral("A20"));
    return result;
}

} // namespace tarveon
