#pragma once
#include "editor/SignalCatalogue.h"
#include "model/DatapointTypes.h"

#include <QHash>
#include <QString>
#include <QStringView>
#include <QVector>
#include <optional>

namespace tarveon {

class AppContext;
struct ProjectData;

// A group address of the open project as the on-line tools name and decode it.
struct GroupInfo {
    qint16 group = 0;
    QString name;        // the device's name and the signal's caption: "Room 101 Setpoint"
    QString signalName;  // the signal's own name ("Mode"), for counters with meanings
    Dpt dpt;
    RangeText range;     // the catalogue's limits and meanings of the signal
};

// A group address met in a text, with the value found beside it.
struct FoundGroup {
    qint16 group = 0;
    QString text;                 // the address as the text writes it ("03/7/003", "3/7/3")
    const GroupInfo *info = nullptr; // null: not in the project
    std::optional<double> value;  // the number written after it, or its bytes decoded
    QByteArray bytes;             // the bytes written after it ("$0C $7E"), when the frame shows them
};

// What a traffic line's frame text shows: its source, service, the group addresses and values.
struct DecodedFrame {
    QString source;   // physical address "1.1.12", when the frame shows one
    QString service;  // the first word after the source ("Write", "Read", "Response")
    QVector<FoundGroup> groups;
};

// A "GP:" value report: "GP:" & padded address & "=" & number.
struct GroupReport {
    qint16 group = 0;
    double value = 0.0;
};

// A value as a frame writes it, without rounding: "670760.97", "-5.25", "3".
QString NumberText(double value);

// Names and decodes the group addresses of the open project for the monitors, the signal viewer
// and the command line: every address the gateway file holds, with the name and datapoint type
// the ETS export gives it. Empty (every address unknown) without a project.
class TelegramDecoder {
public:
    TelegramDecoder() = default;
    static TelegramDecoder fromProject(const AppContext &ctx, const ProjectData &data);
    // The project open in ctx; empty, without a message, when it has no signal table file yet.
    static TelegramDecoder forOpenProject(AppContext &ctx);

    bool isEmpty() const { return m_groups.isEmpty(); }
    const GroupInfo *find(qint16 group) const;
    // "Room 101 Setpoint"; empty when the address is not in the project.
    QString nameOf(qint16 group) const;
    // The value in the address's datapoint type as a person reads it ("23.40 °C", "On",
    // "Mode 1 Cool"); empty when the address is not in the project, a marked number when the
    // value does not fit its type.
    QString decodeGroupValue(qint16 group, double value) const;

    // Reads a frame text tolerantly: every three-level group address (padded or not), the value
    // after each (a number, "." or "," as decimal point, or the telegram's bytes as "$0C $7E" or
    // "0x0C7E"), the physical source address and the service word.
    DecodedFrame decodeFrame(QStringView frame) const;
    // A "GP:" report with the "=" at its fixed place; nothing for other lines.
    static std::optional<GroupReport> parseReport(QStringView line);

    // The decoded column of a line: per address "Room 1 Setpoint = 25.10 °C" (the frame shows the
    // address), or "3/7/3: not in the project"; several joined by "; ". Empty without an address,
    // and always empty while the decoder holds no address (no project, or one without a table).
    QString describe(const DecodedFrame &frame) const;
    QString describe(const FoundGroup &found) const;
    // The same for a "GP:" report line; empty for other lines.
    QString describeReport(QStringView line) const;

private:
    const AppContext *m_ctx = nullptr;
    QHash<qint16, GroupInfo> m_groups;
};

} // namespace tarveon
