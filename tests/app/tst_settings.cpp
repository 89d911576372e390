// Settings access: the profile facility (IniDocument, IniFile) and the operations of ModulINI.
// Expected file bytes are written out by hand: CR LF line ends, Windows-1252 text.
#include "TestSupport.h"
#include "app/IniFile.h"

#include <QtTest>

using namespace tarveon;

namespace {

template <size_t N>
QByteArray B(const char (&s)[N]) // a byte literal with its NULs
{
    return QByteArray(s, qsizetype(N - 1));
}

} // namespace

class TestSettings : public QObject {
    Q_OBJECT
    test::TestContext t;
    QString file() { return t.dir.filePath("a.ini"); }

private slots:
    void init()
    {
        QFile::remove(file());
        QDir(t.dir.filePath("P")).removeRecursively();
        t.prompter.clear();
    }

    // The value read as text (the default "d" cut to 254 characters when missing) and as integer
    // (the leading decimal digits; 57 when missing).
    void read_data()
    {
        QTest::addColumn<QByteArray>("bytes"); // null: no file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("text");
        QTest::addColumn<int>("number");
        const auto row = [](const char *name, const QByteArray &bytes, const QString &section, const QString &key,
                            const QString &text, int number) { QTest::newRow(name) << bytes << section << key << text << number; };
        const QByteArray app = B("[X103]\r\nSettings=9600,e,7,2\r\nCom=3\r\nLastProject=\r\n");
        const QString d(254, 'd');
        row("no file", QByteArray(), "X103", "Settings", d, 57);
        row("present", app, "X103", "Settings", "9600,e,7,2", 9600);
        row("names without regard to case", app, "x103", "COM", "3", 3);
        row("missing key", app, "X103", "PathProjects", d, 57);
        row("present and empty", app, "X103", "LastProject", "", 0);
        row("blanks around", B("  [ X103 ]  \r\n  Com  =  4 2  \r\n"), "X103", "Com", "4 2", 4);
        row("letters after digits", B("[A]\r\nk=2abc\r\n"), "A", "k", "2abc", 2);
        row("sign is no digit", B("[A]\r\nk=-5\r\n"), "A", "k", "-5", 0);
        row("point ends the number", B("[A]\nk=1\nm=12.9"), "A", "m", "12.9", 12);
        row("largest integer", B("[A]\r\nk=2147483647\r\n"), "A", "k", "2147483647", 2147483647);
        row("wraps as 32 bits", B("[A]\r\nk=4294967299\r\n"), "A", "k", "4294967299", 3);
        row("first of two keys", B("[A]\r\nk=1\r\nK=2\r\n"), "A", "k", "1", 1);
        row("first of two sections only", B("[A]\r\nx=1\r\n[a]\r\nk=2\r\n"), "A", "k", d, 57);
        row("key before any section", B("k=1\r\n[A]\r\n"), "A", "k", d, 57);
        row("comment, no ], no =", B("[A]\r\n;k=1\r\n[B\r\nk\r\n"), "A", "k", d, 57);
        row("byte-order mark", B("\xEF\xBB\xBF[A]\r\nk=1\r\n"), "A", "k", "1", 1);
        row("Windows-1252", B("[P]\r\nDesc=Climatizaci\xF3n \x80 \xBA" "C\r\n"), "P", "desc", "Climatización € ºC", 0);
        row("non-ASCII names", B("[Sal\xC9]\r\n\xD1=1\r\n"), "salé", "ñ", "1", 1);
        row("254 characters", "[A]\r\nk=" + QByteArray(254, '7') + "\r\n", "A", "k", QString(254, '7'), -1);
        row("255 cut to 254", "[A]\r\nk=" + QByteArray(255, 'v') + "\r\n", "A", "k", QString(254, 'v'), 0);
        row("cut at NUL", B("[A]\r\nk=12\0" "34\r\n"), "A", "k", "12", 12);
    }
    void read()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, text);
        QFETCH(int, number);
        if (!bytes.isNull())
            t.dir.writeFile("a.ini", bytes);
        QCOMPARE(IniFile(file()).read(section, key, QString(260, 'd')), text);
        if (number >= 0)
            QCOMPARE(IniFile(file()).readInt(section, key, 57), number);
        QCOMPARE(t.dir.readFile("a.ini"), bytes); // a read never writes, not even a missing file
        QCOMPARE(QFileInfo::exists(file()), !bytes.isNull());
    }

    void write_data()
    {
        QTest::addColumn<QByteArray>("before"); // null: no file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("key");
        QTest::addColumn<QString>("value");
        QTest::addColumn<QByteArray>("after");
        const auto row = [](const char *name, const QByteArray &before, const QString &section, const QString &key,
                            const QString &value, const QByteArray &after) {
            QTest::newRow(name) << before << section << key << value << after;
        };
        row("file created", QByteArray(), "X103", "Com", "3", B("[X103]\r\nCom=3\r\n"));
        row("replaced in place", B("[X103]\r\nSettings=9600,n,8,1\r\nCom=1\r\nLanguage=0\r\n"), "X103", "Com", "12",
            B("[X103]\r\nSettings=9600,n,8,1\r\nCom=12\r\nLanguage=0\r\n"));
        row("stored spelling kept", B("[x103]\r\n  com = 1   \r\n"), "X103", "Com", " v ", B("[x103]\r\ncom= v \r\n"));
        row("non-ASCII name, other case", B("[S]\r\nSal\xC9=a\r\n"), "s", "salé", "v", B("[S]\r\nSal\xC9=v\r\n"));
        row("same length, other name", B("[S]\r\nD13=a\r\n"), "S", "D12", "v", B("[S]\r\nD13=a\r\nD12=v\r\n"));
        row("NUL in a stored name", B("[S]\r\nK\0y=a\r\n"), "S", "Kxy", "v", B("[S]\r\nK\0y=a\r\nKxy=v\r\n"));
        row("new key after the last key", B("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n"), "a", "z", "3",
            B("[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n"));
        row("new section at the end", B("[A]\r\nx=1"), "EIB", "PhyAdd", "1.1.1", B("[A]\r\nx=1\r\n[EIB]\r\nPhyAdd=1.1.1\r\n"));
        row("no final line end, replaced", B("[A]\r\nx=1"), "A", "x", "7", B("[A]\r\nx=7"));
        row("LF file keeps LF", B("[A]\nx=1\n"), "A", "y", "2", B("[A]\nx=1\ny=2\n"));
        row("comments and odd lines kept", B("; hand\r\n[A]\r\njunk\r\nx=1\r\n;x=9\r\n"), "A", "x", "5",
            B("; hand\r\n[A]\r\njunk\r\nx=5\r\n;x=9\r\n"));
        row("first of two sections", B("[A]\r\nx=1\r\n[A]\r\nx=2\r\n"), "A", "x", "9", B("[A]\r\nx=9\r\n[A]\r\nx=2\r\n"));
        row("Windows-1252", QByteArray(), "P", "Desc", "Climatización €", B("[P]\r\nDesc=Climatizaci\xF3n \x80\r\n"));
        row("value is one line", QByteArray(), "A", "k", "one\r\ntwo", B("[A]\r\nk=one\r\n"));
        row("byte-order mark kept", B("\xEF\xBB\xBF[A]\r\nk=1\r\n"), "A", "k", "2", B("\xEF\xBB\xBF[A]\r\nk=2\r\n"));
    }
    void write()
    {
        QFETCH(QByteArray, before);
        QFETCH(QString, section);
        QFETCH(QString, key);
        QFETCH(QString, value);
        QFETCH(QByteArray, after);
        if (!before.isNull())
            t.dir.writeFile("a.ini", before);
        QVERIFY(IniFile(file()).write(section, key, value));
        QCOMPARE(t.dir.readFile("a.ini"), after);
        // A document in memory reads what it wrote, also after a second write.
        IniDocument doc(before);
        doc.setValue(section, key, value);
        QCOMPARE(doc.read(section.toUpper(), key.toLower(), "d"), value.section('\r', 0, 0).trimmed());
        doc.setValue(section, key, "again");
        QCOMPARE(doc.read(section, key, "d"), QStringLiteral("again"));
    }

    // The file each operation addresses, and its "X31" message with that file's name when the
    // write fails: returned by saveAppSetting / saveProjectSetting, shown by the Write operations.
    void files_data()
    {
        QTest::addColumn<QString>("iniFileName"); // "app": the application settings file
        QTest::addColumn<QString>("section");
        QTest::addColumn<QString>("name");
        QTest::newRow("application file") << "app" << "X103" << "tarveon-config.ini";
        QTest::newRow("project file by section") << "" << "Project" << "Project.ini";
        QTest::newRow("project file by IniFileName") << "ZTR001-CHILLER" << "EIB" << "ZTR001-CHILLER.ini";
    }
    void files()
    {
        QFETCH(QString, iniFileName);
        QFETCH(QString, section);
        QFETCH(QString, name);
        const bool app = iniFileName == "app";
        for (const QString &dir : {"P", "no/such"}) {
            AppContext ctx(t.dir.filePath(dir), "tarveon-config", &t.prompter);
            ctx.language.setTexts({{"X31", "Cannot write "}});
            ctx.ProjectDir = ctx.programDir;
            ctx.IniFileName = app ? QString() : iniFileName;
            QDir().mkpath(t.dir.filePath("P"));
            const auto save = [&] { return app ? ctx.ini.saveAppSetting(section, "Devices", "12")
                                               : ctx.ini.saveProjectSetting(section, "Devices", "12"); };
            if (dir == "P") {
                QVERIFY(!save());
                QCOMPARE(t.dir.readFile("P/" + name), "[" + section.toLatin1() + "]\r\nDevices=12\r\n");
                QCOMPARE(app ? ctx.ini.ReadAppSettingInt("x103", "DEVICES", 1)
                             : ctx.ini.ReadProjectSettingInt(section.toLower(), "DEVICES", 1), 12);
                continue;
            }
            QCOMPARE(save(), std::optional<Fault>(Fault{"X31", "Cannot write " + name, FaultKind::Information}));
            app ? ctx.ini.WriteAppSetting(section, "k", "v") : ctx.ini.WriteProjectSetting(section, "k", "v");
            QCOMPARE(t.prompter.texts(), QStringList{"Cannot write " + name});
            QCOMPARE(t.prompter.records[0].kind, RecordingPrompter::Record::PlatformBox);
            QVERIFY(!QFileInfo::exists(t.dir.filePath("no")));
            ctx.ProjectDir.clear(); // no project: defaults, and writes fail
            QCOMPARE(ctx.ini.ReadProjectSetting("Project", "Prot", "p"), QStringLiteral("p"));
            QVERIFY(ctx.ini.saveProjectSetting("Project", "Prot", "x"));
        }
    }
};

QTEST_GUILESS_MAIN(TestSettings)
#include "tst_settings.moc"
