// The settings page of the configuration editor: fields and their checks, the device list and
// the change of the device count, driven through the window.
#include "EditorWindow.h"

#include "app/IniFile.h"


using namespace tarveon;
using namespace tarveon::test;

namespace {

// Types `text` over the whole content of a field and leaves it with Tab.
void typeAndLeave(QLineEdit *edit, const QString &text)
{
    edit->setFocus(Qt::MouseFocusReason);
    edit->selectAll();
    if (text.isEmpty())
        QTest::keyClick(edit, Qt::Key_Backspace);
    else
        QTest::keyClicks(edit, text);
    QTest::keyClick(edit, Qt::Key_Tab);
}

QString iniValue(const EditorFixture &f, const QString &file, const QString &section, const QString &key)
{
    return IniFile(f.path(file)).read(section, key, QStringLiteral("<missing>"));
}

} // namespace

class tst_EditorSettings : public QObject {
    Q_OBJECT
private slots:
    void isValidIp_data();
    void isValidIp();
    void opening();
    void openingChillers();
    void fieldChecks_data();
    void fieldChecks();
    void lastAcceptedFollowsGoodEntries();
    void fieldHelpTexts();
    void typingRaisesSettingsChanged();
    void deviceList();
    void deviceFields_data();
    void deviceFields();
    void enterMovesBetweenDeviceFields();
    void deviceCount_data();
    void deviceCount();
};

void tst_EditorSettings::isValidIp_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("valid");
    QTest::newRow("plain") << "192.168.0.1" << true;
    QTest::newRow("three parts") << "192.168.0" << false;
    QTest::newRow("fifth part not examined") << "192.168.0.1.7" << true;
    QTest::newRow("empty part") << "192..0.1" << false;
    QTest::newRow("letters read as 0") << "a.b.c.d" << true;
    QTest::newRow("256") << "256.1.1.1" << false;
    QTest::newRow("negative") << "1.-1.1.1" << false;
    QTest::newRow("blank part") << "1. .1.1" << false;
    QTest::newRow("blanks around") << " 10 . 0 . 0 . 1 " << true;
    QTest::newRow("empty") << "" << false;
    QTest::newRow("trailing dot") << "1.2.3." << false;
    QTest::newRow("255") << "255.255.255.255" << true;
}

void tst_EditorSettings::isValidIp()
{
    QFETCH(QString, text);
    QFETCH(bool, valid);
    QCOMPARE(IsValidIp(text), valid);
}

void tst_EditorSettings::opening()
{
    EditorWindow e(QStringLiteral("ZTR001-PACKAGED"),
                   unitSettings(3) .replace("Devices=3", "Devices=500").replace("IP=192.168.0.1", "IP=10.0.0.7")
                       .replace("UpdateOnResetoErrEIB=0", "UpdateOnResetoErrEIB=1").replace("D2-Active=1", "D2-Active=0"));
    QCOMPARE(e.w->txtIp->text(), QStringLiteral("10.0.0.7"));
    QCOMPARE(e.w->txtNetMask->text(), QStringLiteral("255.255.255.0"));
    QCOMPARE(e.w->txtIPKorvane->text(), QStringLiteral("192.168.0.2"));
    QCOMPARE(e.w->txtPortKorvane->text(), QStringLiteral("502"));
    QCOMPARE(e.w->txtTimeoutPoll->text(), QStringLiteral("1000"));
    QCOMPARE(e.w->txtPhyAdd->text(), QStringLiteral("15.15.255"));
    QCOMPARE(e.w->txtDelayUpdateBus->text(), QStringLiteral("4"));
    QVERIFY(e.w->chkUpdateOnResetoErrEIB->isChecked());
    QCOMPARE(e.w->chkUpdateOnResetoErrEIB->text(), e.f.text("EIB33"));
    // Devices=500 gives the maximum; keys that are missing give the defaults.
    QCOMPARE(e.w->lstMaquina->count(), 160);
    QCOMPARE(e.s().grid.gridRowCount(), 2 + 39 * 160);
    QCOMPARE(e.w->lstMaquina->item(0)->text(), QStringLiteral("Unit 1"));
    QCOMPARE(e.w->lstMaquina->item(0)->checkState(), Qt::Checked);
    QCOMPARE(e.w->lstMaquina->item(1)->checkState(), Qt::Unchecked);
    QCOMPARE(e.w->lstMaquina->item(159)->checkState(), Qt::Unchecked);
    QCOMPARE(e.w->lstMaquina->currentRow(), 0);
    QCOMPARE(e.w->txtMaquina[0]->text(), QStringLiteral("0"));
    QCOMPARE(e.w->txtMaquina[1]->text(), QStringLiteral("1"));
    QVERIFY(e.w->txtMaquina[1]->isVisible());
    QCOMPARE(e.w->lblMaquinaList->text(), QStringLiteral("Units"));
    QVERIFY(!e.s().settingsChanged);
    QVERIFY(!e.s().tableChanged);
}

