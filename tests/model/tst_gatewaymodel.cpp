#include "GatewayTestTables.h"
#include "model/GatewayModel.h"

#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;

namespace {

constexpr int kUnits = 70;
constexpr int kChillers = 71;

qint16 grp(const char *text)
{
    return GroupTextToNumber(QString::fromLatin1(text));
}

QVector<qint16> groupAddresses(const GatewayModel &m)
{
    QVector<qint16> out;
    for (const GroupRecord &g : m.GruposEIB)
        out << g.Grupo;
    return out;
}

int groupIndex(const GatewayModel &m, const char *text)
{
    const qint16 value = grp(text);
    for (int i = 0; i < m.GruposEIB.size(); ++i) {
        if (m.GruposEIB[i].Grupo == value)
            return i;
    }
    return -100;
}

} // namespace

class TestGatewayModel : public QObject {
    Q_OBJECT

    TestContext t;

    bool build(int protocol, const ProjectSettings &settings, const QList<Sig> &rows, GatewayModel &model)
    {
        t.prompter.clear();
        return BuildGatewayModel(*t.ctx, protocol, settings, makeTable(rows), model);
    }

private slots:
    void devicesFollowTheirEnabledState()
    {
        ProjectSettings settings = makeSettings(4, {1, 3, 4});
        settings.devices[2].sys = QStringLiteral("2x");
        settings.devices[2].uni = QStringLiteral(" 63");
        GatewayModel m;
        QVERIFY(build(kUnits, settings,
                      {{2, 0, 1, "1/0/9", "1/0/1", "W"},
                       {1, 0, 1, "1/0/1", "", "W"},
                       {3, 1, 1, "1/0/2", "", "W"},
                       {4, 101, 1, "1/0/3", "", "RT"}},
                      m));
        QCOMPARE(m.NUnits, qint16(3));
        QCOMPARE(m.devices.size(), 3);
        QCOMPARE(m.devices[0].Sys, quint8(0));
        QCOMPARE(m.devices[0].Uni, quint8(1));
        QCOMPARE(m.devices[1].Sys, quint8(2));
        QCOMPARE(m.devices[1].Uni, quint8(63));
        QCOMPARE(m.devices[2].Uni, quint8(4));
        // Device 2 is not enabled: neither its own address nor its further address counts.
        QCOMPARE(groupAddresses(m), (QVector<qint16>{grp("1/0/1"), grp("1/0/2"), grp("1/0/3")}));
        QCOMPARE(m.GruposEIB[0].NEnlaces, quint8(0));
        QVERIFY(m.EnlacesEIB.isEmpty());
        // Signal points count units, not device numbers: device 3 is the second unit.
        QCOMPARE(m.GruposEIB[1].IdxPuntos, qint16(64 + 1));
        QCOMPARE(m.devices[2].idxCom, qint16(2));
        QCOMPARE(m.GruposEIB[2].IdxPuntos, qint16(-1));
        QVERIFY(shownTexts(t.prompter).isEmpty());
    }

    void unselectedRowContributesNothing()
    {
        GatewayModel m;
        QVERIFY(build(kUnits, makeSettings(1, {1}),
                      {{1, 0, 1, "2/0/0", "2/0/1", "W", false}, {1, 1, 1, "1/0/0", "", "W"}}, m));
        QCOMPARE(groupAddresses(m), QVector<qint16>{grp("1/0/0")});
        QCOMPARE(m.devices[0].idxDatosProp[0], qint16(-2));
        QCOMPARE(m.devices[0].NProps, quint8(1));
    }

    void controller_data()
    {
        QTest::addColumn<QString>("ip");
        QTest::addColumn<QString>("port");
        QTest::addColumn<QString>("remip");
        QTest::addColumn<int>("remport");
        QTest::newRow("defaults") << "192.168.0.2" << "502" << "192.168.0.2     " << 502;
        QTest::newRow("port with letters") << "10.0.0.1" << "502x" << "10.0.0.1        " << 502;
        QTest::newRow("empty port") << "10.0.0.1" << "" << "10.0.0.1        " << 0;
        QTest::newRow("long address cut") << "192.168.100.200.7" << " 8080 " << "192.168.100.200." << 8080;
        QTest::newRow("empty address") << "" << "1" << "                " << 1;
    }

