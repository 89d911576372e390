#include "LinkTestSupport.h"
#include "link/FakeSerialPort.h"
#include "link/SerialLink.h"
#include "model/ModKorvaneEIB.h"

#include <QDir>
#include <QtTest>

using namespace tarveon;

namespace {

const QByteArray kSettings = "[ZTR001-CHILLER]\r\nDevices=3\r\nD1-Active=1\r\nD2-Active=0\r\nD3-Active=1\r\n";

// Header lines, the column header row, then rows: number, device, code, description, EIS,
// group, further groups, R, W, T, U, yes/no - each cell followed by a TAB.
QByteArray row(const QList<QByteArray> &cells)
{
    QByteArray out;
    for (const QByteArray &c : cells)
        out += c + '\t';
    return out + "\r\n";
}

QByteArray tableFile()
{
    QByteArray f = "PROTOCOLO=71-ZTR001-CHILLER\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n";
    f += row({"N", "Device", "Signal", "Description", "EIS", "Group", "Listen", "R", "W", "T", "U", "Yes/No"});
    f += row({"1", "1", "100 - Status", "Controller status", "01 - Switch", "1/2/3", "", "R", "", "T", "", "1"});
    f += row({"2", "2", "101 - Status", "Inactive device", "01 - Switch", "1/2/4", "", "R", "", "T", "", "1"});
    f += row({"3", "1", "102 - Mode", "Not in use", "01 - Switch", "1/2/5", "", "R", "", "T", "", "0"});
    f += row({"4", "3", "103 - Set", "Listen only", "05 - Float", "", "1/0/5, 1/0/6", "", "W", "", "U", "1"});
    f += row({"5", "3", "104 - Temp", "Same own group", "05 - Float", "1/2/3", "", "R", "", "T", "", "1"});
    f += row({"6", "1", "105 - Echo", "Listens to 1/2/3", "05 - Float", "", "1/2/3", "", "W", "", "U", "1"});
    f += row({"7", "3", "106 - Echo", "Listens to 1/2/3 too", "05 - Float", "", "1/2/3,2/0/0", "", "W", "", "U", "1"});
    f += row({"8", "1", "107 - Fan", "Own group", "06 - Scaling", "2/0/1", "", "R", "W", "T", "", "1"});
    f += row({"9", "1", "108 - Alarm", "Listens to 1/0/5", "01 - Switch", "", "1/0/5", "", "W", "", "U", "1"});
    f += row({"10", "1", "109 - Spare", "No address at all", "01 - Switch", "", "", "", "", "", "", "1"});
    return f;
}

struct Fixture {
    Fixture()
    {
        test::ensureTexts(tc, test::linkTextKeys());
        ctx.ProjectProtocol = "ZTR001-CHILLER";
        ctx.ProtocolFamily = "ZTR001";
        ctx.ProjectDir = tc.dir.filePath("ProjectsZDM/Plant");
        QDir().mkpath(ctx.ProjectDir);
    }
    void write(const QByteArray &settings, const QByteArray &table)
    {
        if (!settings.isEmpty())
            tc.dir.writeFile("ProjectsZDM/Plant/ZTR001-CHILLER.ini", settings);
        if (!table.isEmpty())
            tc.dir.writeFile("ProjectsZDM/Plant/ZTR001-CHILLER.dat", table);
    }
    test::TestContext tc;
    AppContext &ctx = *tc.ctx;
};

} // namespace

