// The gateway model built from a project and the gateway configuration file written from it.
#include "GatewayTestTables.h"
#include "model/Generate.h"
#include "model/LinkSignals.h"
#include "model/ModKorvaneEIB.h"
#include "model/SignalTableFile.h"

#include <QtEndian>
#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;

namespace {

// A file of tests/data: "@offset" then hex bytes, "text" (\r \n \0 escapes) or "zeros N".
QList<QPair<int, QByteArray>> expectedPieces(const QString &name, QByteArray &checksum)
{
    QList<QPair<int, QByteArray>> pieces;
    QFile f(QStringLiteral(TARVEON_SOURCE_DIR "/tests/data/") + name);
    f.open(QIODevice::ReadOnly);
    for (const QByteArray &line : f.readAll().split('\n')) {
        const qsizetype space = line.indexOf(' ');
        QByteArray rest = line.mid(space + 1);
        if (line.startsWith("checksum"))
            checksum = QByteArray::fromHex(rest);
        if (!line.startsWith('@'))
            continue;
        if (rest.startsWith('"'))
            rest = rest.mid(1, rest.indexOf('"', 1) - 1).replace("\\r", "\r").replace("\\n", "\n").replace("\\0", QByteArray(1, 0));
        else if (rest.startsWith("zeros"))
            rest = QByteArray(rest.mid(6, rest.indexOf(' ', 6) - 6).toInt(), '\0');
        else
            rest = QByteArray::fromHex(rest.left(rest.contains('#') ? rest.indexOf('#') : rest.size()).replace(" ", ""));
        pieces.append({line.mid(1, space - 1).toInt(), rest});
    }
    return pieces;
}

const QList<Sig> kSmallUnits = {{1, 100, 1, "1/0/1", "", "RT"},     {1, 0, 1, "1/0/2", "1/0/5", "RWT"},
                                {1, 20, 1, "1/0/3", "", "W"},       {1, 101, 1, "1/0/4", "", "RT"},
                                {1, 3, 5, "1/1/0", "1/1/1", "WU2"}, {1, 5, 1, "2/0/0", "", "W", false}};

} // namespace

class TestGateway : public QObject {
    Q_OBJECT
    TestContext t;
    AppContext &ctx() { return *t.ctx; }
    GatewayModel m;
    Faults faults;

