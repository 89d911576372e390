#include "TestSupport.h"
#include "app/IniFile.h"
#include "editor/ProjectSettings.h"

#include <QDir>
#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;

namespace {

constexpr int kUnits = 70;
constexpr int kChillers = 71;

struct Fixture {
    Fixture()
    {
        ctx().ProjectDir = t.dir.filePath(QStringLiteral("ProjectsZDM/P"));
        QDir().mkpath(ctx().ProjectDir);
        t.prompter.clear();
    }
    AppContext &ctx() { return *t.ctx; }
    void writeSettings(const QString &name, const QByteArray &bytes) { t.dir.writeFile("ProjectsZDM/P/" + name, bytes); }
    QByteArray readSettings(const QString &name) { return t.dir.readFile("ProjectsZDM/P/" + name); }
    QList<RecordingPrompter::Record> boxes() const
    {
        QList<RecordingPrompter::Record> out;
        for (const auto &r : t.prompter.records)
            if (r.kind == RecordingPrompter::Record::PlatformBox)
                out << r;
        return out;
    }
    TestContext t;
};

QByteArray shippedTemplate(const QString &name)
{
    QFile f(resourcesDir() + "/TemplatesZDM/" + name);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

} // namespace

class TestProjectSettings : public QObject {
    Q_OBJECT
private slots:
    void defaultsWithoutFile_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QString>("uni");
        QTest::newRow("indoor units") << kUnits << "ZTR001-PACKAGED" << "1";
        QTest::newRow("chillers") << kChillers << "ZTR001-CHILLER" << "0";
    }
    void defaultsWithoutFile()
    {
        QFETCH(int, code);
        QFETCH(QString, file);
        QFETCH(QString, uni);
        Fixture f;
        f.ctx().IniFileName = "Project";
        const ProjectSettings s = ProjectSettings::load(f.ctx(), code);
        QCOMPARE(f.ctx().IniFileName, file);
        QCOMPARE(s.ip, QStringLiteral("192.168.0.1"));
        QCOMPARE(s.netMask, QStringLiteral("255.255.255.0"));
        QCOMPARE(s.gateway, QString());
        QCOMPARE(s.pollingMs, QStringLiteral("1000"));
        QCOMPARE(s.ipTrbas, QStringLiteral("192.168.0.2"));
        QCOMPARE(s.portTrbas, QStringLiteral("502"));
        QCOMPARE(s.devices.size(), 1);
        QCOMPARE(s.devices[0].active, false);
        QCOMPARE(s.devices[0].sys, QStringLiteral("0"));
        QCOMPARE(s.devices[0].uni, uni);
        QCOMPARE(s.devices[0].name, QString());
        QCOMPARE(s.phyAdd, QStringLiteral("15.15.255"));
        QCOMPARE(s.updateOnResetoErrEIB, 0);
        QCOMPARE(s.delayUpdateBus, QStringLiteral("4"));
        QVERIFY(f.t.prompter.records.isEmpty());
        QVERIFY(!QFileInfo::exists(f.ctx().ProjectDir + "/" + file + ".ini")); // reading writes nothing
    }

