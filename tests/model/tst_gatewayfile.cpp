#include "GatewayTestTables.h"
#include "model/Generate.h"

#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;

namespace {

// The expected file, assembled from pieces worked out by hand from the layout; each piece names
// the content offset where it must start, so a slip in the expectation shows at once.
class Expected {
public:
    void at(int contentOffset, const QByteArray &bytes)
    {
        if (m_content.size() != contentOffset)
            m_badOffsets << contentOffset;
        m_pieces.append({contentOffset, bytes});
        m_content.append(bytes);
    }
    void hex(int contentOffset, const QByteArray &hexText) { at(contentOffset, QByteArray::fromHex(hexText)); }
    void zeros(int contentOffset, int count) { at(contentOffset, QByteArray(count, '\0')); }

    const QList<int> &badOffsets() const { return m_badOffsets; }
    const QByteArray &content() const { return m_content; }
    const QList<QPair<int, QByteArray>> &pieces() const { return m_pieces; }

private:
    QByteArray m_content;
    QList<QPair<int, QByteArray>> m_pieces;
    QList<int> m_badOffsets;
};

void compareFile(const QByteArray &file, const Expected &e, const QByteArray &checksum)
{
    QVERIFY2(e.badOffsets().isEmpty(), "expectation pieces out of place");
    QCOMPARE(file.size(), e.content().size() + 4);
    QCOMPARE(file.left(4).toHex(' '), checksum.toHex(' '));
    for (const auto &[offset, bytes] : e.pieces()) {
        const QByteArray actual = file.mid(4 + offset, bytes.size());
        QVERIFY2(actual == bytes, qPrintable(QStringLiteral("content offset %1: %2 instead of %3")
                                                 .arg(offset)
                                                 .arg(QString::fromLatin1(actual.toHex(' ')))
                                                 .arg(QString::fromLatin1(bytes.toHex(' ')))));
    }
}

QByteArray readAll(const QString &path)
{
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace

class TestGatewayFile : public QObject {
    Q_OBJECT

    std::unique_ptr<TestContext> t;
    QString projectDir;

    void openProject(const QString &protocol)
    {
        AppContext &ctx = *t->ctx;
        ctx.ProjectProtocol = protocol;
        ctx.ProtocolFamily = protocol.section('-', 0, 0);
        ctx.IniFileName = protocol;
    }

    void writeSettingsFile(const QString &protocol, const QByteArray &text)
    {
        t->dir.writeFile("ProjectsZDM/Demo/" + protocol + ".ini", text);
    }

    // A unit project with one device and the settings file's keys all missing.
    static QList<Sig> smallUnitRows()
    {
        return {{1, 100, 1, "1/0/1", "", "RT"},     {1, 0, 1, "1/0/2", "1/0/5", "RWT"},
                {1, 20, 1, "1/0/3", "", "W"},       {1, 101, 1, "1/0/4", "", "RT"},
                {1, 3, 5, "1/1/0", "1/1/1", "WU2"}, {1, 5, 1, "2/0/0", "", "W", false}};
    }

    QByteArray contentFor(int protocol, const ProjectSettings &settings, const QList<Sig> &rows)
    {
        const GenerateResult r = GenerateGatewayFile(*t->ctx, protocol, settings, makeTable(rows), false);
        return r.bytes.mid(4);
    }

private slots:
    void init()
    {
        t = std::make_unique<TestContext>();
        projectDir = t->dir.filePath("ProjectsZDM/Demo");
        QDir().mkpath(projectDir);
        t->ctx->ProjectDir = projectDir;
        t->ctx->ProjectName = "Demo";
        t->ctx->clock = [] { return QDateTime(QDate(2024, 3, 5), QTime(7, 8, 9)); };
        openProject("ZTR001-PACKAGED");
    }

    void smallUnitProject()
    {
        const QString report = t->ctx->GetText("X39") + " EIB:7 Add.Listen:2 Bytes:479. ChkSum:76C8\r"
                               + t->ctx->GetText("A20");
        t->prompter.clear();
        const GenerateResult r = GenerateFromProject(*t->ctx, makeSettings(1, {1}), makeTable(smallUnitRows()));
        QVERIFY(r.ok);
        QCOMPARE(r.path, projectDir + "/ZTR001-PACKAGED.zdm");

        Expected e;
        e.at(0, QByteArray("KORVANE-ZTR001-V.1.0 2024/03/05 07:08:09") + QByteArray(22, ' ') + "\r\n");
        e.zeros(64, 63);
        e.hex(127, "00");
        e.hex(128, "00");
        e.hex(129, "3c000000");      // tS_ChekEIB 60
        e.hex(133, "d0070000");      // tMS_WaitUpdate 2000
        e.hex(137, "64000000");
        e.hex(141, "05000000");
        e.hex(145, "64000000");
        e.hex(149, "70170000");      // tMS_WaitInConect 6000
        e.hex(153, "00");            // UpdateOnResetoErrEIB
        e.hex(154, "ffff0000");      // 15.15.255
        e.hex(158, "04");            // tS_DelayUpdateBus
        e.zeros(159, 15);
        e.at(174, QByteArray("192.168.0.1\0    ", 16));
        e.at(190, QByteArray("255.255.255.0\0  ", 16));
        e.at(206, QByteArray("\0               ", 16));
        e.hex(222, "ffff0000");
        e.hex(226, "01");            // Nagle
        e.zeros(227, 16);
        e.hex(243, "0a00");          // TmConnectTRBAS_s 10
        e.hex(245, "0200");          // TmResponseTRBAS_s 2
        e.hex(247, "e8030000");      // polling 1000
        e.zeros(251, 16);
        e.at(267, "192.168.0.2     ");
        e.hex(283, "f6010000");      // port 502
        e.hex(287, "0000");          // idxAlarma: group 0
        e.hex(289, "01");            // indoor units
        e.zeros(290, 15);
        e.hex(305, "0000");          // PrimerGrupoEIBno0
        e.hex(307, "0700");          // 7 groups
        e.hex(309, "0108 ffff ffff 00 0a 01 0108");  // 1/0/1 controller status, R T
        e.hex(320, "0208 0000 ffff 00 0e 01 0208");  // 1/0/2 code 0, R W T
        e.hex(331, "0308 1400 ffff 00 04 01 0308");  // 1/0/3 bit code 20, W
        e.hex(342, "0408 ffff ffff 00 0a 01 0408");  // 1/0/4 device status
        e.hex(353, "0508 ffff 0000 01 04 01 0000");  // 1/0/5 listened by 1/0/2
        e.hex(364, "0009 0300 ffff 00 05 05 0109");  // 1/1/0 code 3, W U2 -> 1/1/1, EIS 5
        e.hex(375, "0109 ffff 0100 01 04 05 0000");  // 1/1/1 listened by 1/1/0, EIS 5 inherited
        e.hex(386, "0200");          // 2 links
        e.hex(388, "0100 0500");
        e.hex(392, "0100");          // 1 device
        e.hex(394, "00 01 0300");    // Sys 0, Uni 1, idxCom 3
        e.hex(398, "ffff ffff 0200 " + QByteArray("ffff").repeated(17));
        e.hex(438, "02");            // NProps
        e.hex(439, "0100 ffff feff 0500 feff feff feff feff feff feff feff feff feff feff feff feff feff feff");
        QCOMPARE(e.content().size(), 475);

        compareFile(r.bytes, e, QByteArray::fromHex("c8760000"));
        QCOMPARE(readAll(r.path), r.bytes);
        QCOMPARE(r.checksum, 0x76C8);
        QCOMPARE(shownTexts(t->prompter), QStringList{report});
        QCOMPARE(t->prompter.records.last().kind, RecordingPrompter::Record::MsgBox);
    }

    void smallChillerProjectWithClamps()
    {
        openProject("ZTR001-CHILLER");
        t->ctx->ProtocolFamily.clear(); // taken from the protocol name
        t->ctx->clock = [] { return QDateTime(QDate(2025, 12, 31), QTime(23, 59, 58)); };
        writeSettingsFile("ZTR001-CHILLER", "[ZTR001-CHILLER]\r\nNagle=0\r\nTmConnectTRBAS_s=0\r\n"
                                            "TmResponseTRBAS_s=-4\r\n[EIB]\r\ntS_ChekEIB=3\r\n"
                                            "tMS_WaitUpdate=100\r\ntMS_WaitInConect=2000\r\n"
                                            "UpdateOnResetoErrEIB=7\r\ntS_DelayUpdateBus=12\r\n");
        ProjectSettings settings = makeSettings(2, {1}, false);
        settings.ip = "10.1.2.3";
        settings.netMask = "255.255.255.255";
        settings.gateway = "192.168.100.254x";
        settings.pollingMs = "-5";
        settings.ipTrbas = "192.168.200.200 x";
        settings.portTrbas = "502x";
        settings.phyAdd = "1.1.1";
        const GenerateResult r =
            GenerateFromProject(*t->ctx, settings,
                                makeTable({{1, 11, 1, "2/0/1", "", "W"},
                                           {1, 101, 1, "2/0/2", "", "RT"},
                                           {1, 15, 1, "2/0/3", "", "W"},
                                           {2, 0, 1, "2/0/9", "", "W"}}));
        QVERIFY(r.ok);
        QCOMPARE(r.path, projectDir + "/ZTR001-CHILLER.zdm");

        Expected e;
        e.at(0, QByteArray("KORVANE-ZTR001-V.1.0 2025/12/31 23:59:58") + QByteArray(22, ' ') + "\r\n");
        e.zeros(64, 65);
        e.hex(129, "05000000");      // 3 -> 5
        e.hex(133, "f4010000");      // 100 -> 500
        e.hex(137, "64000000 05000000 64000000");
        e.hex(149, "70170000");      // 2000 -> 6000
        e.hex(153, "01");            // 7 -> 1
        e.hex(154, "01110000");      // 1.1.1 = 4353
        e.hex(158, "09");            // 12 -> 9
        e.zeros(159, 15);
        e.at(174, QByteArray("10.1.2.3\0       ", 16));
        e.at(190, QByteArray("255.255.255.255\0", 16));
        e.at(206, "192.168.100.254x"); // 16 characters: no NUL
        e.hex(222, "01110000");
        e.hex(226, "00");            // Nagle off
        e.zeros(227, 16);
        e.hex(243, "0100");          // 0 -> 1
        e.hex(245, "0100");          // -4 -> 1
        e.hex(247, "00000000");      // -5 -> 0
        e.zeros(251, 16);
        e.at(267, "192.168.200.200 ");
        e.hex(283, "f6010000");      // 502x -> 502
        e.hex(287, "ffff");          // no controller status
        e.hex(289, "00");            // chillers
        e.zeros(290, 15);
        e.hex(305, "0000 0300");
        e.hex(309, "0110 0b00 ffff 00 04 01 0110");  // 2/0/1 bit code 11
        e.hex(320, "0210 ffff ffff 00 0a 01 0210");  // 2/0/2 device status
        e.hex(331, "0310 0f00 ffff 00 04 01 0310");  // 2/0/3 bit code 15
        e.hex(342, "0000");          // no links
        e.hex(344, "0100");          // 1 device: chiller 2 is not enabled
        e.hex(346, "00 00 0100");    // Sys 0, Uni 0, idxCom 1
        e.hex(350, "0000 ffff ffff ffff 0200");
        e.hex(360, "00");            // NProps
        e.hex(361, "feff feff ffff feff feff feff feff ffff feff feff feff");
        QCOMPARE(e.content().size(), 383);
        compareFile(r.bytes, e, QByteArray::fromHex("82410000"));
        QCOMPARE(readAll(r.path), r.bytes);
    }

    void projectSettingClamps_data()
    {
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("stored"); // "-" = key missing
        QTest::addColumn<int>("offset");
        QTest::addColumn<QByteArray>("bytes");
        const QString eib = "EIB";
        const QString own = "ZTR001-PACKAGED";
        QTest::newRow("check missing") << eib << "tS_ChekEIB" << "-" << 129 << QByteArray::fromHex("3c000000");
        QTest::newRow("check 3") << eib << "tS_ChekEIB" << "3" << 129 << QByteArray::fromHex("05000000");
        QTest::newRow("check 5") << eib << "tS_ChekEIB" << "5" << 129 << QByteArray::fromHex("05000000");
        QTest::newRow("check 61x") << eib << "tS_ChekEIB" << "61x" << 129 << QByteArray::fromHex("3d000000");
        QTest::newRow("check empty") << eib << "tS_ChekEIB" << "" << 129 << QByteArray::fromHex("05000000");
        QTest::newRow("wait update 499") << eib << "tMS_WaitUpdate" << "499" << 133 << QByteArray::fromHex("f4010000");
        QTest::newRow("wait update 501") << eib << "tMS_WaitUpdate" << "501" << 133 << QByteArray::fromHex("f5010000");
        QTest::newRow("wait connect 2000") << eib << "tMS_WaitInConect" << "2000" << 149
                                           << QByteArray::fromHex("70170000");
        QTest::newRow("wait connect 7000") << eib << "tMS_WaitInConect" << "7000" << 149
                                           << QByteArray::fromHex("581b0000");
        QTest::newRow("refresh 1") << eib << "UpdateOnResetoErrEIB" << "1" << 153 << QByteArray::fromHex("01");
        QTest::newRow("refresh -1") << eib << "UpdateOnResetoErrEIB" << "-1" << 153 << QByteArray::fromHex("01");
        QTest::newRow("refresh abc") << eib << "UpdateOnResetoErrEIB" << "abc" << 153 << QByteArray::fromHex("00");
        QTest::newRow("delay 12") << eib << "tS_DelayUpdateBus" << "12" << 158 << QByteArray::fromHex("09");
        QTest::newRow("delay 9") << eib << "tS_DelayUpdateBus" << "9" << 158 << QByteArray::fromHex("09");
        QTest::newRow("delay 3") << eib << "tS_DelayUpdateBus" << "3" << 158 << QByteArray::fromHex("03");
        QTest::newRow("delay -2") << eib << "tS_DelayUpdateBus" << "-2" << 158 << QByteArray::fromHex("00");
        QTest::newRow("nagle 0") << own << "Nagle" << "0" << 226 << QByteArray::fromHex("00");
        QTest::newRow("nagle missing") << own << "Nagle" << "-" << 226 << QByteArray::fromHex("01");
        QTest::newRow("nagle in EIB section") << eib << "Nagle" << "0" << 226 << QByteArray::fromHex("01");
        QTest::newRow("connect 0") << own << "TmConnectTRBAS_s" << "0" << 243 << QByteArray::fromHex("0100");
        QTest::newRow("connect 30") << own << "TmConnectTRBAS_s" << "30" << 243 << QByteArray::fromHex("1e00");
        QTest::newRow("response -4") << own << "TmResponseTRBAS_s" << "-4" << 245 << QByteArray::fromHex("0100");
        QTest::newRow("response 5") << own << "TmResponseTRBAS_s" << "5" << 245 << QByteArray::fromHex("0500");
    }

    void projectSettingClamps()
    {
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, stored);
        QFETCH(int, offset);
        QFETCH(QByteArray, bytes);
        if (stored != "-")
            writeSettingsFile("ZTR001-PACKAGED", ("[" + section + "]\r\n" + key + "=" + stored + "\r\n").toLatin1());
        const QByteArray content = contentFor(70, makeSettings(1, {1}), smallUnitRows());
        QCOMPARE(content.mid(offset, bytes.size()).toHex(' '), bytes.toHex(' '));
    }

    void editorFields_data()
    {
        QTest::addColumn<QString>("field");
        QTest::addColumn<QString>("text");
        QTest::addColumn<QList<int>>("offsets");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("polling -5") << "poll" << "-5" << QList<int>{247} << QByteArray::fromHex("00000000");
        QTest::newRow("polling 20000") << "poll" << "20000" << QList<int>{247} << QByteArray::fromHex("204e0000");
        QTest::newRow("polling text") << "poll" << "abc" << QList<int>{247} << QByteArray::fromHex("00000000");
        QTest::newRow("polling half to even") << "poll" << "1500.5" << QList<int>{247}
                                              << QByteArray::fromHex("dc050000");
        QTest::newRow("physical 15.15.255") << "phy" << "15.15.255" << QList<int>{154, 222}
                                            << QByteArray::fromHex("ffff0000");
        QTest::newRow("physical 1.1") << "phy" << "1.1" << QList<int>{154, 222} << QByteArray::fromHex("00100000");
        QTest::newRow("physical 1234") << "phy" << "1234" << QList<int>{154, 222} << QByteArray::fromHex("d2040000");
        QTest::newRow("ip") << "ip" << "192.168.0.1" << QList<int>{174} << QByteArray("192.168.0.1\0    ", 16);
        QTest::newRow("ip empty") << "ip" << "" << QList<int>{174} << QByteArray("\0               ", 16);
        QTest::newRow("ip 15") << "ip" << "123456789012345" << QList<int>{174} << QByteArray("123456789012345\0", 16);
        QTest::newRow("ip 20") << "ip" << "12345678901234567890" << QList<int>{174} << QByteArray("1234567890123456");
        QTest::newRow("mask") << "mask" << "255.0.0.0" << QList<int>{190} << QByteArray("255.0.0.0\0      ", 16);
        QTest::newRow("router") << "router" << "10.0.0.254" << QList<int>{206} << QByteArray("10.0.0.254\0     ", 16);
        QTest::newRow("controller blank-padded") << "remip" << "10.0.0.9" << QList<int>{267}
                                                 << QByteArray("10.0.0.9        ");
        QTest::newRow("port 502x") << "port" << "502x" << QList<int>{283} << QByteArray::fromHex("f6010000");
        QTest::newRow("port empty") << "port" << "" << QList<int>{283} << QByteArray::fromHex("00000000");
        QTest::newRow("port 65536") << "port" << "65536" << QList<int>{283} << QByteArray::fromHex("00000100");
    }

    void editorFields()
    {
        QFETCH(QString, field);
        QFETCH(QString, text);
        QFETCH(QList<int>, offsets);
        QFETCH(QByteArray, bytes);
        ProjectSettings s = makeSettings(1, {1});
        if (field == "poll")
            s.pollingMs = text;
        else if (field == "phy")
            s.phyAdd = text;
        else if (field == "ip")
            s.ip = text;
        else if (field == "mask")
            s.netMask = text;
        else if (field == "router")
            s.gateway = text;
        else if (field == "remip")
            s.ipTrbas = text;
        else
            s.portTrbas = text;
        const QByteArray content = contentFor(70, s, smallUnitRows());
        for (int offset : offsets)
            QCOMPARE(content.mid(offset, bytes.size()).toHex(' '), bytes.toHex(' '));
    }

    void noFurtherAddresses()
    {
        const QByteArray content =
            contentFor(70, makeSettings(2, {2}), {{2, 0, 1, "1/0/1", "", "W"}, {2, 1, 1, "1/0/2", "", "W"}});
        // G = 2: the link count 0 at 309 + 22, then the unit count directly.
        QCOMPARE(content.mid(307, 2).toHex(), QByteArray("0200"));
        QCOMPARE(content.mid(331, 4).toHex(), QByteArray("00000100"));
        QCOMPARE(content.mid(335, 2).toHex(), QByteArray("0002")); // device 2: Sys 0, Uni 2
        QCOMPARE(content.size(), 313 + 22 + 81);
    }

    void headerTimeIsTheInjectedLocalTime()
    {
        t->ctx->clock = [] { return QDateTime(QDate(1999, 1, 2), QTime(13, 4, 5)); };
        const QByteArray content = contentFor(70, makeSettings(1, {1}), smallUnitRows());
        QCOMPARE(content.left(64),
                 QByteArray("KORVANE-ZTR001-V.1.0 1999/01/02 13:04:05") + QByteArray(22, ' ') + "\r\n");
    }

    void unwritableProjectDirectory()
    {
        // The project "directory" is a plain file: nothing can be created below it.
        t->dir.writeFile("NotADir", "x");
        t->ctx->ProjectDir = t->dir.filePath("NotADir");
        const QString path = t->ctx->ProjectDir + "/ZTR001-PACKAGED.zdm";
        const QString head = t->ctx->GetText("X32") + path + "\rError: \r";
        t->prompter.clear();
        const GenerateResult r = GenerateFromProject(*t->ctx, makeSettings(1, {1}), makeTable(smallUnitRows()));
        QVERIFY(!r.ok);
        QVERIFY(r.modelBuilt);
        QVERIFY(!r.error.isEmpty());
        QVERIFY(r.report.isEmpty());
        const QStringList shown = shownTexts(t->prompter);
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown.first(), head + r.error);
        QVERIFY(!QFileInfo::exists(path));
        QCOMPARE(t->dir.readFile("NotADir"), QByteArray("x"));
    }