void tst_EditorSettings::openingChillers()
{
    EditorWindow e(QStringLiteral("ZTR001-CHILLER"));
    QCOMPARE(e.s().protocolCode, qint16(71));
    QCOMPARE(e.s().maxDevices, qint16(8));
    QCOMPARE(e.w->lblMaquinaList->text(), QStringLiteral("Chillers"));
    QCOMPARE(e.w->lstMaquina->item(0)->text(), QStringLiteral("Chiller 1"));
    QVERIFY(e.w->txtMaquina[1]->isHidden());
    QVERIFY(e.w->lblMaquina[1]->isHidden());
    QVERIFY(e.w->windowTitle().contains(QStringLiteral(" TR-BAS-HUB (Chiller) - Max.Chillers:8 - Max.")));
    QCOMPARE(e.s().grid.gridRowCount(), 2 + 17);
}

void tst_EditorSettings::fieldChecks_data()
{
    QTest::addColumn<QString>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("message"); // {KEY} stands for the key's text

    QTest::newRow("ip ok") << "txtIp" << "10.1.2.3" << "10.1.2.3" << "";
    QTest::newRow("ip three parts") << "txtIp" << "192.168.0" << "192.168.0.1" << "IP: 192.168.0{X41}";
    QTest::newRow("ip fifth part") << "txtIp" << "192.168.0.1.7" << "192.168.0.1.7" << "";
    QTest::newRow("ip emptied") << "txtIp" << "" << "192.168.0.1" << "IP: {X41}";
    QTest::newRow("mask 256") << "txtNetMask" << "256.0.0.0" << "255.255.255.0" << "NetMask: 256.0.0.0{X41}";
    QTest::newRow("controller bad") << "txtIPKorvane" << "1..2.3" << "192.168.0.2" << "IP: 1..2.3{X41}";
    QTest::newRow("router empty") << "txtGateway" << "" << "" << "";
    QTest::newRow("router blanks") << "txtGateway" << "   " << "" << "";
    QTest::newRow("router trimmed") << "txtGateway" << " 10.0.0.254 " << "10.0.0.254" << "";
    QTest::newRow("router bad") << "txtGateway" << "10.0.0" << "" << "Gateway: 10.0.0{X41}";
    QTest::newRow("port 502x") << "txtPortKorvane" << "502x" << "502" << "";
    QTest::newRow("port empty") << "txtPortKorvane" << "" << "0" << "";
    QTest::newRow("phys ok") << "txtPhyAdd" << "1.1.20" << "1.1.20" << "";
    QTest::newRow("phys plain") << "txtPhyAdd" << "1234" << "1234" << "";
    QTest::newRow("phys all zero") << "txtPhyAdd" << "0.0.0" << "15.15.255" << "{EIB31}";
    QTest::newRow("phys area 16") << "txtPhyAdd" << "16.0.1" << "15.15.255" << "{EIB31}";
    QTest::newRow("phys two parts") << "txtPhyAdd" << "1.2" << "15.15.255" << "{EIB31}";
    QTest::newRow("phys 0") << "txtPhyAdd" << "0" << "15.15.255" << "{EIB31}";
    QTest::newRow("phys 70000") << "txtPhyAdd" << "70000" << "15.15.255" << "{EIB31}";
    QTest::newRow("delay 12") << "txtDelayUpdateBus" << "12" << "4" << "";
    QTest::newRow("delay -1") << "txtDelayUpdateBus" << "-1" << "4" << "";
    QTest::newRow("delay 9") << "txtDelayUpdateBus" << "9" << "9" << "";
    QTest::newRow("polling -5") << "txtTimeoutPoll" << "-5" << "0" << "";
    QTest::newRow("polling 20000") << "txtTimeoutPoll" << "20000" << "10000" << "";
    QTest::newRow("polling text") << "txtTimeoutPoll" << "abc" << "abc" << "";
    QTest::newRow("polling 250") << "txtTimeoutPoll" << "250" << "250" << "";
}

