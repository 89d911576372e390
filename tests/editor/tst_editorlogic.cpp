// The editor's logic without windows: the catalogue's tables, the flag rules, the grid controller
// over the table models (keys, key filter, bit rows and sorting) and the checks of the accept.
#include "EditorFixture.h"
#include "editor/AcceptChecks.h"
#include "editor/FlagRules.h"
#include "editor/GridController.h"
#include "editor/SignalTableModel.h"
#include "editor/VisibleRowsModel.h"
#include "model/GroupAddress.h"

using namespace tarveon;
using namespace tarveon::test;

namespace {

// The device block of tests/data/catalogue-*.txt: code, caption, description, EIS, flags, class.
QList<QStringList> block(MachineType type)
{
    QList<QStringList> out;
    const QString text = QString::fromUtf8(dataFile(type == MachineType::IndoorUnits ? "catalogue-units.txt"
                                                                                     : "catalogue-chillers.txt"));
    for (const QString &line : text.split('\n', Qt::SkipEmptyParts)) {
        if (!line.startsWith('#'))
            out.append(line.split('|'));
    }
    return out;
}

// A grid of the machine type as the editor opens it, with its controller.
struct Grid {
    Grid(const AppContext &ctx, int protocol, int devices)
    {
        ColumnInfos columns;
        SignalTable table = BuildSignalTable(ctx, BuildCodeLegend(ctx, MachineTypeOf(protocol)), devices, columns);
        model.setTable(std::move(table), std::move(columns));
        visible.setSourceModel(&model);
        controller.reset(protocol);
    }
    QVector<int> hiddenRows() const
    {
        QVector<int> rows;
        for (int r = 1; r < model.gridRowCount(); ++r) {
            if (model.isRowHidden(r))
                rows << r;
        }
        return rows;
    }
    SignalTableModel model;
    VisibleRowsModel visible;
    GridController controller{model, visible};
};

} // namespace

Q_DECLARE_METATYPE(tarveon::MachineType)

class TestEditorLogic : public QObject {
    Q_OBJECT
    TestContext t;

private slots:
    void catalogue_data()
    {
        QTest::addColumn<MachineType>("type");
        QTest::addColumn<int>("devices");
        QTest::newRow("no unit") << MachineType::IndoorUnits << 0;
        QTest::newRow("three units") << MachineType::IndoorUnits << 3;
        QTest::newRow("three chillers") << MachineType::Chillers << 3;
    }
    void catalogue()
    {
        QFETCH(MachineType, type);
        QFETCH(int, devices);
        // Every key shows as "<key>", so each cell tells the keys it was made of.
        TestContext own(false);
        AppContext &ctx = *own.ctx;
        const std::pair<const char *, int> keys[] = {{"X", 109}, {"A", 134}, {"H", 66}, {"EIB", 46}, {"G", 503}};
        QHash<QString, QString> markers;
        for (const auto &[prefix, last] : keys) {
            for (int i = 1; i <= last; ++i)
                markers.insert(prefix + QString::number(i), QStringLiteral("<%1%2>").arg(prefix).arg(i));
        }
        ctx.language.setTexts(markers);
        Grid g(ctx, InfoOf(type).protocolCode, devices);
        const SignalTable &table = g.model.table();
        const QList<QStringList> expected = block(type);
        QCOMPARE(table.rowCount(), 2 + devices * int(expected.size() - 1));
        int r = 0;
        for (int d = 1; d <= devices; ++d) {
            for (qsizetype i = 0; i < expected.size(); ++i) {
                const QStringList &e = expected[i];
                if (e[0] == "100" && d > 1)
                    continue;
                const SignalRow &row = table.rows[++r];
                const QString kind = e[5];
                QCOMPARE(QStringList({row[0], row[1], row[2], row[3], row[4], flagsOf(row), row[11]}),
                         QStringList({QString::number(r), QString::number(d), e[1], e[2], EisCaption(e[3].toInt()),
                                      e[4], "<X9>"}));
                QCOMPARE(g.model.findRow(d, e[0].toInt()), r);
                QCOMPARE(row.mark, qint16(kind == "h" ? 1 : 0));
                const quint32 colour = kind == "s" ? kStatusRowColour : kind == "h" ? kGroupHeadColour
                                       : kind == "o" ? 0u : kBitRowColour;
                QCOMPARE(g.model.cellBackground(r, kColCode), colour);
                QCOMPARE(g.model.cellBackground(r, kColYesNo), kind == "s" ? colour : 0u);
                if (kind != "h" || d != 2)
                    continue;
                // A head hides exactly the bit and step rows that follow it, and shows them again.
                QVector<int> bits;
                for (qsizetype b = i + 1; b < expected.size() && QString("bp").contains(expected[b][5]); ++b)
                    bits << r + int(b - i);
                QVERIFY(g.model.setGroupShown(type, r, false));
                QCOMPARE(g.hiddenRows(), bits);
                QCOMPARE(g.model.rowMark(r), qint16(2));
                QVERIFY(g.model.setGroupShown(type, r, true));
                QCOMPARE(g.hiddenRows(), QVector<int>());
            }
        }
        QCOMPARE(own.prompter.texts(), QStringList()); // no key was missing
    }