    void controller()
    {
        QFETCH(QString, ip);
        QFETCH(QString, port);
        ProjectSettings settings = makeSettings(1, {1});
        settings.ipTrbas = ip;
        settings.portTrbas = port;
        GatewayModel m;
        QVERIFY(build(kUnits, settings, {{1, 0, 1, "1/0/1", "", "W"}}, m));
        QFETCH(QString, remip);
        QFETCH(int, remport);
        QCOMPARE(m.remote.remip, remip);
        QCOMPARE(m.remote.remport, remport);
        QCOMPARE(m.remote.idxAlarma, qint16(-1));

        QVERIFY(build(kUnits, settings, {{1, 0, 1, "1/0/1", "", "W"}, {1, 100, 1, "0/0/9", "", "RT"}}, m));
        QCOMPARE(m.remote.idxAlarma, qint16(0));
        QCOMPARE(m.GruposEIB[0].IdxPuntos, qint16(-1));
    }

    void groupsSortedAndUnique()
    {
        GatewayModel m;
        QVERIFY(build(kUnits, makeSettings(1, {1}),
                      {{1, 0, 1, "3/0/0", "1/0/0, 2/0/0", "W"},
                       {1, 1, 1, "2/0/0", "1/0/0", "W"},
                       {1, 2, 1, "0/0/000", "", "W"},
                       {1, 3, 1, "", "", "W"},
                       {1, 4, 1, "5", "", "W"}},
                      m));
        QCOMPARE(groupAddresses(m), (QVector<qint16>{5, grp("1/0/0"), grp("2/0/0"), grp("3/0/0")}));
        QCOMPARE(m.PrimerGrupoEIBno0, qint16(0));
        // 2/0/0 is the own address of a row and a further address of another: one group with a signal.
        QCOMPARE(m.GruposEIB[2].IdxPuntos, qint16(1));
        QCOMPARE(m.GruposEIB[2].Flags, quint8(4));
        // 1/0/0 is only listened to.
        QCOMPARE(m.GruposEIB[1].IdxPuntos, qint16(-1));
        // Links: 1/0/0 <- rows 1, 2; 2/0/0 <- row 1; 0-based indices.
        QCOMPARE(m.EnlacesEIB, (QVector<qint16>{3, 2, 3}));
        QCOMPARE(m.GruposEIB[1].IdxEnlaces, qint16(0));
        QCOMPARE(m.GruposEIB[1].NEnlaces, quint8(2));
        QCOMPARE(m.GruposEIB[2].IdxEnlaces, qint16(2));
        QCOMPARE(m.GruposEIB[2].NEnlaces, quint8(1));
        QCOMPARE(m.GruposEIB[0].IdxEnlaces, qint16(-1));
        QCOMPARE(m.GruposEIB[3].IdxEnlaces, qint16(-1));
        QCOMPARE(m.GruposEIB[3].NEnlaces, quint8(0));
        // Codes 2 and 3 have no group: their slots stay unused.
        QCOMPARE(m.devices[0].idxDatosProp[2], qint16(-2));
        QCOMPARE(m.devices[0].idxDatosProp[3], qint16(-2));
        QCOMPARE(m.devices[0].NProps, quint8(3));
    }