class TestLinkSignals : public QObject {
    Q_OBJECT
private slots:
    void loadsRowsInUseOfActiveDevices()
    {
        Fixture f;
        f.write(kSettings, tableFile());
        f.ctx.linkTables.clear();
        LoadLinkSignals(f.ctx);
        const LinkTables &t = f.ctx.linkTables;
        QCOMPARE(f.ctx.IniFileName, QString("ZTR001-CHILLER"));
        QCOMPARE(t.count(), 8);
        QStringList codes;
        for (int i = 1; i <= t.count(); ++i)
            codes << t.signals_[i].fields[2];
        QCOMPARE(codes, (QStringList{"100 - Status", "103 - Set", "104 - Temp", "105 - Echo", "106 - Echo",
                                     "107 - Fan", "108 - Alarm", "109 - Spare"}));
        const LinkSignal &first = t.signals_[1];
        QCOMPARE(first.protocolCode, qint16(71));
        QCOMPARE(first.fields[1], QString("1"));
        QCOMPARE(first.fields[3], QString("Controller status"));
        QCOMPARE(first.fields[5], QString("1/2/3"));
        QCOMPARE(first.fields[9], QString("T"));
        QCOMPARE(first.group, qint16(2563));
        QCOMPARE(first.groupText, QString("01/2/003"));
        QCOMPARE(first.inUse, qint16(1));
        QCOMPARE(first.value, 0.0f);
        QCOMPARE(t.signals_[2].group, qint16(2053)); // first further address 1/0/5
        QCOMPARE(t.signals_[2].groupText, QString("01/0/005"));
        QCOMPARE(t.signals_[8].group, qint16(0));
        QCOMPARE(t.signals_[8].groupText, QString());

        QHash<QString, int> expected{{"GP:01/2/003", 1},   {"GP:01/0/005", 2}, {"GP:01/2/003-1", 4},
                                     {"GP:01/2/003-2", 5}, {"GP:02/0/001", 6}, {"GP:01/0/005-1", 7}};
        QCOMPARE(t.index, expected);
        QVERIFY(CollectionHasKey(t.index, "GP:01/2/003-2"));
        QVERIFY(!CollectionHasKey(t.index, "GP:01/2/003-3"));
        QVERIFY(!CollectionHasKey(t.index, "GP:01/2/004"));
        QVERIFY(f.tc.prompter.records.isEmpty());
    }

    void noActiveDeviceDoesNotOpenTheTable()
    {
        Fixture f;
        f.write("[ZTR001-CHILLER]\r\nDevices=2\r\nD1-Active=0\r\nD2-Active=0\r\n", QByteArray());
        f.ctx.linkTables.clear();
        LoadLinkSignals(f.ctx);
        QCOMPARE(f.ctx.linkTables.count(), 0);
        QVERIFY(f.tc.prompter.records.isEmpty()); // the missing table file was never looked at
    }

    void missingTableShowsItsMessageAndLeavesTablesEmpty()
    {
        Fixture f;
        f.write(kSettings, QByteArray());
        f.ctx.linkTables.clear();
        f.ctx.show(LoadLinkSignals(f.ctx));
        QCOMPARE(f.ctx.linkTables.count(), 0);
        QCOMPARE(f.tc.prompter.records.size(), 1);
        QVERIFY(f.tc.prompter.records[0].text.startsWith(f.ctx.GetText("X67")));
    }

    // On identification the link loads the tables; a report then reaches every signal of its group.
    void identificationLoadsTablesAndReportsReachThem()
    {
        Fixture f;
        f.write(kSettings, tableFile());
        auto *port = new FakeSerialPort;
        SerialLink link(f.ctx, port);
        link.InitLink();
        link.chkOnline_Click(true);
        port->receive("Protocol:ZTR001.V2\r\n");
        QCOMPARE(f.ctx.LinkState, qint16(2));
        const LinkTables &t = f.ctx.linkTables;
        QCOMPARE(t.count(), 8);
        port->receive("GP:01/2/003=21.5\r\nGP:01/0/005=3\r\n");
        QCOMPARE(t.signals_[1].value, 21.5f);
        QCOMPARE(t.signals_[4].value, 21.5f);
        QCOMPARE(t.signals_[5].value, 21.5f);
        QCOMPARE(t.signals_[3].value, 0.0f); // second own address: not indexed
        QCOMPARE(t.signals_[2].value, 3.0f);
        QCOMPARE(t.signals_[7].value, 3.0f);
        QCOMPARE(t.signals_[6].value, 0.0f);
        // A gateway of another protocol leaves the tables empty.
        link.Carga_DatosMFATarveon("OTHER");
        QCOMPARE(t.count(), 0);
        QVERIFY(t.index.isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestLinkSignals)
#include "tst_link_signals.moc"