    void flagRules_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("U clears R, sets W") << 70 << 0 << "R--U" << "-W-U";
        QTest::newRow("U2 keeps R, R sets T") << 70 << 0 << "R--U2" << "RWTU2";
        QTest::newRow("no R keeps T") << 70 << 17 << "--T-" << "--T-";
        QTest::newRow("unit 5 writable") << 70 << 5 << "-W-U" << "-W-U";
        QTest::newRow("unit 6 read-only") << 70 << 6 << "RW-U" << "R-T-";
        QTest::newRow("unit 16 read-only") << 70 << 16 << "-W-U" << "----";
        QTest::newRow("unit 17 writable") << 70 << 17 << "-W-U" << "-W-U";
        QTest::newRow("unit 32 writable") << 70 << 32 << "-W--" << "-W--";
        QTest::newRow("unit 33 read-only") << 70 << 33 << "RWTU" << "R-T-";
        QTest::newRow("unit 36 read-only") << 70 << 36 << "-W--" << "----";
        QTest::newRow("unit step 23") << 70 << 23 << "RWT-" << "-W--";
        QTest::newRow("unit step 37") << 70 << 37 << "R-TU" << "-W-U";
        QTest::newRow("unit 99 writable") << 70 << 99 << "-W--" << "-W--";
        QTest::newRow("unit 100 read-only") << 70 << 100 << "-W-U2" << "----";
        QTest::newRow("chiller 2 writable") << 71 << 2 << "-W--" << "-W--";
        QTest::newRow("chiller 3 read-only") << 71 << 3 << "RW-U" << "R-T-";
        QTest::newRow("chiller 9 read-only") << 71 << 9 << "-W--" << "----";
        QTest::newRow("chiller 10 writable") << 71 << 10 << "R--U" << "-W-U";
        QTest::newRow("chiller 14 read-only") << 71 << 14 << "-W--" << "----";
        QTest::newRow("chiller step 15") << 71 << 15 << "RWT-" << "-W--";
    }
    void flagRules()
    {
        QFETCH(int, protocol);
        QFETCH(int, code);
        QFETCH(QString, before);
        QFETCH(QString, after);
        SignalRow row;
        row[kColCode] = QString::number(code) + " - Signal";
        setFlags(row, before);
        NormaliseRow(row, protocol);
        QCOMPARE(flagsOf(row), after);
    }

    void gridKeys_data()
    {
        QTest::addColumn<int>("column");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QChar>("key");
        QTest::addColumn<QString>("after");
        QTest::addColumn<int>("result");
        const int stored = int(GridKey::Stored), ignored = int(GridKey::Ignored);
        QTest::newRow("r sets R") << int(kColR) << "" << QChar('r') << "R" << stored;
        QTest::newRow("blank clears R") << int(kColR) << "R" << QChar(' ') << "" << stored;
        QTest::newRow("x ignored in R") << int(kColR) << "R" << QChar('x') << "R" << ignored;
        QTest::newRow("r ignored in W") << int(kColW) << "" << QChar('r') << "" << ignored;
        QTest::newRow("u in U") << int(kColU) << "" << QChar('u') << "U" << stored;
        QTest::newRow("1 in use") << int(kColYesNo) << "0 - No" << QChar('1') << "1 - Yes" << stored;
        QTest::newRow("0 in use") << int(kColYesNo) << "1 - Yes" << QChar('0') << "0 - No" << stored;
        QTest::newRow("5 ignored in use") << int(kColYesNo) << "0 - No" << QChar('5') << "0 - No" << ignored;
        QTest::newRow("fixed description") << int(kColDescription) << "d" << QChar('a') << "d" << ignored;
        QTest::newRow("text starts the edit") << int(kColAddress) << "" << QChar('1') << "" << int(GridKey::Edit);
        QTest::newRow("Tab in a choice moves on") << int(kColT) << "" << QChar('\t') << "" << int(GridKey::MoveNext);
    }
    void gridKeys()
    {
        QFETCH(int, column);
        QFETCH(QString, before);
        QFETCH(QChar, key);
        QFETCH(QString, after);
        QFETCH(int, result);
        Grid g(*t.ctx, 70, 1);
        g.model.setCell(3, column, before);
        g.controller.goToCell({3, column});
        g.controller.clearChanged();
        QCOMPARE(int(g.controller.keyPress(key)), result);
        QCOMPARE(g.model.cell(3, column), after);
        QCOMPARE(g.controller.tableChanged(), result != int(GridKey::Ignored) && result != int(GridKey::MoveNext));
        QCOMPARE(g.controller.cellsEdited(), before != after);
    }

    void keyFilter_data()
    {
        QTest::addColumn<int>("kind");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("passed");
        QTest::newRow("text") << int(ContentKind::Text) << "a.b/" << "a.b/";
        QTest::newRow("number") << int(ContentKind::Integer) << "-12x.5\b" << "-125\b";
        QTest::newRow("long") << int(ContentKind::Long) << "7+7" << "77";
        QTest::newRow("decimal point becomes comma") << int(ContentKind::Decimal) << "+1.5e," << "+1,5,";
        QTest::newRow("hexadecimal") << int(ContentKind::Hex) << "fAgG9-" << "fA9";
    }
    void keyFilter()
    {
        QFETCH(int, kind);
        QFETCH(QString, typed);
        QFETCH(QString, passed);
        Grid g(*t.ctx, 70, 1);
        g.model.setColumnFormat(kColAddress, {800, ContentKind(kind), CellAlignment::LeftCentre});
        QString out;
        for (QChar c : typed) {
            if (g.controller.filterKey(kColAddress, c))
                out += c;
        }
        QCOMPARE(out, passed);
    }

    // A group head's bit rows are its own bit signals wherever a sort puts them.
    void bitRowsAfterSorting()
    {
        Grid g(*t.ctx, 70, 2);
        GridController &c = g.controller;
        c.ToggleBits(true);
        const QVector<int> hiddenInOrder = g.hiddenRows();
        QCOMPARE(hiddenInOrder.size(), 2 * 20);
        QCOMPARE(g.visible.rowCount(), 79 - 40);
        c.sortByColumn(kColCode); // ascending: the code captions scatter the groups
        c.sortByColumn(kColDescription); // descending
        QCOMPARE(g.hiddenRows().size(), 40);
        c.ToggleBits(true);
        QCOMPARE(g.hiddenRows(), QVector<int>());
        QCOMPARE(g.visible.rowCount(), 79);
        // Device 2's Mode head hides codes 18 to 23 of device 2, and nothing else.
        c.setCurrentQuietly({g.model.findRow(2, 1), kColCode});
        c.ToggleBits(false);
        QVector<int> mode;
        for (int code = 18; code <= 23; ++code)
            mode << g.model.findRow(2, code);
        std::sort(mode.begin(), mode.end());
        QCOMPARE(g.hiddenRows(), mode);
        c.ToggleBits(false);
        // Hidden before the sort is reversed: the catalogue order comes back with the same rows hidden.
        c.ToggleBits(true);
        c.sortByColumn(kColRowNumber); // the third sort: ascending
        QCOMPARE(g.model.cell(1, kColRowNumber), QStringLiteral("1"));
        QCOMPARE(g.hiddenRows(), hiddenInOrder);
    }

    void acceptChecks_data()
    {
        QTest::addColumn<QString>("change");
        QTest::addColumn<int>("check");
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("row");
        QTest::addColumn<int>("column");
        QTest::addColumn<int>("rows"); // after the checks
        using F = AcceptFault;
        QTest::newRow("passes: blank rows go, rules on rows in use") << "blank" << int(F::None) << "" << -1 << -1 << 40;
        QTest::newRow("W on a read-only signal loses its only flag")
            << "readonly" << int(F::Validation) << "EIB2" << 25 << int(kColAddress) << 41;
        QTest::newRow("unknown code 38") << "code" << int(F::Code) << "A8" << 3 << int(kColCode) << 41;
        QTest::newRow("devices") << "devices" << int(F::Devices) << "" << -1 << -1 << 41;
        QTest::newRow("physical address") << "phys" << int(F::PhysicalAddress) << "EIB31" << -1 << -1 << 41;
    }
    void acceptChecks()
    {
        QFETCH(QString, change);
        QFETCH(int, check);
        QFETCH(QString, key);
        QFETCH(int, row);
        QFETCH(int, column);
        QFETCH(int, rows);
        Grid g(*t.ctx, 70, 1);
        SignalTable table = g.model.table();
        ProjectSettings settings;
        settings.devices = {ProjectSettings::defaultDevice(70, 1), ProjectSettings::defaultDevice(70, 2)};
        auto use = [&](int r, const QString &address, const QString &f) {
            table.rows[r][kColAddress] = address;
            setFlags(table.rows[r], f);
            table.rows[r][kColYesNo] = QStringLiteral("1 - Yes");
        };
        use(3, "1/0/1", "RW--");
        setFlags(table.rows[4], "R---"); // not in use: left as it is
        if (change == "blank")
            table.rows[10].cells.fill(QStringLiteral(" "));
        if (change == "readonly")
            use(25, "1/0/2", "-W--");
        if (change == "code")
            table.rows[3][kColCode] = QStringLiteral("38 - Unknown");
        if (change == "devices") {
            settings.devices[0].active = settings.devices[1].active = true;
            settings.devices[1].uni = QStringLiteral("1");
        }
        if (change == "phys")
            settings.phyAdd = QStringLiteral("0.0.0");
        const AcceptFault fault = RunAcceptChecks(*t.ctx, 70, settings, table);
        QCOMPARE(int(fault.check), check);
        QCOMPARE(fault.key, key);
        QCOMPARE(fault.row, row);
        QCOMPARE(fault.column, column);
        QCOMPARE(fault.messages().size(), check == AcceptFault::None ? 0 : 1);
        if (change == "devices")
            QCOMPARE(fault.message, QStringLiteral("Not allowed 2 devices with same Sytem-Unit: 0-1"));
        QCOMPARE(table.rowCount(), rows);
        QCOMPARE(flagsOf(table.rows[3]), QStringLiteral("RWT-"));
        QCOMPARE(flagsOf(table.rows[4]), QStringLiteral("R---"));
        QCOMPARE(table.rows[rows - 1][kColRowNumber], QString::number(rows - 1));
        QCOMPARE(table.rowKeys.value("1-17"), rows - 1);
    }
};

QTEST_GUILESS_MAIN(TestEditorLogic)
#include "tst_editorlogic.moc"