    void modelStopLeavesOldFile()
    {
        t->dir.writeFile("ProjectsZDM/Demo/ZTR001-PACKAGED.zdm", "old");
        const QString stop = t->ctx->GetText("EIB36");
        t->prompter.clear();
        const GenerateResult r =
            GenerateFromProject(*t->ctx, makeSettings(1, {1}), makeTable({{1, 0, 1, "", "", "W"}}));
        QVERIFY(!r.ok);
        QVERIFY(!r.modelBuilt);
        QCOMPARE(shownTexts(t->prompter), QStringList{stop});
        QCOMPARE(t->dir.readFile("ProjectsZDM/Demo/ZTR001-PACKAGED.zdm"), QByteArray("old"));
    }

    void oldFileReplacedWhateverItsCase()
    {
        t->dir.writeFile("ProjectsZDM/Demo/ZTR001-PACKAGED.ZDM", "old upper");
        t->dir.writeFile("ProjectsZDM/Demo/ZTR001-PACKAGED.zdm", "old");
        const GenerateResult r = GenerateFromProject(*t->ctx, makeSettings(1, {1}), makeTable(smallUnitRows()), false);
        QVERIFY(r.ok);
        QCOMPARE(QDir(projectDir).entryList({"*.zdm", "*.ZDM"}, QDir::Files), QStringList{"ZTR001-PACKAGED.zdm"});
        QCOMPARE(readAll(r.path), r.bytes);
        QVERIFY(shownTexts(t->prompter).isEmpty()); // the report was not shown
        QVERIFY(r.report.contains(" EIB:7 Add.Listen:2 Bytes:479. ChkSum:76C8\r"));
    }

    void bytesWithoutWriting()
    {
        GatewayModel model;
        QVERIFY(BuildGatewayModel(*t->ctx, 70, makeSettings(1, {1}), makeTable(smallUnitRows()), model));
        const GatewayFileSettings fs = CollectGatewayFileSettings(*t->ctx, 70, makeSettings(1, {1}));
        const QByteArray bytes = BuildGatewayFileBytes(model, fs);
        QCOMPARE(bytes.size(), 479);
        QCOMPARE(bytes.left(4), QByteArray::fromHex("c8760000"));
        QVERIFY(QDir(projectDir).entryList(QDir::Files).isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestGatewayFile)
#include "tst_gatewayfile.moc"