void tst_EditorSettings::fieldChecks()
{
    QFETCH(QString, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, message);

    EditorWindow e;
    auto *edit = e.w->findChild<QLineEdit *>(field);
    QVERIFY(edit);
    typeAndLeave(edit, typed);
    QVERIFY(!edit->hasFocus());
    QCOMPARE(edit->text(), shown);
    QCOMPARE(e.f.messages(), message.isEmpty() ? QStringList() : QStringList{withTexts(e.f.ctx(), message)});
    if (!message.isEmpty()) {
        const auto &r = e.f.prompter().records.first();
        QCOMPARE(r.icon, 2);
        QCOMPARE(r.buttonTexts.first(), e.f.text("X1"));
    }
    // The page's value is what the field shows.
    const SettingsField f = [&] {
        const QHash<QString, SettingsField> byName{{"txtIp", SettingsField::Ip},
                                                  {"txtNetMask", SettingsField::NetMask},
                                                  {"txtGateway", SettingsField::Gateway},
                                                  {"txtIPKorvane", SettingsField::IpKorvane},
                                                  {"txtPortKorvane", SettingsField::PortKorvane},
                                                  {"txtTimeoutPoll", SettingsField::TimeoutPoll},
                                                  {"txtPhyAdd", SettingsField::PhyAdd},
                                                  {"txtDelayUpdateBus", SettingsField::DelayUpdateBus}};
        return byName.value(field);
    }();
    QCOMPARE(e.s().FieldText(f), shown);
    QVERIFY(e.s().settingsChanged);
}

void tst_EditorSettings::lastAcceptedFollowsGoodEntries()
{
    EditorWindow e;
    typeAndLeave(e.w->txtIp, "10.0.0.1");
    typeAndLeave(e.w->txtIp, "10.0.0");
    QCOMPARE(e.w->txtIp->text(), QStringLiteral("10.0.0.1"));
    typeAndLeave(e.w->txtPhyAdd, "1.1.1");
    typeAndLeave(e.w->txtPhyAdd, "1.1");
    QCOMPARE(e.w->txtPhyAdd->text(), QStringLiteral("1.1.1"));
}

void tst_EditorSettings::fieldHelpTexts()
{
    EditorWindow e;
    const QList<QPair<QWidget *, QString>> expected{
        {e.w->txtIp, "IP Gateway"},
        {e.w->txtNetMask, "Net Mask gateway"},
        {e.w->txtGateway, e.f.text("X37")},
        {e.w->txtIPKorvane, "IP Korvane TR-BAS-HUB"},
        {e.w->txtPortKorvane, "Port TCP Korvane"},
        {e.w->txtTimeoutPoll, "Polling interval 0..10000 ms"},
        {e.w->txtPhyAdd, e.f.text("EIB35")},
        {e.w->chkUpdateOnResetoErrEIB, e.f.text("EIB32")},
        {e.w->txtDelayUpdateBus, e.f.text("A134")},
        {e.w->lstMaquina, e.f.text("X46")},
        {e.w->txtMaquina[0], "QLOOP1 System Address"},
        {e.w->txtMaquina[1], "QLOOP1 Unit Address"},
        {e.w->txtMaquina[2], e.f.text("X63")},
    };
    for (const auto &[widget, help] : expected) {
        widget->setFocus(Qt::TabFocusReason);
        QCOMPARE(e.w->lblHelp->text(), help);
    }
}

