#include "TestSupport.h"
#include "app/IniFile.h"

#include <QtTest>

using namespace tarveon;

class TestSettingsSmoke : public QObject {
    Q_OBJECT
private slots:
    void writeThenRead()
    {
        test::TempProgramDir dir(false);
        IniFile ini(dir.filePath("a.ini"));
        QVERIFY(ini.write("X103", "Com", "3"));
        QCOMPARE(ini.readInt("x103", "COM", 1), 3);
        QCOMPARE(dir.readFile("a.ini"), QByteArray("[X103]\r\nCom=3\r\n"));
    }
};

QTEST_GUILESS_MAIN(TestSettingsSmoke)
#include "tst_settings_smoke.moc"
