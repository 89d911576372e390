#pragma once
#include "app/Files.h"
#include "model/GatewayModel.h"

#include <QByteArray>
#include <QDateTime>
#include <QString>

namespace tarveon {

// The network and timing parameters of the gateway configuration file, as they are written
// (defaults applied and out-of-range values clamped).
struct GatewayFileSettings {
    QString family;               // protocol family in the header line, e.g. "ZTR001"
    QDateTime time;               // local time stamp of the header line
    qint32 tS_ChekEIB = 60;
    qint32 tMS_WaitUpdate = 2000;
    qint32 tMS_WaitInConect = 6000;
    quint8 UpdateOnResetoErrEIB = 0;
    qint32 physicalAddress = 65535;
    quint8 tS_DelayUpdateBus = 4;
    QString ip;
    QString netMask;
    QString gateway;
    quint8 Nagle = 1;
    qint16 TmConnectTRBAS_s = 10;
    qint16 TmResponseTRBAS_s = 2;
    qint32 pollingMs = 1000;
};

// Collects the parameters: the editor-side ones from `settings`, the others from the project
// settings file (ctx.ProjectDir, ctx.IniFileName), the time stamp from ctx.clock and the family
// from ctx.ProtocolFamily (or the protocol name up to its first "-" when that is empty).
GatewayFileSettings CollectGatewayFileSettings(const AppContext &ctx, int protocolCode,
                                               const ProjectSettings &settings);

// The content C of the file (everything after the checksum), little-endian and packed.
QByteArray BuildGatewayFileContent(const GatewayModel &model, const GatewayFileSettings &fileSettings);
// The sum of all bytes of the content, each taken as 0..255.
qint32 GatewayFileChecksum(const QByteArray &content);
// The whole file: the checksum as Int32 followed by the content.
QByteArray BuildGatewayFileBytes(const GatewayModel &model, const GatewayFileSettings &fileSettings);

// The group records of a whole file (checksum first), as they were written; empty when the bytes
// are not a gateway configuration file or end inside the records.
QVector<GroupRecord> ReadGatewayFileGroups(QByteArrayView file);

// ProjectDir / protocol name + ".zdm".
QString GatewayFilePath(const AppContext &ctx, int protocolCode);

// Deletes any old file of that name (any case of the extension, failures ignored) and writes the
// bytes atomically through `device`. Returns an empty string on success, else the system's error
// description.
QString WriteGatewayFile(const QString &path, const QByteArray &bytes, const SaveDeviceFactory &device = {});

// What one generation run produced.
struct GenerateResult {
    bool ok = false;        // the file was written
    bool modelBuilt = false; // false: the model stopped ("EIB36", "EIB39", "EIB40")
    QString path;           // the file's path
    QByteArray bytes;       // the file's bytes (checksum first)
    qint32 checksum = 0;
    qint16 groups = 0;
    qint16 links = 0;
    QString report;         // the report message ("X39" ... "A20"), empty on failure
    QString error;          // the system's error description when the write failed
    Faults faults;          // the model's notices and warning, then its stop or the "X32" message

    // Everything to show, in order: the faults, then the report of a written file.
    Faults messages() const;
};

// One generation run: builds the model and writes the file into the project directory through
// ctx.saveDevice. On a model stop nothing is written; on a write failure the faults end with the
// "X32" message. Shows nothing. Sets ctx.IniFileName to the protocol's name, as the editor does
// when it opens, so that the project settings file is the one read.
GenerateResult GenerateGatewayFile(AppContext &ctx, int protocolCode, const ProjectSettings &settings,
                                   const SignalTable &table);

} // namespace tarveon