void tst_EditorSettings::typingRaisesSettingsChanged()
{
    {
        EditorWindow e;
        QTest::keyClick(e.w->txtTimeoutPoll, Qt::Key_End);
        QVERIFY(!e.s().settingsChanged);
        QTest::keyClick(e.w->txtTimeoutPoll, '0');
        QVERIFY(e.s().settingsChanged);
        QCOMPARE(e.s().settings.pollingMs, QStringLiteral("10000"));
        QVERIFY(!e.s().tableChanged);
    }
    {
        EditorWindow e;
        QTest::mouseClick(e.w->chkUpdateOnResetoErrEIB, Qt::LeftButton, {},
                          QPoint(8, e.w->chkUpdateOnResetoErrEIB->height() / 2));
        QVERIFY(e.w->chkUpdateOnResetoErrEIB->isChecked());
        QVERIFY(e.s().settingsChanged);
        QCOMPARE(e.s().settings.updateOnResetoErrEIB, 1);
    }
}

void tst_EditorSettings::deviceList()
{
    EditorWindow e(QStringLiteral("ZTR001-PACKAGED"),
                   unitSettings(3).replace("D2-Sys=0", "D2-Sys=5").replace("D2-Name=", "D2-Name=Hall"));
    QListWidget *list = e.w->lstMaquina;
    QCOMPARE(list->count(), 3);
    // Choosing an item shows its device and raises the settings-changed flag.
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, list->visualItemRect(list->item(1)).center());
    QCOMPARE(e.w->txtMaquina[0]->text(), QStringLiteral("5"));
    QCOMPARE(e.w->txtMaquina[1]->text(), QStringLiteral("2"));
    QCOMPARE(e.w->txtMaquina[2]->text(), QStringLiteral("Hall"));
    QVERIFY(e.s().settingsChanged);
    // The check mark is the device's active state.
    list->item(2)->setCheckState(Qt::Unchecked);
    QVERIFY(!e.s().settings.devices[2].active);
    list->item(2)->setCheckState(Qt::Checked);
    QVERIFY(e.s().settings.devices[2].active);
}

void tst_EditorSettings::deviceFields_data()
{
    QTest::addColumn<int>("field");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("stored");
    QTest::addColumn<QString>("message");

    QTest::newRow("system trimmed") << 0 << " 7 " << "7" << "7" << "";
    QTest::newRow("system emptied") << 0 << "" << "0" << "0" << "{X65}";
    QTest::newRow("system blanks") << 0 << "  " << "0" << "0" << "{X65}";
    QTest::newRow("unit") << 1 << "12" << "12" << "12" << "";
    QTest::newRow("unit emptied") << 1 << "" << "2" << "2" << "{X65}";
    QTest::newRow("name trimmed") << 2 << "  Hall 2 " << "Hall 2" << "Hall 2" << "";
    QTest::newRow("name empty") << 2 << "" << "" << "" << "";
}

void tst_EditorSettings::deviceFields()
{
    QFETCH(int, field);
    QFETCH(QString, typed);
    QFETCH(QString, shown);
    QFETCH(QString, stored);
    QFETCH(QString, message);

    EditorWindow e(QStringLiteral("ZTR001-PACKAGED"), unitSettings(3).replace("D2-Name=", "D2-Name=Old"));
    e.w->lstMaquina->setCurrentRow(1);
    typeAndLeave(e.w->txtMaquina[size_t(field)], typed);
    QCOMPARE(e.w->txtMaquina[size_t(field)]->text(), shown);
    const DeviceRecord &d = e.s().settings.devices[1];
    QCOMPARE(field == 0 ? d.sys : field == 1 ? d.uni : d.name, stored);
    QCOMPARE(e.f.messages(), message.isEmpty() ? QStringList() : QStringList{withTexts(e.f.ctx(), message)});
    // The other devices keep theirs.
    QCOMPARE(e.s().settings.devices[0].sys, QStringLiteral("0"));
    QCOMPARE(e.s().settings.devices[0].name, QString());
}

