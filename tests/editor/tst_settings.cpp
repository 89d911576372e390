// The project settings file and the settings page: what is read, what is written back, the checks
// of the fields, of the device list and of the device count.
#include "EditorFixture.h"
#include "app/IniFile.h"
#include "editor/DeviceChecks.h"
#include "editor/SettingsPage.h"
#include "model/GatewayFile.h"

using namespace tarveon;
using namespace tarveon::test;

Q_DECLARE_METATYPE(tarveon::SettingsField)

class TestSettings : public QObject {
    Q_OBJECT
    // The project of tests/data/settings-units.ini, shared by the tests that only read it.
    std::unique_ptr<EditorFixture> m_project;

private slots:
    void initTestCase() { m_project = std::make_unique<EditorFixture>(kUnits, dataFile("settings-units.ini")); }
    void init() { m_project->prompter().clear(); }

    void deviceCount_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QByteArray>("devices");
        QTest::addColumn<int>("count");
        QTest::addColumn<int>("device"); // whose default addresses are checked
        QTest::addColumn<QString>("address");
        QTest::newRow("units 160") << kUnits << QByteArray("160") << 160 << 160 << "2/32";
        QTest::newRow("units 161") << kUnits << QByteArray("161") << 160 << 64 << "1/0";
        QTest::newRow("units 500") << kUnits << QByteArray("500") << 160 << 63 << "0/63";
        QTest::newRow("units, no keys") << kUnits << QByteArray() << 1 << 1 << "0/1";
        QTest::newRow("chillers 8") << kChillers << QByteArray("8") << 8 << 8 << "7/0";
        QTest::newRow("chillers 9") << kChillers << QByteArray("9") << 8 << 1 << "0/0";
    }
    void deviceCount()
    {
        QFETCH(QString, protocol);
        QFETCH(QByteArray, devices);
        QFETCH(int, count);
        QFETCH(int, device);
        QFETCH(QString, address);
        EditorFixture f(protocol, "[" + protocol.toLatin1() + "]\r\n" + (devices.isEmpty() ? "" : "Devices=" + devices));
        const ProjectSettings s = ProjectSettings::load(f.ctx(), protocol == kUnits ? 70 : 71);
        QCOMPARE(s.devices.size(), count);
        QCOMPARE(s.devices[device - 1].sys + '/' + s.devices[device - 1].uni, address);
        if (devices.isEmpty()) // a file without keys: the defaults
            QCOMPARE(QStringList({s.ip, s.netMask, s.gateway, s.pollingMs, s.ipTrbas, s.portTrbas, s.phyAdd,
                                  s.delayUpdateBus, s.devices[0].active ? "on" : "off", s.updateOnResetoErrEIB ? "on" : "off"}),
                     QStringList({"192.168.0.1", "255.255.255.0", "", "1000", "192.168.0.2", "502", "15.15.255", "4",
                                  "off", "off"}));
    }

    // The check box and the generated file read the stored text alike; it is written as 0 or 1.
    void updateOnReset_data()
    {
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<bool>("on");
        QTest::newRow("0") << QByteArray("0") << false;
        QTest::newRow("1") << QByteArray("1") << true;
        QTest::newRow("2") << QByteArray("2") << true;
        QTest::newRow("0.6 rounds to 1") << QByteArray("0.6") << true;
        QTest::newRow("0.4 rounds to 0") << QByteArray("0.4") << false;
        QTest::newRow("hexadecimal 1") << QByteArray("&H1") << true;
        QTest::newRow("no number") << QByteArray("yes") << false;
    }
    void updateOnReset()
    {
        QFETCH(QByteArray, stored);
        QFETCH(bool, on);
        EditorFixture f(kUnits, "[EIB]\r\nUpdateOnResetoErrEIB=" + stored + "\r\n");
        const ProjectSettings s = ProjectSettings::load(f.ctx(), 70);
        QCOMPARE(s.updateOnResetoErrEIB, on);
        QCOMPARE(CollectGatewayFileSettings(f.ctx(), 70, s).UpdateOnResetoErrEIB, quint8(on));
        QVERIFY(!s.save(f.ctx(), 70));
        QCOMPARE(IniFile(f.path(kUnits + ".ini")).read("EIB", "UpdateOnResetoErrEIB", ""), on ? "1" : "0");
    }

    // What is loaded and not touched is written back as it was, whole.
    void roundTrip()
    {
        const QByteArray file = dataFile("settings-units.ini");
        EditorFixture f(kUnits, file);
        const ProjectSettings s = ProjectSettings::load(f.ctx(), 70);
        QCOMPARE(s.devices[0].name.size(), 45);
        f.write(kUnits + ".ini", "");
        QVERIFY(!s.save(f.ctx(), 70));
        QCOMPARE(f.read(kUnits + ".ini"), file.mid(file.indexOf("[ZTR001")));
        // Chillers have no unit address.
        EditorFixture c(kChillers, "[ZTR001-CHILLER]\r\nDevices=1\r\nD1-Uni=5\r\n");
        const ProjectSettings chillers = ProjectSettings::load(c.ctx(), 71);
        c.write(kChillers + ".ini", "");
        QVERIFY(!chillers.save(c.ctx(), 71));
        QVERIFY(!c.read(kChillers + ".ini").contains("Uni"));
    }

    void saveFault()
    {
        EditorFixture f;
        f.ctx().ProjectDir = f.t.dir.filePath("gone");
        QCOMPARE(ProjectSettings().save(f.ctx(), 70).value_or(Fault{}).text, f.text("X31") + kUnits + ".ini");
        QVERIFY(f.messages().isEmpty());
    }

    void fieldChecks_data()
    {
        QTest::addColumn<SettingsField>("field");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("shown");
        QTest::addColumn<QString>("message"); // {KEY} for texts
        using F = SettingsField;
        QTest::newRow("ip") << F::Ip << "192.168.0.1" << "192.168.0.1" << "";
        QTest::newRow("ip, three parts") << F::Ip << "192.168.0" << "10.0.0.5" << "IP: 192.168.0{X41}";
        QTest::newRow("ip, fifth part not examined") << F::Ip << "192.168.0.1.7" << "192.168.0.1.7" << "";
        QTest::newRow("ip, empty part") << F::Ip << "192..0.1" << "10.0.0.5" << "IP: 192..0.1{X41}";
        QTest::newRow("ip, letters read 0") << F::IpKorvane << "a.b.c.d" << "a.b.c.d" << "";
        QTest::newRow("mask 255") << F::NetMask << "255.255.255.255" << "255.255.255.255" << "";
        QTest::newRow("mask 256") << F::NetMask << "256.1.1.1" << "255.255.0.0" << "NetMask: 256.1.1.1{X41}";
        QTest::newRow("router empty") << F::Gateway << "  " << "" << "";
        QTest::newRow("router bad") << F::Gateway << " 1.2 " << "10.0.0.1" << "Gateway: 1.2{X41}";
        QTest::newRow("port") << F::PortKorvane << "502x" << "502" << "";
        QTest::newRow("port empty") << F::PortKorvane << "" << "0" << "";
        QTest::newRow("delay 9") << F::DelayUpdateBus << "9" << "9" << "";
        QTest::newRow("delay 10") << F::DelayUpdateBus << "10" << "4" << "";
        QTest::newRow("delay -1") << F::DelayUpdateBus << "-1" << "4" << "";
        QTest::newRow("polling -5") << F::TimeoutPoll << "-5" << "0" << "";
        QTest::newRow("polling 10000") << F::TimeoutPoll << "10000" << "10000" << "";
        QTest::newRow("polling 10001") << F::TimeoutPoll << "10001" << "10000" << "";
        QTest::newRow("polling no number") << F::TimeoutPoll << "x" << "x" << "";
        QTest::newRow("phys 15.15.255") << F::PhyAdd << "15.15.255" << "15.15.255" << "";
        QTest::newRow("phys 15.16.0") << F::PhyAdd << "15.16.0" << "1.1.200" << "{EIB31}";
        QTest::newRow("phys 15.15.256") << F::PhyAdd << "15.15.256" << "1.1.200" << "{EIB31}";
        QTest::newRow("phys 0.0.0") << F::PhyAdd << "0.0.0" << "1.1.200" << "{EIB31}";
        QTest::newRow("phys 1.2") << F::PhyAdd << "1.2" << "1.1.200" << "{EIB31}";
        QTest::newRow("phys 65535") << F::PhyAdd << "65535" << "65535" << "";
        QTest::newRow("phys 65536") << F::PhyAdd << "65536" << "1.1.200" << "{EIB31}";
        QTest::newRow("phys 0") << F::PhyAdd << "0" << "1.1.200" << "{EIB31}";
        QTest::newRow("system emptied") << F::MachineSys << " " << "0" << "{X65}";
        QTest::newRow("system trimmed") << F::MachineSys << " 7 " << "7" << "";
        QTest::newRow("name trimmed") << F::MachineName << " Hall " << "Hall" << "";
    }
    void fieldChecks()
    {
        QFETCH(SettingsField, field);
        QFETCH(QString, typed);
        QFETCH(QString, shown);
        QFETCH(QString, message);
        EditorFixture &f = *m_project;
        SettingsPage page(f.ctx());
        page.LoadProjectSettings(70);
        page.setFieldText(field, typed);
        QCOMPARE(page.leaveField(field, typed).text, shown);
        QCOMPARE(page.fieldText(field), shown);
        QCOMPARE(f.messages(), message.isEmpty() ? QStringList() : QStringList{f.withTexts(message)});
        // A good entry is the one put back next time.
        if (message.isEmpty() && field == SettingsField::Ip)
            QCOMPARE(page.leaveField(field, "1").text, shown);
    }

    void deviceFaults_data()
    {
        QTest::addColumn<int>("protocol");
        QTest::addColumn<QString>("devices"); // "sys/uni" per device, "*" in front when checked
        QTest::addColumn<QString>("fault");
        QTest::newRow("valid") << 70 << "*0/1 *0/63 63/0" << "";
        QTest::newRow("same pair, both checked") << 70 << "*0/5 *0/5" << "Not allowed 2 devices with same Sytem-Unit: 0-5";
        QTest::newRow("same pair, one unchecked") << 70 << "*0/5 0/5" << "";
        QTest::newRow("system 64") << 70 << "64/0" << " Sytem: 64{X85}";
        QTest::newRow("unit 64") << 70 << "*0/1 0/64" << " Unit: 64{X85}";
        QTest::newRow("unit -1") << 70 << "0/-1" << " Unit: -1{X85}";
        QTest::newRow("chillers 7") << 71 << "*0/0 *7/0" << "";
        QTest::newRow("chiller 8, unchecked") << 71 << "8/0" << " Sytem: 8{X85}";
        QTest::newRow("chillers, same system") << 71 << "*3/0 *3/0" << "Not allowed 2 devices with same Sytem: 3";
    }
    void deviceFaults()
    {
        QFETCH(int, protocol);
        QFETCH(QString, devices);
        QFETCH(QString, fault);
        QVector<DeviceRecord> list;
        for (QString d : devices.split(' ')) {
            const bool active = d.startsWith('*');
            d.remove('*');
            list.append({d.section('/', 0, 0), d.section('/', 1, 1), QString(), active});
        }
        QCOMPARE(DeviceListFault(m_project->ctx(), protocol, list), m_project->withTexts(fault));
    }

    void askDeviceCount_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QString>("answer");
        QTest::addColumn<QString>("messages"); // separated by "|"
        QTest::addColumn<QString>("stored");   // Devices in the file afterwards
        QTest::newRow("units 160") << kUnits << "160" << "{X108}" << "160";
        QTest::newRow("units 161") << kUnits << "161" << "{X107}. Max:160" << "2";
        QTest::newRow("same count") << kUnits << "2" << "" << "2";
        QTest::newRow("cancelled") << kUnits << "" << "" << "2";
        QTest::newRow("chillers 9") << kChillers << "9 chillers" << "{X107}. Max:8" << "2";
    }
    void askDeviceCount()
    {
        QFETCH(QString, protocol);
        QFETCH(QString, answer);
        QFETCH(QString, messages);
        QFETCH(QString, stored);
        EditorFixture f(protocol, "[" + protocol.toLatin1() + "]\r\nDevices=2\r\n");
        SettingsPage page(f.ctx());
        page.LoadProjectSettings(protocol == kUnits ? 70 : 71);
        f.prompter().inputAnswers = {answer};
        QCOMPARE(page.askDeviceCount(), stored != "2");
        QCOMPARE(f.prompter().records.first().buttonTexts, QStringList{"2"}); // the count offered
        QCOMPARE(f.messages().mid(1).join('|'), f.withTexts(messages));
        QCOMPARE(IniFile(f.path(protocol + ".ini")).read(protocol, "Devices", ""), stored);
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
