#pragma once
// Small signal tables and device lists written by hand for the generator's tests.
#include "TestSupport.h"
#include "model/ProjectSettings.h"
#include "model/GroupAddress.h"
#include "model/SignalTable.h"

#include <QStringList>

namespace tarveon::test {

// One signal row: device, code, EIS type, own address, further addresses, flags ("RWT", "WU2",
// "RU"...), selected or not.
struct Sig {
    int device;
    int code;
    int eis;
    QString group;
    QString listen = {};
    QString flags = {};
    bool selected = true;
};

inline SignalRow makeRow(int number, const Sig &s)
{
    SignalRow row;
    row[0] = QString::number(number);
    row[1] = QString::number(s.device);
    row[2] = QString::number(s.code) + QStringLiteral(" - signal");
    row[3] = QStringLiteral("description");
    row[4] = EisCaption(s.eis);
    row[5] = s.group;
    row[6] = s.listen;
    row[7] = s.flags.contains(QLatin1Char('R')) ? QStringLiteral("R") : QString();
    row[8] = s.flags.contains(QLatin1Char('W')) ? QStringLiteral("W") : QString();
    row[9] = s.flags.contains(QLatin1Char('T')) ? QStringLiteral("T") : QString();
    row[10] = s.flags.contains(QStringLiteral("U2")) ? QStringLiteral("U2")
              : s.flags.contains(QLatin1Char('U'))   ? QStringLiteral("U")
                                                      : QString();
    // Only the leading number of the yes/no cell counts.
    row[11] = s.selected ? QStringLiteral("1") : QStringLiteral("0");
    return row;
}

inline SignalTable makeTable(const QList<Sig> &signals_)
{
    SignalTable table;
    SignalRow header;
    header[1] = QStringLiteral("Unit");
    header[7] = QStringLiteral("R");
    table.rows.append(header);
    for (const Sig &s : signals_) {
        table.rowKeys.insert(QString::number(s.device) + QLatin1Char('-') + QString::number(s.code),
                             int(table.rows.size()));
        table.rows.append(makeRow(int(table.rows.size()), s));
    }
    return table;
}

// `count` devices with their default addresses; those listed in `active` are checked.
inline ProjectSettings makeSettings(int count, const QList<int> &active, bool units = true)
{
    ProjectSettings settings;
    for (int n = 1; n <= count; ++n) {
        DeviceRecord d;
        d.sys = QString::number(units ? n / 64 : n - 1);
        d.uni = units ? QString::number(n % 64) : QStringLiteral("0");
        d.active = active.contains(n);
        settings.devices.append(d);
    }
    return settings;
}

// The messages shown, without the notices of language keys the language file lacks.
inline QStringList shownTexts(const RecordingPrompter &prompter)
{
    QStringList out;
    for (const auto &r : prompter.records) {
        if (!r.text.startsWith(QLatin1String("No text found for Key: ")))
            out << r.text;
    }
    return out;
}

} // namespace tarveon::test
