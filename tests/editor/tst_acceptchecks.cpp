#include "../model/GatewayTestTables.h"
#include "editor/AcceptChecks.h"
#include "editor/DeviceChecks.h"
#include "editor/FlagRules.h"

#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;

namespace {

// "R W T U" as four cells, "-" for an empty one.
QString flagsOf(const SignalRow &row)
{
    QStringList out;
    for (int c = 7; c <= 10; ++c)
        out << (row[c].isEmpty() ? QStringLiteral("-") : row[c]);
    return out.join(' ');
}

void setFlags(SignalRow &row, const QString &flags)
{
    const QStringList cells = flags.split(' ');
    for (int c = 7; c <= 10; ++c)
        row[c] = cells[c - 7] == "-" ? QString() : cells[c - 7];
}

} // namespace

class TestAcceptChecks : public QObject {
    Q_OBJECT

    TestContext t;

private slots:
    void flagRules_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("before");
        QTest::addColumn<QString>("after");
        QTest::newRow("unit read-only loses W and U") << 70 << 6 << "R W T U" << "R - T -";
        QTest::newRow("unit read-only 36") << 70 << 36 << "- W - U2" << "- - - -";
        QTest::newRow("unit status read-only") << 70 << 101 << "R W - -" << "R - T -";
        QTest::newRow("unit writable U") << 70 << 1 << "R - T U" << "- W T U";
        QTest::newRow("unit writable U2 keeps R") << 70 << 1 << "R - - U2" << "R W T U2";
        QTest::newRow("R sets T") << 70 << 0 << "R W - -" << "R W T -";
        QTest::newRow("no R leaves T") << 70 << 0 << "- W T -" << "- W T -";
        QTest::newRow("unit step 23") << 70 << 23 << "R W T -" << "- W - -";
        QTest::newRow("unit step 37 with U") << 70 << 37 << "R - T U" << "- W - U";
        QTest::newRow("unit 15 is read-only") << 70 << 15 << "- W - U" << "- - - -";
        QTest::newRow("chiller 15 is a step") << 71 << 15 << "R W T -" << "- W - -";
        QTest::newRow("chiller read-only 3") << 71 << 3 << "R W - U" << "R - T -";
        QTest::newRow("chiller 10 writable") << 71 << 10 << "- - - U" << "- W - U";
        QTest::newRow("chiller 100") << 71 << 100 << "R W T U" << "R - T -";
    }

    void flagRules()
    {
        QFETCH(int, protocol);
        QFETCH(int, code);
        QFETCH(QString, before);
        QFETCH(QString, after);
        SignalTable table = makeTable({{1, code, 1, "1/0/1", "", ""}});
        setFlags(table.rows[1], before);
        NormaliseRow(table, 1, protocol);
        QCOMPARE(flagsOf(table.rows[1]), after);
        // Applying the rules again changes nothing.
        NormaliseRow(table, 1, protocol);
        QCOMPARE(flagsOf(table.rows[1]), after);
    }

    void removeBlankRows()
    {
        SignalTable table = makeTable({{1, 0, 1, "1/0/1"}, {1, 1, 1, "1/0/2"}, {1, 2, 1, "1/0/3"}});
        SignalRow blank;
        blank[0] = "9";
        blank[3] = "  ";
        table.rows.insert(1, blank);
        table.rows.insert(3, blank);
        table.rowKeys = {{"1-0", 2}, {"1-1", 4}, {"1-2", 5}};
        RemoveBlankRows(table);
        QCOMPARE(table.rowCount(), 4);
        QCOMPARE(table.rows[1][5], QString("1/0/1"));
        QCOMPARE(table.rows[3][5], QString("1/0/3"));
        QCOMPARE(table.rows[2][0], QString("2"));
        QCOMPARE(table.rowKeys.value("1-1"), 2);
        QCOMPARE(table.rowKeys.value("1-2"), 3);

        // Fewer than three rows: left as it is.
        SignalTable small = makeTable({});
        small.rows.append(blank);
        RemoveBlankRows(small);
        QCOMPARE(small.rowCount(), 2);
    }

    void codeCheck()
    {
        const QString a8 = t.ctx->GetText("A8");
        SignalTable table = makeTable({{1, 0, 1, "1/0/1", "", "- - - U"},
                                       {1, 50, 1, "1/0/2", "", "W", false},
                                       {1, 101, 1, "1/0/3", "", "R W - -"},
                                       {1, 38, 1, "1/0/4", "", "W"},
                                       {1, 1, 1, "1/0/5", "", "R"}});
        table.rows[1][10] = "U";
        t.prompter.clear();
        QCOMPARE(NormaliseAndCheckCodes(*t.ctx, 70, table), 4);
        QCOMPARE(shownTexts(t.prompter), QStringList{a8});
        // Rows before the stop are normalised, the one after it not yet.
        QCOMPARE(table.rows[1][8], QString("W"));
        QCOMPARE(table.rows[3][8], QString());
        QCOMPARE(table.rows[5][9], QString());
        // Codes 100 and 101 pass; unselected rows are not examined.
        table.rows[4][11] = "0";
        t.prompter.clear();
        QCOMPARE(NormaliseAndCheckCodes(*t.ctx, 70, table), 0);
        QCOMPARE(table.rows[5][9], QString("T"));
        QVERIFY(shownTexts(t.prompter).isEmpty());
    }

    void devices_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QStringList>("devices"); // "sys/uni/checked"
        QTest::addColumn<QString>("fault");       // X85 appended when it ends in ": n"
        QTest::addColumn<bool>("rangeFault");
        QTest::newRow("units fine") << 70 << QStringList{"0/1/1", "0/2/1", "1/0/0"} << "" << false;
        QTest::newRow("units duplicate checked")
            << 70 << QStringList{"0/1/1", "0/5/1", "0/5/1"} << "Not allowed 2 devices with same Sytem-Unit: 0-5" << false;
        QTest::newRow("units duplicate unchecked") << 70 << QStringList{"0/5/1", "0/5/0"} << "" << false;
        QTest::newRow("units leading numbers") << 70 << QStringList{"0/5x/1", " 0/5/1"}
                                               << "Not allowed 2 devices with same Sytem-Unit: 0-5" << false;
        QTest::newRow("unit system 64") << 70 << QStringList{"64/1/0"} << " Sytem: 64" << true;
        QTest::newRow("unit -1") << 70 << QStringList{"0/1/1", "0/-1/0"} << " Unit: -1" << true;
        QTest::newRow("first failure wins") << 70 << QStringList{"0/70/0", "9/0/1", "9/0/1"} << " Unit: 70" << true;
        QTest::newRow("chiller 8 unchecked") << 71 << QStringList{"0/0/1", "8/0/0"} << " Sytem: 8" << true;
        QTest::newRow("chiller duplicate") << 71 << QStringList{"3/0/1", "3/0/1"}
                                           << "Not allowed 2 devices with same Sytem: 3" << false;
        QTest::newRow("chillers fine") << 71 << QStringList{"0/0/1", "7/0/1"} << "" << false;
    }

    void devices()
    {
        QFETCH(int, protocol);
        QFETCH(QStringList, devices);
        QFETCH(QString, fault);
        QFETCH(bool, rangeFault);
        QVector<DeviceRecord> list;
        for (const QString &d : devices) {
            const QStringList p = d.split('/');
            list.append({p[0], p[1], QString(), p[2] == "1"});
        }
        if (rangeFault)
            fault += t.ctx->GetText("X85");
        t.prompter.clear();
        QCOMPARE(CheckDevices(*t.ctx, protocol, list), fault.isEmpty());
        QCOMPARE(shownTexts(t.prompter), fault.isEmpty() ? QStringList{} : QStringList{fault});
    }

    void physicalAddress_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::newRow("15.15.255") << "15.15.255" << true;
        QTest::newRow("blanks around") << " 1.1.1 " << true;
        QTest::newRow("0.0.0") << "0.0.0" << false;
        QTest::newRow("0.0.1") << "0.0.1" << true;
        QTest::newRow("16.0.1") << "16.0.1" << false;
        QTest::newRow("1.16.1") << "1.16.1" << false;
        QTest::newRow("1.1.256") << "1.1.256" << false;
        QTest::newRow("1.2") << "1.2" << false;
        QTest::newRow("1..2") << "1..2" << false;
        // The device part "1.1" reads as a number and rounds to 1.
        QTest::newRow("1.1.1.1") << "1.1.1.1" << true;
        QTest::newRow("1.1.1.2.5") << "1.1.1.2.5" << false;
        QTest::newRow("a.1.1") << "a.1.1" << false;
        QTest::newRow("1234") << "1234" << true;
        QTest::newRow("65535") << "65535" << true;
        QTest::newRow("0") << "0" << false;
        QTest::newRow("70000") << "70000" << false;
        QTest::newRow("empty") << "" << false;
        QTest::newRow("leading dot") << ".5" << false;
    }

    void physicalAddress()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        const QString eib31 = t.ctx->GetText("EIB31");
        t.prompter.clear();
        QCOMPARE(IsInvalidPhysicalAddress(*t.ctx, text), !valid);
        QCOMPARE(shownTexts(t.prompter), valid ? QStringList{} : QStringList{eib31});
    }

    void acceptChecksInOrder()
    {
        ProjectSettings settings = makeSettings(2, {1, 2});
        QList<Sig> rows = {{1, 0, 1, "1/0/1", "", "W"}, {1, 1, 1, "", "", "R"}, {1, 40, 1, "1/0/3", "", "W"}};

        // Validation first: a selected row with R and no address.
        SignalTable table = makeTable(rows);
        t.prompter.clear();
        AcceptFault f = RunAcceptChecks(*t.ctx, 70, settings, table);
        QCOMPARE(f.check, AcceptFault::Validation);
        QCOMPARE(f.row, 2);
        QCOMPARE(f.column, 5);
        QCOMPARE(shownTexts(t.prompter).size(), 1);

        // Then the code check.
        rows[1].group = "1/0/2";
        table = makeTable(rows);
        f = RunAcceptChecks(*t.ctx, 70, settings, table);
        QCOMPARE(f.check, AcceptFault::Code);
        QCOMPARE(f.row, 3);

        // Then the device list, then the physical address.
        rows.removeLast();
        settings.devices[1].uni = "1";
        table = makeTable(rows);
        QCOMPARE(RunAcceptChecks(*t.ctx, 70, settings, table).check, AcceptFault::Devices);
        settings.devices[1].uni = "2";
        settings.phyAdd = "0.0.0";
        table = makeTable(rows);
        QCOMPARE(RunAcceptChecks(*t.ctx, 70, settings, table).check, AcceptFault::PhysicalAddress);
        settings.phyAdd = "1.1.1";
        table = makeTable(rows);
        t.prompter.clear();
        QCOMPARE(RunAcceptChecks(*t.ctx, 70, settings, table).check, AcceptFault::None);
        QVERIFY(shownTexts(t.prompter).isEmpty());
        // The passing run left the selected rows normalised: R brought T.
        QCOMPARE(table.rows[2][9], QString("T"));
    }
};

QTEST_GUILESS_MAIN(TestAcceptChecks)
#include "tst_acceptchecks.moc"
