#pragma once
// Small signal tables and device lists written by hand for the generator's and the checks' tests.
#include "TestSupport.h"
#include "model/ProjectSettings.h"
#include "model/GroupAddress.h"
#include "model/SignalTable.h"

namespace tarveon::test {

// One signal row: device, code, EIS type, own and further addresses, flags ("RWT", "WU2"), selected.
struct Sig {
    int device;
    int code;
    int eis;
    QString group;
    QString listen = {};
    QString flags = {};
    bool selected = true;
};

inline SignalTable makeTable(const QList<Sig> &signals_)
{
    SignalTable table;
    table.rows.append(SignalRow{});
    table.rows[0][1] = QStringLiteral("Unit");
    for (const Sig &s : signals_) {
        const int r = int(table.rows.size());
        const auto flag = [&](const char *f) { return s.flags.contains(QLatin1String(f)) ? QString::fromLatin1(f) : QString(); };
        SignalRow row;
        row.cells = {QString::number(r), QString::number(s.device), QString::number(s.code) + QStringLiteral(" - signal"),
                     QStringLiteral("description"), EisCaption(s.eis), s.group, s.listen, flag("R"), flag("W"), flag("T"),
                     flag("U2").isEmpty() ? flag("U") : flag("U2"), s.selected ? QStringLiteral("1") : QStringLiteral("0")};
        table.rowKeys.insert(QString::number(s.device) + QLatin1Char('-') + QString::number(s.code), r);
        table.rows.append(row);
    }
    return table;
}

// `count` devices with their default addresses; those listed in `active` are checked.
inline ProjectSettings makeSettings(int count, const QList<int> &active, bool units = true)
{
    ProjectSettings settings;
    for (int n = 1; n <= count; ++n) {
        const QString sys = QString::number(units ? n / 64 : n - 1);
        settings.devices.append({sys, units ? QString::number(n % 64) : QStringLiteral("0"), {}, active.contains(n)});
    }
    return settings;
}

// The messages shown, without the notices of language keys the language file lacks.
inline QStringList shownTexts(const RecordingPrompter &prompter)
{
    QStringList out = prompter.texts();
    out.removeIf([](const QString &t) { return t.startsWith(QLatin1String("No text found for Key: ")); });
    return out;
}

} // namespace tarveon::test