    void deviceCount_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<int>("count");
        QTest::newRow("units 500") << kUnits << QByteArray("500") << 160;
        QTest::newRow("chillers 500") << kChillers << QByteArray("500") << 8;
        QTest::newRow("units 160") << kUnits << QByteArray("160") << 160;
        QTest::newRow("units 161") << kUnits << QByteArray("161") << 160;
        QTest::newRow("chillers 8") << kChillers << QByteArray("8") << 8;
        QTest::newRow("chillers 9") << kChillers << QByteArray("9") << 8;
        QTest::newRow("three and letters") << kUnits << QByteArray("3 devices") << 3;
        QTest::newRow("zero") << kUnits << QByteArray("0") << 0;
        QTest::newRow("empty") << kUnits << QByteArray("") << 0;
        QTest::newRow("letters") << kUnits << QByteArray("many") << 0;
        QTest::newRow("negative") << kChillers << QByteArray("-3") << 0;
        QTest::newRow("wraps below zero") << kUnits << QByteArray("4294967295") << 0;
        QTest::newRow("wraps to 5") << kUnits << QByteArray("4294967301") << 5;
    }
    void deviceCount()
    {
        QFETCH(int, code);
        QFETCH(QByteArray, stored);
        QFETCH(int, count);
        Fixture f;
        const QByteArray section = code == kUnits ? "ZTR001-PACKAGED" : "ZTR001-CHILLER";
        f.writeSettings(section + ".ini", "[" + section + "]\r\nDevices=" + stored + "\r\n");
        QCOMPARE(ProjectSettings::load(f.ctx(), code).devices.size(), count);
    }

    void defaultAddresses_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<int>("n");
        QTest::addColumn<QString>("sys");
        QTest::addColumn<QString>("uni");
        QTest::newRow("unit 1") << kUnits << 1 << "0" << "1";
        QTest::newRow("unit 63") << kUnits << 63 << "0" << "63";
        QTest::newRow("unit 64") << kUnits << 64 << "1" << "0";
        QTest::newRow("unit 128") << kUnits << 128 << "2" << "0";
        QTest::newRow("unit 160") << kUnits << 160 << "2" << "32";
        QTest::newRow("chiller 1") << kChillers << 1 << "0" << "0";
        QTest::newRow("chiller 8") << kChillers << 8 << "7" << "0";
    }
    void defaultAddresses()
    {
        QFETCH(int, code);
        QFETCH(int, n);
        QFETCH(QString, sys);
        QFETCH(QString, uni);
        Fixture f;
        const QByteArray section = code == kUnits ? "ZTR001-PACKAGED" : "ZTR001-CHILLER";
        f.writeSettings(section + ".ini", "[" + section + "]\r\nDevices=200\r\n");
        const ProjectSettings s = ProjectSettings::load(f.ctx(), code);
        QCOMPARE(s.devices[n - 1].sys, sys);
        QCOMPARE(s.devices[n - 1].uni, uni);
        QCOMPARE(s.devices[n - 1].active, false);
        const DeviceRecord d = ProjectSettings::defaultDevice(code, n);
        QCOMPARE(d.sys, sys);
        QCOMPARE(d.uni, uni);
    }

    void deviceLabels()
    {
        QCOMPARE(ProjectSettings::deviceLabel(kUnits, 1), QStringLiteral("Unit 1"));
        QCOMPARE(ProjectSettings::deviceLabel(kUnits, 160), QStringLiteral("Unit 160"));
        QCOMPARE(ProjectSettings::deviceLabel(kChillers, 8), QStringLiteral("Chiller 8"));
        QCOMPARE(ProjectSettings::maxDevices(kUnits), 160);
        QCOMPARE(ProjectSettings::maxDevices(kChillers), 8);
    }

    void loadReadsStoredValues()
    {
        Fixture f;
        f.writeSettings("ZTR001-PACKAGED.ini",
                        "[ztr001-packaged]\r\nip=10.0.0.5\r\nNETMASK=255.0.0.0\r\nGateway=\r\nTmPolling_ms=250ms\r\n"
                        "IPTRBAS=10.0.0.2\r\nPortTRBAS=1502\r\nDevices=3\r\n"
                        "D1-Active=1\r\nD1-Sys=4\r\nD1-Uni=12\r\nD1-Name=Sala \xf1\r\n"
                        "D2-Active=2\r\nD2-Sys=x\r\nD2-Name=\r\n"
                        "D3-Active=no\r\n"
                        "[eib]\r\nPhyAdd=1.1.200\r\nUpdateOnResetoErrEIB= 1\r\ntS_DelayUpdateBus=12s\r\n");
        const ProjectSettings s = ProjectSettings::load(f.ctx(), kUnits);
        QCOMPARE(s.ip, QStringLiteral("10.0.0.5"));
        QCOMPARE(s.netMask, QStringLiteral("255.0.0.0"));
        QCOMPARE(s.gateway, QString()); // present and empty: empty, not the default
        QCOMPARE(s.pollingMs, QStringLiteral("250ms")); // strings as they stand
        QCOMPARE(s.portTrbas, QStringLiteral("1502"));
        QCOMPARE(s.devices.size(), 3);
        QCOMPARE(s.devices[0].active, true);
        QCOMPARE(s.devices[0].sys, QStringLiteral("4"));
        QCOMPARE(s.devices[0].uni, QStringLiteral("12"));
        QCOMPARE(s.devices[0].name, QString::fromUtf8("Sala ñ"));
        QCOMPARE(s.devices[1].active, true); // any value other than 0
        QCOMPARE(s.devices[1].sys, QStringLiteral("0")); // not a number
        QCOMPARE(s.devices[1].uni, QStringLiteral("2")); // missing: default
        QCOMPARE(s.devices[2].active, false);
        QCOMPARE(s.devices[2].sys, QStringLiteral("0"));
        QCOMPARE(s.devices[2].uni, QStringLiteral("3"));
        QCOMPARE(s.phyAdd, QStringLiteral("1.1.200"));
        QCOMPARE(s.updateOnResetoErrEIB, 1);
        QCOMPARE(s.delayUpdateBus, QStringLiteral("12"));
    }

    void chillersIgnoreUnitAddress()
    {
        Fixture f;
        f.writeSettings("ZTR001-CHILLER.ini", "[ZTR001-CHILLER]\r\nDevices=2\r\nD1-Sys=3\r\nD1-Uni=9\r\n");
        const ProjectSettings s = ProjectSettings::load(f.ctx(), kChillers);
        QCOMPARE(s.devices[0].sys, QStringLiteral("3"));
        QCOMPARE(s.devices[0].uni, QStringLiteral("0"));
        QCOMPARE(s.devices[1].sys, QStringLiteral("1"));
    }

    void otherProtocolSectionIsNotRead()
    {
        Fixture f;
        f.writeSettings("ZTR001-CHILLER.ini", "[ZTR001-PACKAGED]\r\nIP=9.9.9.9\r\nDevices=5\r\n");
        const ProjectSettings s = ProjectSettings::load(f.ctx(), kChillers);
        QCOMPARE(s.ip, QStringLiteral("192.168.0.1"));
        QCOMPARE(s.devices.size(), 1);
    }

    void saveWritesKeysInOrder()
    {
        Fixture f;
        ProjectSettings s;
        s.ip = "10.0.0.5";
        s.netMask = "255.255.0.0";
        s.gateway = "10.0.0.1";
        s.pollingMs = "500";
        s.ipTrbas = "10.0.0.2";
        s.portTrbas = "503";
        s.devices = {{"0", "1", QString::fromUtf8("Sala ñ"), true}, {"0", "2", "", false}};
        s.phyAdd = "1.1.200";
        s.updateOnResetoErrEIB = 1;
        s.delayUpdateBus = "10";
        QVERIFY(s.save(f.ctx(), kUnits));
        QCOMPARE(f.ctx().IniFileName, QStringLiteral("ZTR001-PACKAGED"));
        QCOMPARE(f.readSettings("ZTR001-PACKAGED.ini"),
                 QByteArray("[ZTR001-PACKAGED]\r\n"
                            "IP=10.0.0.5\r\n"
                            "NetMask=255.255.0.0\r\n"
                            "Gateway=10.0.0.1\r\n"
                            "TmPolling_ms=500\r\n"
                            "IPTRBAS=10.0.0.2\r\n"
                            "PortTRBAS=503\r\n"
                            "Devices=2\r\n"
                            "D1-Active=1\r\n"
                            "D1-Sys=0\r\n"
                            "D1-Uni=1\r\n"
                            "D1-Name=Sala \xf1\r\n"
                            "D2-Active=0\r\n"
                            "D2-Sys=0\r\n"
                            "D2-Uni=2\r\n"
                            "D2-Name=\r\n"
                            "[EIB]\r\n"
                            "PhyAdd=1.1.200\r\n"
                            "UpdateOnResetoErrEIB=1\r\n"
                            "tS_DelayUpdateBus=10\r\n"));
        QVERIFY(f.t.prompter.records.isEmpty());
    }

    void saveChillersWithoutUnitAddress()
    {
        Fixture f;
        ProjectSettings s;
        s.devices = {{"0", "0", "North", false}, {"7", "0", "", true}};
        QVERIFY(s.save(f.ctx(), kChillers));
        QCOMPARE(f.readSettings("ZTR001-CHILLER.ini"),
                 QByteArray("[ZTR001-CHILLER]\r\n"
                            "IP=192.168.0.1\r\n"
                            "NetMask=255.255.255.0\r\n"
                            "Gateway=\r\n"
                            "TmPolling_ms=1000\r\n"
                            "IPTRBAS=192.168.0.2\r\n"
                            "PortTRBAS=502\r\n"
                            "Devices=2\r\n"
                            "D1-Active=0\r\n"
                            "D1-Sys=0\r\n"
                            "D1-Name=North\r\n"
                            "D2-Active=1\r\n"
                            "D2-Sys=7\r\n"
                            "D2-Name=\r\n"
                            "[EIB]\r\n"
                            "PhyAdd=15.15.255\r\n"
                            "UpdateOnResetoErrEIB=0\r\n"
                            "tS_DelayUpdateBus=4\r\n"));
    }

    void saveReplacesInPlaceAndKeepsOtherKeys()
    {
        Fixture f;
        f.writeSettings("ZTR001-PACKAGED.ini",
                        "[ZTR001-PACKAGED]\r\nDevices=3\r\nIP=1.2.3.4\r\nCustom=keep\r\nD1-Name=old\r\nD3-Name=stale\r\n"
                        "[EIB]\r\nPhyAdd=1.1.1\r\n"
                        "[Other]\r\nx=y\r\n");
        ProjectSettings s;
        s.devices = {{"0", "5", "new", true}};
        QVERIFY(s.save(f.ctx(), kUnits));
        QCOMPARE(f.readSettings("ZTR001-PACKAGED.ini"),
                 QByteArray("[ZTR001-PACKAGED]\r\n"
                            "Devices=1\r\n"
                            "IP=192.168.0.1\r\n"
                            "Custom=keep\r\n"
                            "D1-Name=new\r\n"
                            "D3-Name=stale\r\n"
                            "NetMask=255.255.255.0\r\n"
                            "Gateway=\r\n"
                            "TmPolling_ms=1000\r\n"
                            "IPTRBAS=192.168.0.2\r\n"
                            "PortTRBAS=502\r\n"
                            "D1-Active=1\r\n"
                            "D1-Sys=0\r\n"
                            "D1-Uni=5\r\n"
                            "[EIB]\r\n"
                            "PhyAdd=15.15.255\r\n"
                            "UpdateOnResetoErrEIB=0\r\n"
                            "tS_DelayUpdateBus=4\r\n"
                            "[Other]\r\n"
                            "x=y\r\n"));
        QCOMPARE(ProjectSettings::load(f.ctx(), kUnits).devices.size(), 1);
    }

    void saveThenLoadRoundTrips()
    {
        Fixture f;
        ProjectSettings s;
        for (int n = 1; n <= 160; ++n)
            s.devices.append({QString::number(n / 64), QString::number(n % 64), QStringLiteral("Room %1").arg(n), n % 3 == 0});
        s.phyAdd = "2.3.4";
        s.updateOnResetoErrEIB = 1;
        QVERIFY(s.save(f.ctx(), kUnits));
        const ProjectSettings back = ProjectSettings::load(f.ctx(), kUnits);
        QCOMPARE(back.devices.size(), 160);
        for (int i = 0; i < 160; ++i) {
            QCOMPARE(back.devices[i].name, s.devices[i].name);
            QCOMPARE(back.devices[i].active, s.devices[i].active);
            QCOMPARE(back.devices[i].uni, s.devices[i].uni);
        }
        QCOMPARE(back.phyAdd, QStringLiteral("2.3.4"));
        QCOMPARE(back.updateOnResetoErrEIB, 1);
    }

    void saveFailureShowsOneMessage_data()
    {
        QTest::addColumn<QString>("situation");
        QTest::newRow("project directory missing") << "missing";
        QTest::newRow("project directory under a file") << "under file";
        QTest::newRow("settings file is a directory") << "directory";
    }
    void saveFailureShowsOneMessage()
    {
        QFETCH(QString, situation);
        Fixture f;
        if (situation == "missing") {
            f.ctx().ProjectDir = f.t.dir.filePath("gone");
        } else if (situation == "under file") {
            f.t.dir.writeFile("afile", "x");
            f.ctx().ProjectDir = f.t.dir.filePath("afile/P");
        } else {
            QDir().mkpath(f.ctx().ProjectDir + "/ZTR001-CHILLER.ini");
        }
        ProjectSettings s;
        s.devices = {{"0", "0", "", true}, {"1", "0", "", true}};
        QVERIFY(!s.save(f.ctx(), kChillers));
        const auto shown = f.boxes();
        QCOMPARE(shown.size(), 1); // once per save, not once per key
        QCOMPARE(shown[0].text, f.ctx().GetText("X31") + "ZTR001-CHILLER.ini");
        QCOMPARE(shown[0].title, kAppTitle);
        QCOMPARE(shown[0].buttons, int(BoxButtons::Ok));
        QVERIFY(!QFileInfo(f.t.dir.filePath("gone")).exists());
    }

    void shippedTemplates_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<QString>("file");
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("indoor units") << kUnits << "ZTR001-PACKAGED.ini"
                                      << QByteArray("[ZTR001-PACKAGED]\r\nIP=192.168.0.1\r\nNetMask=255.255.255.0\r\n"
                                                    "Gateway=\r\nTmPolling_ms=1000\r\nIPTRBAS=192.168.0.2\r\n"
                                                    "PortTRBAS=502\r\nDevices=1\r\nD1-Active=0\r\nD1-Sys=0\r\n"
                                                    "D1-Uni=1\r\nD1-Name=\r\n\r\n[EIB]\r\nPhyAdd=15.15.255\r\n"
                                                    "UpdateOnResetoErrEIB=0\r\ntS_DelayUpdateBus=4\r\n");
        QTest::newRow("chillers") << kChillers << "ZTR001-CHILLER.ini"
                                  << QByteArray("[ZTR001-CHILLER]\r\nIP=192.168.0.1\r\nNetMask=255.255.255.0\r\n"
                                                "Gateway=\r\nTmPolling_ms=1000\r\nIPTRBAS=192.168.0.2\r\n"
                                                "PortTRBAS=502\r\nDevices=1\r\nD1-Active=0\r\nD1-Sys=0\r\n"
                                                "D1-Name=\r\n\r\n[EIB]\r\nPhyAdd=15.15.255\r\n"
                                                "UpdateOnResetoErrEIB=0\r\ntS_DelayUpdateBus=4\r\n");
    }
    void shippedTemplates()
    {
        QFETCH(int, code);
        QFETCH(QString, file);
        QFETCH(QByteArray, bytes);
        QCOMPARE(shippedTemplate(file), bytes);

        // A project made from the template opens with the defaults, and saving them changes nothing.
        Fixture f;
        f.writeSettings(file, bytes);
        const ProjectSettings loaded = ProjectSettings::load(f.ctx(), code);
        const ProjectSettings none = [&] {
            Fixture empty;
            return ProjectSettings::load(empty.ctx(), code);
        }();
        QCOMPARE(loaded.devices.size(), 1);
        QCOMPARE(loaded.devices[0].uni, none.devices[0].uni);
        QCOMPARE(loaded.ip, none.ip);
        QCOMPARE(loaded.phyAdd, none.phyAdd);
        QVERIFY(loaded.save(f.ctx(), code));
        QCOMPARE(f.readSettings(file), bytes);
    }

    void sameDocumentLevel()
    {
        IniDocument doc;
        ProjectSettings s;
        s.devices = {ProjectSettings::defaultDevice(kUnits, 1)};
        s.toIni(doc, "ZTR001-PACKAGED", "EIB", kUnits);
        const ProjectSettings back = ProjectSettings::fromIni(doc, "ZTR001-PACKAGED", "EIB", kUnits);
        QCOMPARE(back.devices.size(), 1);
        QCOMPARE(back.devices[0].uni, QStringLiteral("1"));
        QVERIFY(doc.contains("ZTR001-PACKAGED", "D1-Uni"));
    }
};

QTEST_GUILESS_MAIN(TestProjectSettings)
#include "tst_projectsettings.moc"