void tst_EditorSettings::enterMovesBetweenDeviceFields()
{
    {
        EditorWindow e;
        e.w->txtMaquina[0]->setFocus();
        QTest::keyClick(e.w->txtMaquina[0], Qt::Key_Return);
        QVERIFY(e.w->txtMaquina[1]->hasFocus());
        QTest::keyClick(e.w->txtMaquina[1], Qt::Key_Enter);
        QVERIFY(e.w->txtMaquina[2]->hasFocus());
        QTest::keyClick(e.w->txtMaquina[2], Qt::Key_Return);
        QVERIFY(e.w->txtMaquina[0]->hasFocus());
        QCOMPARE(e.w->txtMaquina[0]->text(), QStringLiteral("0"));
        QVERIFY(e.w->isVisible()); // no button took the Enter
    }
    {
        EditorWindow e(QStringLiteral("ZTR001-CHILLER"));
        e.w->txtMaquina[0]->setFocus();
        QTest::keyClick(e.w->txtMaquina[0], Qt::Key_Return);
        QVERIFY(e.w->txtMaquina[2]->hasFocus());
    }
}

void tst_EditorSettings::deviceCount_data()
{
    QTest::addColumn<QString>("protocol");
    QTest::addColumn<bool>("changedFirst");
    QTest::addColumn<QStringList>("answers");
    QTest::addColumn<QStringList>("messages");
    QTest::addColumn<QString>("storedDevices");
    QTest::addColumn<bool>("closed");

    const QString units = QStringLiteral("ZTR001-PACKAGED");
    QTest::newRow("changes pending") << units << true << QStringList{} << QStringList{"{X71}"} << "2" << false;
    QTest::newRow("cancelled") << units << false << QStringList{""} << QStringList{} << "2" << false;
    QTest::newRow("zero") << units << false << QStringList{"0"} << QStringList{} << "2" << false;
    QTest::newRow("same") << units << false << QStringList{"2"} << QStringList{} << "2" << false;
    QTest::newRow("too many") << units << false << QStringList{"161"} << QStringList{"{X107}. Max:160"} << "2"
                              << false;
    QTest::newRow("three") << units << false << QStringList{"3 units"} << QStringList{"{X108}"} << "3" << true;
    QTest::newRow("160") << units << false << QStringList{"160"} << QStringList{"{X108}"} << "160" << true;
    QTest::newRow("chillers 9") << "ZTR001-CHILLER" << false << QStringList{"9"} << QStringList{"{X107}. Max:8"}
                                << "2" << false;
    QTest::newRow("chillers 8") << "ZTR001-CHILLER" << false << QStringList{"8"} << QStringList{"{X108}"} << "8"
                                << true;
}

void tst_EditorSettings::deviceCount()
{
    QFETCH(QString, protocol);
    QFETCH(bool, changedFirst);
    QFETCH(QStringList, answers);
    QFETCH(QStringList, messages);
    QFETCH(QString, storedDevices);
    QFETCH(bool, closed);

    QByteArray ini = "[" + protocol.toLatin1() + "]\r\nDevices=2\r\n";
    EditorWindow e(protocol, ini);
    if (changedFirst)
        e.s().tableChanged = true;
    e.f.prompter().inputAnswers = answers;
    QTest::mouseClick(e.w->cmdElementos, Qt::LeftButton);
    QStringList expected;
    for (const QString &m : messages)
        expected << withTexts(e.f.ctx(), m);
    QStringList shown;
    for (const auto &r : e.f.prompter().records) {
        if (r.kind == RecordingPrompter::Record::InputBox) {
            QCOMPARE(r.title, e.f.text("X27"));
            QCOMPARE(r.text, e.f.text("X106"));
            QCOMPARE(r.buttonTexts.first(), QStringLiteral("2"));
        } else {
            shown << r.text;
        }
    }
    QCOMPARE(shown, expected);
    QCOMPARE(iniValue(e.f, protocol + ".ini", protocol, "Devices"), storedDevices);
    QCOMPARE(e.w->isVisible(), !closed);
    // Nothing else of the file was touched.
    QCOMPARE(iniValue(e.f, protocol + ".ini", protocol, "IP"), QStringLiteral("<missing>"));
}

QTEST_MAIN(tst_EditorSettings)
#include "tst_editorsettings.moc"
