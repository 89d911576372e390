// Every file the core reads, broken as files break: empty, cut short, junk, a line of a megabyte,
// a count of two thousand million. The reader reads what is there or refuses with its message;
// it never crashes, never reads past what it was given, and a later save keeps what it did not
// understand.
#include "TestSupport.h"
#include "model/ModKorvaneEIB.h"
#include "model/SignalTableFile.h"

#include <QtTest>

using namespace tarveon;
using namespace tarveon::test;

namespace {

enum Input { Language, Settings, Table };
enum Damage { Empty, Truncated, Junk, MegabyteLine, HugeCount };
const qsizetype kMegabyte = 1024 * 1024;

QByteArray damaged(int input, int damage)
{
    const QByteArray bytes = input == Language ? readAll(resourcesDir() + "/RESOURCES.LNG")
                             : input == Settings ? QByteArray("[X103]\r\nLanguage=1\r\nCom=3\r\nSettings=9600,n,8,1\r\nLastProject=Hotel\r\n")
                                                 : QByteArray("PROTOCOLO=70-ZTR001-PACKAGED\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n\tUnit\tCode\r\n"
                                                   "1\t1\t100-Status\tOn/Off\t01 - Switching (1 bit)\t1/0/1\t\tR\t\tT\t\t1\t\r\n"
                                                   "2\t1\t101-Alarm\tAlarm\t01 - Switching (1 bit)\t1/0/2\t1/0/3\tR\tW\t\tU2\t1\t\r\n");
    const qsizetype second = bytes.indexOf('\n') + 1;
    if (damage == Truncated)
        return bytes.left(bytes.size() / 2 + 3);
    if (damage == Junk)
        return junk(quint32(input) + 7, 64 * 1024);
    if (damage == MegabyteLine) // as the second line, the big text its second field
        return bytes.left(second) + "BIG\t" + QByteArray(kMegabyte, 'x') + "\r\nBig=" + QByteArray(kMegabyte, 'y')
               + "\r\n" + bytes.mid(second);
    if (damage == HugeCount && input == Table)
        return QByteArray(bytes).replace("CAMPOS=12", "CAMPOS=2000000000");
    if (damage == HugeCount)
        return bytes.left(second) + "Devices=2000000000\r\nCom=2000000000\r\n" + bytes.mid(second);
    return {};
}

} // namespace

class TestInputFaults : public QObject {
    Q_OBJECT
    TestContext t;
    AppContext &ctx = *t.ctx;

private slots:
    void init()
    {
        QFile::remove(t.dir.filePath("tarveon-config.LNG"));
        QFile::remove(t.dir.filePath("tarveon-config.ini"));
        QDir(t.dir.filePath("Hotel")).removeRecursively();
        ctx.language.LoadLanguage();
        ctx.ProjectDir = t.dir.filePath("Hotel");
        t.prompter.clear();
    }

    void damagedInput_data()
    {
        QTest::addColumn<int>("input");
        QTest::addColumn<int>("damage");
        for (const int input : {Language, Settings, Table}) {
            for (const int damage : {Empty, Truncated, Junk, MegabyteLine, HugeCount})
                QTest::addRow("%s, %s", QList<const char *>{"language", "settings", "table"}[input],
                              QList<const char *>{"empty", "truncated", "junk", "1 MB line", "count 2e9"}[damage])
                    << input << damage;
        }
    }
    void damagedInput()
    {
        QFETCH(int, input);
        QFETCH(int, damage);
        const QByteArray bytes = damaged(input, damage);
        const QString file = t.dir.filePath(QStringList{"tarveon-config.LNG", "tarveon-config.ini", "Hotel/ZTR001-PACKAGED.dat"}[input]);
        QVERIFY(writeAll(file, bytes));
        if (input == Language) {
            const bool loaded = ctx.language.LoadLanguage();
            QVERIFY(loaded || damage == Empty || damage == Junk);
            if (!loaded)
                QCOMPARE(t.prompter.texts(), QStringList{"Error or File not found. " + file});
            else if (damage != Junk)
                QVERIFY(ctx.language.Languages().size() == 2 && ctx.language.hasKey("X1") && t.prompter.records.isEmpty());
            QCOMPARE(ctx.language.textOrEmpty("BIG").size(), damage == MegabyteLine ? kMegabyte : 0);
        } else if (input == Settings) {
            const qint32 com = ctx.ini.ReadAppSettingInt("X103", "Com", 1);
            QCOMPARE(com, damage == HugeCount ? 2000000000 : damage == Empty || damage == Junk ? 1 : 3);
            QCOMPARE(ctx.ini.ReadAppSetting("X103", "Big", ""), damage == MegabyteLine ? QString(254, 'y') : QString());
            ctx.ini.WriteAppSetting("X103", "LastProject", "Hotel Sol"); // the rest stays
            QCOMPARE(ctx.ini.ReadAppSettingInt("X103", "Com", 1), com);
            QVERIFY(readAll(file).size() > bytes.size());
            QVERIFY(t.prompter.records.isEmpty());
        } else {
            StoredSignalTable stored;
            const std::optional<Fault> fault = ReadSignalTable(ctx, 70, "1.0", stored);
            const QString key = damage == Empty || damage == Junk ? "X28" : damage == MegabyteLine ? "X45" : "";
            QCOMPARE(fault ? fault->key : QString(), key);
            QVERIFY(damage != MegabyteLine || fault->text.endsWith("\rBIG\t" + QString(kMegabyte, 'x')));
            QCOMPARE(stored.rowCount(), key.isEmpty() ? (damage == Truncated ? 1 : 2) : 0);
            QCOMPARE(stored.fieldCount, damage == HugeCount ? 2000000000 : key.isEmpty() ? 12 : 0);
            QVERIFY(damage != HugeCount || stored.heldFields(1) == 11); // what the line has, not the header's count
        }
    }

    // A device count of two thousand million in the settings the link reads on identification:
    // only the chillers a project can have are looked at.
    void hugeDeviceCountOnLine()
    {
        ctx.ProjectProtocol = "ZTR001-CHILLER";
        writeAll(ctx.ProjectDir + "/ZTR001-CHILLER.ini", "[ZTR001-CHILLER]\r\nDevices=2000000000\r\nD1-Active=1\r\nD9-Active=1\r\n");
        writeAll(ctx.ProjectDir + "/ZTR001-CHILLER.dat", "PROTOCOLO=71-ZTR001-CHILLER\r\nVERSION=ZDM.1.0\r\nCAMPOS=12\r\n\tH\r\n"
                                                         "1\t1\t100-Status\t\t\t1/0/1\t\tR\t\tT\t\t1\t\r\n"
                                                         "2\t9\t100-Status\t\t\t1/0/9\t\tR\t\tT\t\t1\t\r\n");
        ctx.linkTables.clear();
        QVERIFY(!LoadLinkSignals(ctx));
        QCOMPARE(ctx.linkTables.count(), 1);
        QCOMPARE(ctx.linkTables.signals_[1].fields[1], QStringLiteral("1"));
    }
};

QTEST_GUILESS_MAIN(TestInputFaults)
#include "tst_inputfaults.moc"