    void unitSlots_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("valueSlot"); // -1: none
        QTest::addColumn<int>("bitSlot");   // -1: none
        QTest::addColumn<int>("parent");    // value slot marked -1, or -1
        for (int c : {0, 1, 5, 17})
            QTest::addRow("value %d", c) << c << c << -1 << -1;
        const QList<QPair<int, int>> bits = {{18, 1}, {20, 1}, {23, 1}, {24, 2}, {27, 2}, {28, 4}, {29, 5},
                                             {32, 5}, {33, 14}, {36, 14}, {37, 3}};
        for (const auto &[c, p] : bits)
            QTest::addRow("bit %d", c) << c << -1 << c - 18 << p;
        QTest::newRow("no slot 38") << 38 << -1 << -1 << -1;
        QTest::newRow("no slot 99") << 99 << -1 << -1 << -1;
    }

    void unitSlots()
    {
        QFETCH(int, code);
        QFETCH(int, valueSlot);
        QFETCH(int, bitSlot);
        QFETCH(int, parent);
        GatewayModel m;
        QVERIFY(build(kUnits, makeSettings(3, {1, 3}), {{3, code, 1, "1/0/1", "", "W"}}, m));
        QCOMPARE(m.valueSlots(), 18);
        QCOMPARE(m.bitSlots(), 20);
        const UnitRecord &d = m.devices[1];
        for (int i = 0; i < 18; ++i) {
            const qint16 expected = i == valueSlot ? 0 : i == parent ? -1 : -2;
            QCOMPARE(d.idxDatosProp[size_t(i)], expected);
        }
        for (int i = 0; i < 20; ++i)
            QCOMPARE(d.idxDatosPropBit[size_t(i)], qint16(i == bitSlot ? 0 : -1));
        QCOMPARE(d.NProps, quint8(valueSlot >= 0 ? 1 : 0));
        QCOMPARE(d.idxCom, qint16(-1));
        QCOMPARE(m.GruposEIB[0].IdxPuntos, qint16(64 + code));
        // The other device keeps empty slots.
        QCOMPARE(m.devices[0].idxDatosProp[1], qint16(-2));
    }

    void bitRowKeepsParentWithGroup()
    {
        GatewayModel m;
        QVERIFY(build(kUnits, makeSettings(1, {1}),
                      {{1, 1, 6, "1/0/1", "", "W"}, {1, 20, 1, "1/0/2", "", "W"}, {1, 2, 6, "", "", "", false},
                       {1, 25, 1, "1/0/3", "", "W"}},
                      m));
        const UnitRecord &d = m.devices[0];
        QCOMPARE(d.idxDatosProp[1], qint16(0));
        QCOMPARE(d.idxDatosPropBit[2], qint16(1));
        // Code 2 is not selected but its bit signal 25 has a group.
        QCOMPARE(d.idxDatosProp[2], qint16(-1));
        QCOMPARE(d.idxDatosPropBit[7], qint16(2));
        QCOMPARE(d.NProps, quint8(1));
    }

    void chillerSlots_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("valueSlot");
        QTest::addColumn<int>("bitSlot");
        QTest::addColumn<int>("parent");
        for (int c : {0, 7, 10})
            QTest::addRow("value %d", c) << c << c << -1 << -1;
        for (int c : {11, 12, 14})
            QTest::addRow("bit %d", c) << c << -1 << c - 11 << 7;
        QTest::newRow("bit 15") << 15 << -1 << 4 << 2;
        QTest::newRow("no slot 16") << 16 << -1 << -1 << -1;
        QTest::newRow("no slot 37") << 37 << -1 << -1 << -1;
    }

    void chillerSlots()
    {
        QFETCH(int, code);
        QFETCH(int, valueSlot);
        QFETCH(int, bitSlot);
        QFETCH(int, parent);
        GatewayModel m;
        QVERIFY(build(kChillers, makeSettings(2, {2}, false), {{2, code, 1, "1/0/1", "", "W"}}, m));
        QVERIFY(!m.unitProject);
        QCOMPARE(m.valueSlots(), 11);
        QCOMPARE(m.bitSlots(), 5);
        const UnitRecord &d = m.devices[0];
        QCOMPARE(d.Sys, quint8(1));
        QCOMPARE(d.Uni, quint8(0));
        for (int i = 0; i < 11; ++i)
            QCOMPARE(d.idxDatosProp[size_t(i)], qint16(i == valueSlot ? 0 : i == parent ? -1 : -2));
        for (int i = 0; i < 5; ++i)
            QCOMPARE(d.idxDatosPropBit[size_t(i)], qint16(i == bitSlot ? 0 : -1));
        QCOMPARE(m.GruposEIB[0].IdxPuntos, qint16(code));
    }

    void chillerStatusSignals()
    {
        GatewayModel m;
        QVERIFY(build(kChillers, makeSettings(2, {1, 2}, false),
                      {{1, 100, 1, "1/0/1", "", "RT"}, {2, 101, 1, "1/0/2", "", "RT"}}, m));
        QCOMPARE(m.remote.idxAlarma, qint16(0));
        QCOMPARE(m.devices[1].idxCom, qint16(1));
        QCOMPARE(m.devices[0].idxCom, qint16(-1));
        QCOMPARE(m.GruposEIB[1].IdxPuntos, qint16(-1));
    }

    void flags_data()
    {
        QTest::addColumn<QString>("flags");
        QTest::addColumn<QString>("listen");
        QTest::addColumn<int>("expectedFlags");
        QTest::addColumn<QString>("grupoU");
        QTest::newRow("R") << "R" << "" << 8 << "1/0/1";
        QTest::newRow("W") << "W" << "" << 4 << "1/0/1";
        QTest::newRow("T") << "T" << "" << 2 << "1/0/1";
        QTest::newRow("U") << "U" << "" << 1 << "1/0/1";
        QTest::newRow("RT") << "RT" << "" << 10 << "1/0/1";
        QTest::newRow("RWTU") << "RWTU" << "" << 15 << "1/0/1";
        QTest::newRow("WU own group") << "WU" << "1/0/7" << 5 << "1/0/1";
        QTest::newRow("WU2 first further address") << "WU2" << " 1/0/7 , 1/0/8" << 5 << "1/0/7";
    }

    void flags()
    {
        QFETCH(QString, flags);
        QFETCH(QString, listen);
        GatewayModel m;
        QVERIFY(build(kUnits, makeSettings(1, {1}), {{1, 2, 6, "1/0/1", listen, flags}}, m));
        const GroupRecord &g = m.GruposEIB[0];
        QCOMPARE(g.Grupo, grp("1/0/1"));
        QFETCH(int, expectedFlags);
        QFETCH(QString, grupoU);
        QCOMPARE(int(g.Flags), expectedFlags);
        QCOMPARE(g.GrupoU, GroupTextToNumber(grupoU));
        QCOMPARE(g.TipoEIS, quint8(6));
    }

    void flagCellsCountWhenNotBlank()
    {
        SignalTable table = makeTable({{1, 2, 1, "1/0/1", "", ""}});
        table.cell(1, 7) = QStringLiteral("  ");
        table.cell(1, 8) = QStringLiteral(" x ");
        GatewayModel m;
        t.prompter.clear();
        QVERIFY(BuildGatewayModel(*t.ctx, kUnits, makeSettings(1, {1}), table, m));
        QCOMPARE(m.GruposEIB[0].Flags, quint8(4));
    }

    void listenOnlyGroup()
    {
        GatewayModel m;
        QVERIFY(build(kUnits, makeSettings(1, {1}),
                      {{1, 0, 5, "1/0/1", "", "W"},
                       {1, 1, 9, "1/0/2", "4/0/0", "W"},
                       {1, 2, 9, "1/0/3", "4/0/0", "WU2"}},
                      m));
        const GroupRecord &g = m.GruposEIB[3];
        QCOMPARE(g.Grupo, grp("4/0/0"));
        QCOMPARE(g.Flags, quint8(4));
        QCOMPARE(g.IdxPuntos, qint16(-1));
        QCOMPARE(g.GrupoU, qint16(0));
        QCOMPARE(g.TipoEIS, quint8(9));
        QCOMPARE(g.NEnlaces, quint8(2));
        QCOMPARE(g.IdxEnlaces, qint16(0));
        QCOMPARE(m.EnlacesEIB, (QVector<qint16>{1, 2}));
        // The U2 row's update group is the listen-only group.
        QCOMPARE(m.GruposEIB[2].GrupoU, grp("4/0/0"));
        QCOMPARE(m.eisMismatches, 0);
        QVERIFY(shownTexts(t.prompter).isEmpty());
    }

    void linksKeepRowOrder()
    {
        // Listeners' own addresses descend while their rows ascend: links follow the rows.
        GatewayModel m;
        QVERIFY(build(kUnits, makeSettings(2, {1, 2}),
                      {{1, 0, 1, "3/0/0", "9/0/0", "W"},
                       {1, 1, 1, "1/0/0", "", "W"},
                       {2, 0, 1, "2/0/0", "9/0/0, 1/0/0", "W"},
                       {2, 1, 1, "0/0/1", "9/0/0", "W"}},
                      m));
        QCOMPARE(groupAddresses(m), (QVector<qint16>{1, grp("1/0/0"), grp("2/0/0"), grp("3/0/0"), grp("9/0/0")}));
        // 1/0/0 <- 2/0/0 ; 9/0/0 <- 3/0/0, 2/0/0, 0/0/1
        QCOMPARE(m.EnlacesEIB, (QVector<qint16>{2, 3, 2, 0}));
        QCOMPARE(m.GruposEIB[1].IdxEnlaces, qint16(0));
        QCOMPARE(m.GruposEIB[1].NEnlaces, quint8(1));
        QCOMPARE(m.GruposEIB[4].IdxEnlaces, qint16(1));
        QCOMPARE(m.GruposEIB[4].NEnlaces, quint8(3));
    }

    void eisMismatchWarns()
    {
        const QString expected = t.ctx->GetText("EIB37") + "3" + t.ctx->GetText("EIB38");
        GatewayModel m;
        // Listen-only 4/0/0 takes EIS 1 from its first listener, then two listeners of EIS 5
        // differ; 1/0/1 (EIS 5, own signal) is listened to by an EIS 1 row.
        QVERIFY(build(kUnits, makeSettings(1, {1}),
                      {{1, 0, 5, "1/0/1", "", "W"},
                       {1, 1, 1, "1/0/2", "4/0/0, 1/0/1", "W"},
                       {1, 2, 5, "1/0/3", "4/0/0", "W"},
                       {1, 3, 5, "1/0/4", "4/0/0", "W"}},
                      m));
        QCOMPARE(m.eisMismatches, 3);
        QCOMPARE(m.GruposEIB[4].TipoEIS, quint8(1));
        QCOMPARE(m.GruposEIB[0].TipoEIS, quint8(5));
        QCOMPARE(shownTexts(t.prompter), QStringList{expected});
        QCOMPARE(t.prompter.records.last().kind, RecordingPrompter::Record::MsgBox);
    }

    void linkLimits_data()
    {
        QTest::addColumn<QList<int>>("listenersPerGroup");
        QTest::addColumn<QString>("stopKey"); // empty: accepted
        QTest::addColumn<QString>("stopTail");
        QTest::newRow("255 on one group") << QList<int>{255} << "" << "";
        QTest::newRow("256 on one group") << QList<int>{256} << "EIB39" << "256 Max.255";
        QTest::newRow("1000 in all") << QList<int>{250, 250, 250, 250} << "" << "";
        QTest::newRow("1001 in all") << QList<int>{250, 250, 250, 250, 1} << "EIB40" << "1001 Max.1000";
        QTest::newRow("1001 in all, last group full") << QList<int>{200, 200, 200, 200, 201} << "EIB40"
                                                      << "1001 Max.1000";
    }

    void linkLimits()
    {
        QFETCH(QList<int>, listenersPerGroup);
        QFETCH(QString, stopKey);
        QFETCH(QString, stopTail);
        const QString expected = stopKey.isEmpty() ? QString() : t.ctx->GetText(stopKey) + stopTail;
        QList<Sig> rows;
        int own = 0;
        for (int g = 0; g < listenersPerGroup.size(); ++g) {
            for (int k = 0; k < listenersPerGroup[g]; ++k)
                rows.append({1, 50, 1, QString::number(++own), "15/0/" + QString::number(g + 1), "W"});
        }
        GatewayModel m;
        const bool built = build(kUnits, makeSettings(1, {1}), rows, m);
        QCOMPARE(built, stopKey.isEmpty());
        if (built) {
            int total = 0;
            for (int g = 0; g < listenersPerGroup.size(); ++g) {
                const GroupRecord &r = m.GruposEIB[own + g];
                QCOMPARE(int(r.NEnlaces), listenersPerGroup[g]);
                QCOMPARE(int(r.IdxEnlaces), total);
                total += listenersPerGroup[g];
            }
            QCOMPARE(int(m.EnlacesEIB.size()), total);
            QCOMPARE(m.EnlacesEIB.first(), qint16(0));
            QCOMPARE(m.EnlacesEIB.last(), qint16(own - 1));
            QVERIFY(shownTexts(t.prompter).isEmpty());
        } else {
            QCOMPARE(shownTexts(t.prompter), QStringList{expected});
            QCOMPARE(t.prompter.records.last().kind, RecordingPrompter::Record::MsgBox);
            QCOMPARE(t.prompter.records.last().icon, 2);
        }
    }

    void noAddress_data()
    {
        QTest::addColumn<int>("devices");
        QTest::addColumn<QList<int>>("active");
        QTest::addColumn<bool>("selected");
        QTest::addColumn<QString>("address");
        QTest::newRow("no row selected") << 1 << QList<int>{1} << false << "1/0/1";
        QTest::newRow("zero and empty addresses") << 1 << QList<int>{1} << true << "0/0/000";
        QTest::newRow("no device enabled") << 1 << QList<int>{} << true << "1/0/1";
        QTest::newRow("device count 0") << 0 << QList<int>{} << true << "1/0/1";
    }

    void noAddress()
    {
        QFETCH(int, devices);
        QFETCH(QList<int>, active);
        QFETCH(bool, selected);
        QFETCH(QString, address);
        const QString expected = t.ctx->GetText("EIB36");
        GatewayModel m;
        QVERIFY(!build(kUnits, makeSettings(devices, active),
                       {{1, 0, 1, address, "", "W", selected}, {1, 1, 1, "", "", "W", selected}}, m));
        QCOMPARE(shownTexts(t.prompter), QStringList{expected});
        QCOMPARE(t.prompter.records.last().icon, 2);
    }

    void listenerWithoutOwnAddress()
    {
        // A write-only row that only listens has no group of its own to link to.
        GatewayModel m;
        QVERIFY(build(kUnits, makeSettings(1, {1}), {{1, 0, 1, "", "1/0/1", "W"}, {1, 1, 1, "1/0/2", "", "W"}}, m));
        QCOMPARE(shownTexts(t.prompter), QStringList{"Esto no puede pasar 6"});
        QCOMPARE(t.prompter.records.last().kind, RecordingPrompter::Record::PlatformBox);
        QCOMPARE(groupAddresses(m), (QVector<qint16>{grp("1/0/1"), grp("1/0/2")}));
        QCOMPARE(m.GruposEIB[0].Flags, quint8(4));
        QCOMPARE(m.GruposEIB[0].NEnlaces, quint8(0));
        QVERIFY(m.EnlacesEIB.isEmpty());
        QCOMPARE(m.devices[0].idxDatosProp[0], qint16(-2));
    }

    void slotsUseSortedIndices()
    {
        GatewayModel m;
        QVERIFY(build(kUnits, makeSettings(1, {1}), {{1, 0, 1, "2/0/0", "", "W"}, {1, 1, 1, "1/0/0", "", "W"}}, m));
        QCOMPARE(groupIndex(m, "1/0/0"), 0);
        QCOMPARE(groupIndex(m, "2/0/0"), 1);
        QCOMPARE(m.devices[0].idxDatosProp[0], qint16(1));
        QCOMPARE(m.devices[0].idxDatosProp[1], qint16(0));
    }
};

QTEST_GUILESS_MAIN(TestGatewayModel)
#include "tst_gatewaymodel.moc"