    bool build(int protocol, const ProjectSettings &settings, const QList<Sig> &rows)
    {
        return BuildGatewayModel(ctx(), protocol, settings, makeTable(rows), m, faults);
    }

private slots:
    // One program directory for all; every test starts with an empty project directory.
    void init()
    {
        ctx().ProjectDir = t.dir.filePath("ProjectsZDM/Demo");
        QDir(ctx().ProjectDir).removeRecursively();
        QDir().mkpath(ctx().ProjectDir);
        ctx().ProjectProtocol = "ZTR001-PACKAGED";
        ctx().ProtocolFamily = "ZTR001";
        ctx().clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)); };
        faults.clear();
    }

    // The whole file against bytes worked out by hand (tests/data); the units project's protocol
    // is spelt as a hand-edited description file may spell it.
    void fileBytes_data()
    {
        QTest::addColumn<QString>("data");
        QTest::newRow("units") << "gateway-units.txt";
        QTest::newRow("chillers, settings at and past their limits") << "gateway-chillers.txt";
    }
    void fileBytes()
    {
        QFETCH(QString, data);
        const bool units = data.contains("units");
        ProjectSettings s = makeSettings(units ? 1 : 2, {1}, units);
        QList<Sig> rows = kSmallUnits;
        ctx().ProjectProtocol = units ? "ztr001-Packaged" : "ZTR001-CHILLER";
        ctx().ProtocolFamily = units ? "ztr001" : ""; // the chillers' from the protocol name
        if (!units) {
            ctx().clock = [] { return QDateTime(QDate(2025, 12, 31), QTime(23, 59, 58)); };
            t.dir.writeFile("ProjectsZDM/Demo/ZTR001-CHILLER.ini",
                            "[ZTR001-CHILLER]\r\nNagle=0\r\nTmConnectTRBAS_s=0\r\nTmResponseTRBAS_s=-4\r\n[EIB]\r\n"
                            "tS_ChekEIB=4\r\ntMS_WaitUpdate=499\r\ntMS_WaitInConect=5999\r\nUpdateOnResetoErrEIB=7\r\n"
                            "tS_DelayUpdateBus=10\r\n");
            s.ip = "10.1.2.3", s.netMask = "255.255.255.255", s.gateway = "192.168.100.254x", s.pollingMs = "-1";
            s.ipTrbas = "192.168.200.200 x", s.portTrbas = "502x", s.phyAdd = "1.1.1";
            rows = {{1, 11, 1, "2/0/1", "", "W"}, {1, 101, 1, "2/0/2", "", "RT"}, {1, 15, 1, "2/0/3", "", "W"},
                    {2, 0, 1, "2/0/9", "", "W"}};
        }
        const GenerateResult r = GenerateFromProject(ctx(), s, makeTable(rows));
        QByteArray checksum;
        const auto pieces = expectedPieces(data, checksum);
        QVERIFY(r.ok);
        QCOMPARE(r.bytes.size(), 4 + pieces.last().first + pieces.last().second.size());
        QCOMPARE(r.bytes.left(4).toHex(' '), checksum.toHex(' '));
        for (const auto &[at, bytes] : pieces)
            QVERIFY2(r.bytes.mid(4 + at, bytes.size()) == bytes, qPrintable(QString("content offset %1").arg(at)));
        QCOMPARE(r.path, ctx().ProjectDir + (units ? "/ZTR001-PACKAGED.zdm" : "/ZTR001-CHILLER.zdm"));
        QCOMPARE(t.dir.readFile("ProjectsZDM/Demo/" + QFileInfo(r.path).fileName()), r.bytes);
        const QString report = ctx().GetText("X39") + (units ? " EIB:7 Add.Listen:2" : " EIB:3 Add.Listen:0") + " Bytes:"
                               + QString::number(r.bytes.size()) + ". ChkSum:"
                               + QString::number(qFromLittleEndian<qint32>(checksum.constData()), 16).toUpper() + "\r"
                               + ctx().GetText("A20");
        QCOMPARE(r.messages(), (Faults{Fault{"X39", report}}));
        QVERIFY(t.prompter.records.isEmpty());
    }

    // One field or setting at a time into the small unit project: the bytes at its offsets.
    void fields_data()
    {
        QTest::addColumn<QString>("field"); // a settings page field, or "section:key" of the settings file
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("offsets");
        QTest::addColumn<QByteArray>("hex");
        const auto row = [](const char *field, const char *text, QList<int> at, const char *hex) {
            QTest::addRow("%s=%s", field, text) << field << text << at << QByteArray::fromHex(hex);
        };
        row("EIB:tS_ChekEIB", "5", {129}, "05000000");
        row("EIB:tMS_WaitUpdate", "500", {133}, "f4010000");
        row("EIB:tMS_WaitInConect", "6000", {149}, "70170000");
        row("EIB:UpdateOnResetoErrEIB", "-1", {153}, "01");
        row("EIB:tS_DelayUpdateBus", "9", {158}, "09");
        row("EIB:tS_DelayUpdateBus", "-2", {158}, "00");
        row("EIB:Nagle", "0", {226}, "01"); // only the protocol's own section counts
        row("ZTR001-PACKAGED:TmConnectTRBAS_s", "1", {243}, "0100");
        row("ZTR001-PACKAGED:TmResponseTRBAS_s", "300", {245}, "2c01");
        row("poll", "0", {247}, "00000000");
        row("poll", "1500.5", {247}, "dc050000"); // half to even
        row("phy", "1.1", {154, 222}, "00100000");
        row("ip", "", {174}, "00202020202020202020202020202020");
        row("ip", "12345678901234567890", {174}, "31323334353637383930313233343536");
        row("port", "65536", {283}, "00000100");
    }
    void fields()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QList<int>, offsets);
        QFETCH(QByteArray, hex);
        ProjectSettings s = makeSettings(1, {1});
        QString *own = field == "poll" ? &s.pollingMs : field == "phy" ? &s.phyAdd : field == "ip" ? &s.ip
                       : field == "port" ? &s.portTrbas : nullptr;
        if (own)
            *own = text;
        else
            t.dir.writeFile("ProjectsZDM/Demo/ZTR001-PACKAGED.ini",
                            QString("[%1]\r\n%2=%3\r\n").arg(field.section(':', 0, 0), field.section(':', 1), text).toLatin1());
        ctx().IniFileName = "ZTR001-PACKAGED";
        QVERIFY(build(70, s, kSmallUnits));
        const QByteArray c = BuildGatewayFileContent(m, CollectGatewayFileSettings(ctx(), 70, s));
        for (int at : offsets)
            QCOMPARE(c.mid(at, hex.size()).toHex(' '), hex.toHex(' '));
    }

    // Sorted distinct groups, links in the order of the rows that listen, and nothing from a
    // disabled device, an unselected row or a zero address. Worked out by hand: group record
    // "Grupo IdxPuntos IdxEnlaces NEnlaces Flags TipoEIS GrupoU", device 2 is unit 2 (points 64 on).
    void groupsAndLinks()
    {
        QVERIFY(build(70, makeSettings(3, {1, 2}),
                      {{1, 0, 1, "3/0/0", "9/0/0", "W"},        {1, 1, 1, "1/0/0", "", "W"},
                       {2, 0, 1, "2/0/0", "9/0/0, 1/0/0", "W"}, {2, 1, 1, "0/0/1", "9/0/0", "W"},
                       {1, 2, 1, "0/0/000", "", "W"},           {1, 3, 1, "", "", "W"},
                       {3, 0, 1, "4/0/0", "5/0/0", "W"},        {1, 4, 1, "6/0/0", "7/0/0", "W", false}}));
        QStringList groups;
        for (const GroupRecord &g : m.GruposEIB)
            groups << QString("%1 %2 %3 %4 %5 %6 %7").arg(g.Grupo).arg(g.IdxPuntos).arg(g.IdxEnlaces).arg(g.NEnlaces)
                          .arg(g.Flags).arg(g.TipoEIS).arg(g.GrupoU);
        QCOMPARE(groups, (QStringList{"1 65 -1 0 4 1 1", "2048 1 0 1 4 1 2048", "4096 64 -1 0 4 1 4096",
                                      "6144 0 -1 0 4 1 6144", "18432 -1 1 3 4 1 0"}));
        QCOMPARE(m.EnlacesEIB, (QVector<qint16>{2, 3, 2, 0}));
        QCOMPARE(m.NUnits, qint16(2));
        QVERIFY(faults.isEmpty());
    }

    // Slots of a signal code of device 3 (unit 2): value, bit, and the value slot a bit marks -1.
    void deviceSlots_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QList<int>>("slot"); // code, value slot, bit slot, parent
        for (const QList<int> &s : QList<QList<int>>{{0, 0, -1, -1}, {17, 17, -1, -1}, {18, -1, 0, 1}, {24, -1, 6, 2},
                                                    {27, -1, 9, 2}, {28, -1, 10, 4}, {29, -1, 11, 5}, {33, -1, 15, 14},
                                                    {36, -1, 18, 14}, {37, -1, 19, 3}, {38, -1, -1, -1}})
            QTest::addRow("units %d", s[0]) << 70 << s;
        for (const QList<int> &s : QList<QList<int>>{{10, 10, -1, -1}, {11, -1, 0, 7}, {15, -1, 4, 2}, {16, -1, -1, -1}})
            QTest::addRow("chillers %d", s[0]) << 71 << s;
    }
    void deviceSlots()
    {
        QFETCH(int, protocol);
        QFETCH(QList<int>, slot);
        QVERIFY(build(protocol, makeSettings(3, {1, 3}, protocol == 70), {{3, slot[0], 1, "1/0/1", "", "W"}}));
        const UnitRecord &d = m.devices[1];
        for (int i = 0; i < m.valueSlots(); ++i)
            QCOMPARE(d.idxDatosProp[size_t(i)], qint16(i == slot[1] ? 0 : i == slot[3] ? -1 : -2));
        for (int i = 0; i < m.bitSlots(); ++i)
            QCOMPARE(d.idxDatosPropBit[size_t(i)], qint16(i == slot[2] ? 0 : -1));
        QCOMPARE(d.NProps, quint8(slot[1] >= 0 ? 1 : 0));
        QCOMPARE(m.GruposEIB[0].IdxPuntos, qint16(64 + slot[0]));
        QCOMPARE(m.devices[0].idxDatosProp[1], qint16(-2));
    }

    // Flags and update group of six rows: R, W, T, U (own group), U2 (first further address), and
    // a blank cell that does not count beside one of another text that does.
    void flags()
    {
        SignalTable table = makeTable({{1, 1, 6, "1/0/1"}, {1, 2, 6, "1/0/2"}, {1, 3, 6, "1/0/3"}, {1, 4, 6, "1/0/4"},
                                       {1, 5, 6, "1/0/5", " 1/1/7 , 1/1/8"}, {1, 6, 6, "1/0/6"}});
        const QList<QStringList> cells{{"R", "", "", ""}, {"", "W", "", ""}, {"", "", "T", ""}, {"", "W", "", "U"},
                                       {"", "W", "", " U2 "}, {"  ", " x ", "", ""}};
        for (int r = 1; r <= 6; ++r) {
            for (int c = 7; c <= 10; ++c)
                table.cell(r, c) = cells[r - 1][c - 7];
        }
        QVERIFY(BuildGatewayModel(ctx(), 70, makeSettings(1, {1}), table, m, faults));
        QStringList got;
        for (int g = 0; g < 6; ++g)
            got << QString("%1 %2 %3").arg(m.GruposEIB[g].Flags).arg(m.GruposEIB[g].GrupoU).arg(m.GruposEIB[g].TipoEIS);
        QCOMPARE(got, (QStringList{"8 2049 6", "4 2050 6", "2 2051 6", "5 2052 6", "5 2311 6", "4 2054 6"}));
    }

    void linkLimits_data()
    {
        QTest::addColumn<QList<int>>("listeners"); // per listened group
        QTest::addColumn<QString>("stop");
        QTest::newRow("255 on one group") << QList<int>{255} << "";
        QTest::newRow("256 on one group") << QList<int>{256} << "EIB39|256 Max.255";
        QTest::newRow("1000 in all") << QList<int>{250, 250, 250, 250} << "";
        QTest::newRow("1001 in all") << QList<int>{250, 250, 250, 250, 1} << "EIB40|1001 Max.1000";
    }
    void linkLimits()
    {
        QFETCH(QList<int>, listeners);
        QFETCH(QString, stop);
        QList<Sig> rows;
        for (int g = 0; g < listeners.size(); ++g) {
            for (int k = 0; k < listeners[g]; ++k)
                rows.append({1, 50, 1, QString::number(rows.size() + 1), "15/0/" + QString::number(g + 1), "W"});
        }
        QCOMPARE(build(70, makeSettings(1, {1}), rows), stop.isEmpty());
        const QString key = stop.section('|', 0, 0);
        QCOMPARE(faults, (stop.isEmpty() ? Faults{} : Faults{Fault{key, ctx().GetText(key) + stop.section('|', 1)}}));
        if (stop.isEmpty()) {
            QCOMPARE(int(m.EnlacesEIB.size()), int(rows.size()));
            QCOMPARE(int(m.GruposEIB.last().NEnlaces), listeners.last());
            QCOMPARE(int(m.GruposEIB.last().IdxEnlaces), int(rows.size()) - listeners.last());
        }
    }

    // The stop, the warning and a notice of the build, with their texts (keys stand for theirs).
    void messages_data()
    {
        QTest::addColumn<QList<Sig>>("rows");
        QTest::addColumn<QStringList>("shown");
        QTest::newRow("no group in any used row") << QList<Sig>{{1, 0, 1, "1/0/1", "", "W", false}, {1, 1, 1, "0/0/0"}}
                                                  << QStringList{"EIB36"};
        QTest::newRow("EIS of listeners differ")
            << QList<Sig>{{1, 0, 5, "1/0/1", "", "W"}, {1, 1, 1, "1/0/2", "4/0/0, 1/0/1", "W"},
                          {1, 2, 5, "1/0/3", "4/0/0", "W"}, {1, 3, 5, "1/0/4", "4/0/0", "W"}}
            << QStringList{"EIB37", "3", "EIB38"};
        QTest::newRow("listener without its own group") << QList<Sig>{{1, 0, 1, "", "1/0/1", "W"}}
                                                        << QStringList{"Esto no puede pasar 6"};
    }
    void messages()
    {
        QFETCH(QList<Sig>, rows);
        QFETCH(QStringList, shown);
        QCOMPARE(build(70, makeSettings(1, {1}), rows), shown[0] != "EIB36");
        QString text;
        for (const QString &part : shown)
            text += part.startsWith("EIB") ? ctx().GetText(part) : part;
        const bool literal = shown[0].startsWith("Esto");
        QCOMPARE(faults, (Faults{Fault{literal ? "" : shown[0], text, literal ? FaultKind::Information : FaultKind::Notice}}));
    }

    // A model stop touches no file; a written file replaces the old one whatever its case.
    void oldFile()
    {
        t.dir.writeFile("ProjectsZDM/Demo/ZTR001-PACKAGED.ZDM", "old");
        QVERIFY(!GenerateFromProject(ctx(), makeSettings(1, {1}), makeTable({{1, 0, 1, ""}})).modelBuilt);
        QCOMPARE(t.dir.readFile("ProjectsZDM/Demo/ZTR001-PACKAGED.ZDM"), QByteArray("old"));
        QVERIFY(GenerateFromProject(ctx(), makeSettings(1, {1}), makeTable(kSmallUnits)).ok);
        QCOMPARE(QDir(ctx().ProjectDir).entryList(QDir::Files), QStringList{"ZTR001-PACKAGED.zdm"});
    }

    // A hand-edited "Prot=ztr001-packaged" is the protocol of its upper-case name wherever the
    // project's protocol is looked up; an unknown one counts as a chiller project.
    void protocolNameAnyCase()
    {
        for (const auto &[name, code] : QList<QPair<QString, int>>{{"ztr001-packaged", 70}, {"Ztr001-Chiller", 71},
                                                                   {"eib", 47}, {"ZDM", 0}, {"FOO", 0}}) {
            ctx().ProjectProtocol = name;
            QCOMPARE(ProjectProtocolCode(ctx()), code);
        }
        ctx().ProjectProtocol = "ztr001-packaged";
        t.dir.writeFile("ProjectsZDM/Demo/ztr001-packaged.ini", "[ZTR001-PACKAGED]\r\nDevices=1\r\nD1-Active=1\r\n");
        QVERIFY(!WriteSignalTable(ctx(), 70, "1.0", makeTable(kSmallUnits)));
        LinkTables tables;
        tables.clear();
        QVERIFY(!LoadLinkSignals(ctx(), tables));
        QCOMPARE(tables.count(), 5);
        QCOMPARE(tables.index.value("GP:01/0/001"), 1);
    }
};

QTEST_GUILESS_MAIN(TestGateway)
#include "tst_gateway.moc"
