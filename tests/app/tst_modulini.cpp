// Settings access: the profile facility (IniFile) and the six operations of ModulINI.
// Expected file bytes are written out by hand: CR LF line ends, Windows-1252 text.
#include "TestSupport.h"
#include "app/IniFile.h"
#include "app/ModulINI.h"

#include <QDir>
#include <QFileInfo>
#include <QRandomGenerator>
#include <QtTest>

#include <sys/stat.h>

using namespace tarveon;
using tarveon::test::junk;

namespace {

// A byte string literal with its embedded NULs.
template <size_t N>
QByteArray B(const char (&s)[N])
{
    return QByteArray(s, qsizetype(N - 1));
}

} // namespace

class TestModulIni : public QObject {
    Q_OBJECT
private slots:
    void readString_data();
    void readString();
    void readInt_data();
    void readInt();
    void write_data();
    void write();
    void writeThenReadBack_data();
    void writeThenReadBack();
    void readsNeverTouchTheFile_data();
    void readsNeverTouchTheFile();
    void failedWriteReplacesNothing();
    void unchangedValueIsNotRewritten();

    void appSettingsDefaultsWithoutFile();
    void appSettingsFileIsExeBaseNameIni();
    void appSettingsLeadingNumbers();
    void projectFileNaming_data();
    void projectFileNaming();
    void failedWriteShowsX31_data();
    void failedWriteShowsX31();
    void projectOperationsWithoutProjectDir();
};

// ---------------------------------------------------------------------------------------------
// The profile facility

void TestModulIni::readString_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("file");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("defaultValue");
    QTest::addColumn<QString>("expected");

    const QByteArray app = B("[X103]\r\nSettings=9600,e,7,2\r\nCom=3\r\nLanguage=1\r\nLastProject=\r\n");
    QTest::newRow("no file: default") << false << QByteArray() << "X103" << "Settings" << "57600,n,8,1" << "57600,n,8,1";
    QTest::newRow("empty file: default") << true << QByteArray() << "X103" << "Settings" << "57600,n,8,1" << "57600,n,8,1";
    QTest::newRow("present") << true << app << "X103" << "Settings" << "57600,n,8,1" << "9600,e,7,2";
    QTest::newRow("section and key without regard to case") << true << app << "x103" << "SETTINGS" << "d" << "9600,e,7,2";
    QTest::newRow("missing key: default") << true << app << "X103" << "PathProjects" << "dflt" << "dflt";
    QTest::newRow("missing section: default") << true << app << "EIB" << "Com" << "dflt" << "dflt";
    QTest::newRow("present and empty: empty, not the default") << true << app << "X103" << "LastProject" << "dflt" << "";
    QTest::newRow("blanks around key and value") << true << B("  [ X103 ]  \r\n  Com  =  4 2  \r\n") << "X103" << "Com" << "" << "4 2";
    QTest::newRow("value with = inside") << true << B("[A]\r\nk=a=b\r\n") << "A" << "k" << "" << "a=b";
    QTest::newRow("LF only") << true << B("[A]\nk=1\nm=2\n") << "A" << "m" << "" << "2";
    QTest::newRow("no line end after the last line") << true << B("[A]\r\nk=last") << "A" << "k" << "" << "last";
    QTest::newRow("first of two equal keys") << true << B("[A]\r\nk=1\r\nK=2\r\n") << "A" << "k" << "" << "1";
    QTest::newRow("first of two equal sections only") << true << B("[A]\r\nx=1\r\n[a]\r\nk=2\r\n") << "A" << "k" << "d" << "d";
    QTest::newRow("key of another section") << true << B("[A]\r\nk=1\r\n[B]\r\n") << "B" << "k" << "d" << "d";
    QTest::newRow("key before any section") << true << B("k=1\r\n[A]\r\n") << "A" << "k" << "d" << "d";
    QTest::newRow("comment line") << true << B("[A]\r\n;k=1\r\n") << "A" << "k" << "d" << "d";
    QTest::newRow("section header without ]") << true << B("[A\r\nk=1\r\n") << "A" << "k" << "d" << "d";
    QTest::newRow("line without =") << true << B("[A]\r\nk\r\n") << "A" << "k" << "d" << "d";
    QTest::newRow("byte-order mark before the first section") << true << B("\xEF\xBB\xBF[A]\r\nk=1\r\n") << "A" << "k" << "" << "1";
    QTest::newRow("Windows-1252 bytes above 127") << true << B("[Project]\r\nDesc=Climatizaci\xF3n \x80 \xBA" "C\r\n")
                                                   << "Project" << "Desc" << "" << QString::fromUtf8("Climatización € ºC");
    QTest::newRow("254 characters at most") << true << QByteArray("[A]\r\nk=" + QByteArray(300, 'v') + "\r\n")
                                            << "A" << "k" << "" << QString(254, QLatin1Char('v'));
    QTest::newRow("exactly 254 characters") << true << QByteArray("[A]\r\nk=" + QByteArray(254, 'w') + "\r\n")
                                            << "A" << "k" << "" << QString(254, QLatin1Char('w'));
    QTest::newRow("default cut to 254 too") << false << QByteArray() << "A" << "k" << QString(260, QLatin1Char('d'))
                                            << QString(254, QLatin1Char('d'));
    QTest::newRow("value cut at NUL") << true << B("[A]\r\nk=ab\0cd\r\n") << "A" << "k" << "" << "ab";
    QTest::newRow("value starting with NUL is empty") << true << B("[A]\r\nk=\0cd\r\n") << "A" << "k" << "d" << "";
    QTest::newRow("100 kB line before the key") << true
        << QByteArray("[A]\r\n" + QByteArray(100 * 1024, 'x') + "\r\nk=found\r\n") << "A" << "k" << "" << "found";
    QTest::newRow("100 kB value") << true << QByteArray("[A]\r\nk=" + QByteArray(100 * 1024, 'y') + "\r\n")
                                  << "A" << "k" << "" << QString(254, QLatin1Char('y'));
    QTest::newRow("binary junk") << true << junk(1, 4096) << "X103" << "Com" << "dflt" << "dflt";
    QTest::newRow("binary junk around a good section") << true
        << QByteArray(junk(2, 2000) + "\r\n[X103]\r\nCom=5\r\n" + junk(3, 2000)) << "X103" << "Com" << "d" << "5";
}

void TestModulIni::readString()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, file);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, defaultValue);
    QFETCH(QString, expected);
    test::TempProgramDir dir(false);
    if (exists)
        dir.writeFile("a.ini", file);
    QCOMPARE(IniFile(dir.filePath("a.ini")).read(section, key, defaultValue), expected);
}

void TestModulIni::readInt_data()
{
    QTest::addColumn<QByteArray>("value"); // the text after "k=", or empty for a missing key
    QTest::addColumn<bool>("present");
    QTest::addColumn<int>("defaultValue");
    QTest::addColumn<int>("expected");

    QTest::newRow("number") << QByteArray("3") << true << 1 << 3;
    QTest::newRow("missing: default") << QByteArray() << false << 57 << 57;
    QTest::newRow("empty: 0") << QByteArray("") << true << 1 << 0;
    QTest::newRow("2 followed by letters: 2") << QByteArray("2abc") << true << 0 << 2;
    QTest::newRow("letters: 0") << QByteArray("abc") << true << 9 << 0;
    QTest::newRow("sign is not a digit: 0") << QByteArray("-5") << true << 9 << 0;
    QTest::newRow("hex prefix: 0") << QByteArray("0x10") << true << 9 << 0;
    QTest::newRow("leading zeros") << QByteArray("007") << true << 0 << 7;
    QTest::newRow("blanks around") << QByteArray("  12  ") << true << 0 << 12;
    QTest::newRow("decimal point ends the number") << QByteArray("12.9") << true << 0 << 12;
    QTest::newRow("largest 32-bit") << QByteArray("2147483647") << true << 0 << 2147483647;
    QTest::newRow("wraps like a 32-bit read") << QByteArray("4294967299") << true << 0 << 3;
    QTest::newRow("digits after NUL ignored") << QByteArray("1\0002", 3) << true << 0 << 1;
    QTest::newRow("Windows-1252 digit-like byte") << QByteArray("\xB2") << true << 5 << 0;
}

void TestModulIni::readInt()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, present);
    QFETCH(int, defaultValue);
    QFETCH(int, expected);
    test::TempProgramDir dir(false);
    dir.writeFile("a.ini", present ? QByteArray("[A]\r\nk=" + value + "\r\n") : QByteArray("[A]\r\n"));
    QCOMPARE(IniFile(dir.filePath("a.ini")).readInt("a", "K", defaultValue), expected);
}

void TestModulIni::write_data()
{
    QTest::addColumn<bool>("exists");
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("key");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QByteArray>("after");

    QTest::newRow("file created on first write") << false << QByteArray() << "X103" << "Com" << "3"
                                                 << B("[X103]\r\nCom=3\r\n");
    QTest::newRow("empty file") << true << QByteArray() << "X103" << "Com" << "3" << B("[X103]\r\nCom=3\r\n");
    QTest::newRow("replaced in place, rest kept")
        << true << B("[X103]\r\nSettings=9600,n,8,1\r\nCom=1\r\nLanguage=0\r\n") << "X103" << "Com" << "12"
        << B("[X103]\r\nSettings=9600,n,8,1\r\nCom=12\r\nLanguage=0\r\n");
    QTest::newRow("line rewritten as key=value, stored spelling kept")
        << true << B("[x103]\r\n  com = 1   \r\n") << "X103" << "Com" << "2" << B("[x103]\r\ncom=2\r\n");
    QTest::newRow("blanks of the value as given")
        << true << B("[A]\r\nk=1\r\n") << "A" << "k" << " v " << B("[A]\r\nk= v \r\n");
    QTest::newRow("empty value replaced") << true << B("[A]\r\nk=\r\n") << "A" << "k" << "v" << B("[A]\r\nk=v\r\n");
    QTest::newRow("value emptied") << true << B("[A]\r\nk=old\r\n") << "A" << "k" << "" << B("[A]\r\nk=\r\n");
    QTest::newRow("new key after the section's last key")
        << true << B("[A]\r\nx=1\r\n\r\n[B]\r\ny=2\r\n") << "a" << "z" << "3" << B("[A]\r\nx=1\r\nz=3\r\n\r\n[B]\r\ny=2\r\n");
    QTest::newRow("new key in a section without keys")
        << true << B("[A]\r\n[B]\r\ny=2\r\n") << "A" << "k" << "1" << B("[A]\r\nk=1\r\n[B]\r\ny=2\r\n");
    QTest::newRow("new section at the end")
        << true << B("[A]\r\nx=1\r\n") << "EIB" << "PhyAdd" << "15.15.255" << B("[A]\r\nx=1\r\n[EIB]\r\nPhyAdd=15.15.255\r\n");
    QTest::newRow("last line without line end, new key")
        << true << B("[A]\r\nx=1") << "A" << "y" << "2" << B("[A]\r\nx=1\r\ny=2\r\n");
    QTest::newRow("last line without line end, new section")
        << true << B("[A]\r\nx=1") << "B" << "y" << "2" << B("[A]\r\nx=1\r\n[B]\r\ny=2\r\n");
    QTest::newRow("last line without line end, replaced")
        << true << B("[A]\r\nx=1") << "A" << "x" << "7" << B("[A]\r\nx=7");
    QTest::newRow("LF-only file keeps LF") << true << B("[A]\nx=1\n") << "A" << "y" << "2" << B("[A]\nx=1\ny=2\n");
    QTest::newRow("LF-only file, replaced") << true << B("[A]\nx=1\ny=2\n") << "A" << "x" << "5" << B("[A]\nx=5\ny=2\n");
    QTest::newRow("comments and odd lines kept")
        << true << B("; made by hand\r\n[A]\r\njunk line\r\nx=1\r\n;x=9\r\n") << "A" << "x" << "5"
        << B("; made by hand\r\n[A]\r\njunk line\r\nx=5\r\n;x=9\r\n");
    QTest::newRow("first of two equal sections")
        << true << B("[A]\r\nx=1\r\n[B]\r\n[A]\r\nx=2\r\n") << "A" << "x" << "9" << B("[A]\r\nx=9\r\n[B]\r\n[A]\r\nx=2\r\n");
    QTest::newRow("Windows-1252 text") << false << QByteArray() << "Project" << "Desc" << QString::fromUtf8("Climatización € ºC")
                                       << B("[Project]\r\nDesc=Climatizaci\xF3n \x80 \xBA" "C\r\n");
    QTest::newRow("value is one line") << false << QByteArray() << "A" << "k" << "one\r\ntwo" << B("[A]\r\nk=one\r\n");
    QTest::newRow("value cut at NUL") << false << QByteArray() << "A" << "k" << QString::fromLatin1("ab\0cd", 5)
                                      << B("[A]\r\nk=ab\r\n");
    QTest::newRow("binary junk kept byte for byte")
        << true << B("\x00\x01\xFF\xFE\tjunk\x00\r\n") << "X103" << "Com" << "3" << B("\x00\x01\xFF\xFE\tjunk\x00\r\n[X103]\r\nCom=3\r\n");
    QTest::newRow("100 kB line kept")
        << true << QByteArray("[A]\r\n" + QByteArray(100 * 1024, 'x') + "\r\nk=1\r\n") << "A" << "k" << "2"
        << QByteArray("[A]\r\n" + QByteArray(100 * 1024, 'x') + "\r\nk=2\r\n");
    QTest::newRow("byte-order mark kept") << true << B("\xEF\xBB\xBF[A]\r\nk=1\r\n") << "A" << "k" << "2"
                                          << B("\xEF\xBB\xBF[A]\r\nk=2\r\n");
}

void TestModulIni::write()
{
    QFETCH(bool, exists);
    QFETCH(QByteArray, before);
    QFETCH(QString, section);
    QFETCH(QString, key);
    QFETCH(QString, value);
    QFETCH(QByteArray, after);
    test::TempProgramDir dir(false);
    if (exists)
        dir.writeFile("a.ini", before);
    QVERIFY(IniFile(dir.filePath("a.ini")).write(section, key, value));
    QCOMPARE(dir.readFile("a.ini"), after);
}

void TestModulIni::writeThenReadBack_data()
{
    QTest::addColumn<QByteArray>("before");
    QTest::addColumn<QString>("value");
    QTest::addColumn<QString>("readBack");

    const QString accents = QString::fromUtf8("Año ñ ¿Sí? €Œ ÿ");
    QTest::newRow("plain") << QByteArray() << "192.168.0.1" << "192.168.0.1";
    QTest::newRow("accents and euro") << QByteArray() << accents << accents;
    QTest::newRow("outer blanks are not kept") << QByteArray() << "  x  " << "x";
    QTest::newRow("over 254 read back cut") << QByteArray() << QString(300, QLatin1Char('z')) << QString(254, QLatin1Char('z'));
    QTest::newRow("into binary junk") << junk(7, 3000) << "kept" << "kept";
    QTest::newRow("into an LF file") << QByteArray("[A]\nx=1\n") << "v" << "v";
}

void TestModulIni::writeThenReadBack()
{
    QFETCH(QByteArray, before);
    QFETCH(QString, value);
    QFETCH(QString, readBack);
    test::TempProgramDir dir(false);
    if (!before.isEmpty())
        dir.writeFile("a.ini", before);
    IniFile ini(dir.filePath("a.ini"));
    QVERIFY(ini.write("A", "Key", value));
    QCOMPARE(ini.read("a", "key", "default"), readBack);
    // A second write of the same key changes nothing else.
    const QByteArray once = dir.readFile("a.ini");
    QVERIFY(ini.write("A", "Key", value));
    QCOMPARE(dir.readFile("a.ini"), once);
}

void TestModulIni::readsNeverTouchTheFile_data()
{
    QTest::addColumn<QByteArray>("file");
    QTest::newRow("empty") << QByteArray();
    QTest::newRow("CR LF") << B("[X103]\r\nCom=2\r\n");
    QTest::newRow("LF only") << B("[X103]\nCom=2\n");
    QTest::newRow("binary junk") << junk(11, 5000);
    QTest::newRow("100 kB line") << QByteArray(100 * 1024, '[');
}

void TestModulIni::readsNeverTouchTheFile()
{
    QFETCH(QByteArray, file);
    test::TempProgramDir dir(false);
    dir.writeFile("a.ini", file);
    IniFile ini(dir.filePath("a.ini"));
    (void)ini.read("X103", "Settings", "57600,n,8,1");
    (void)ini.readInt("X103", "Com", 1);
    (void)ini.read("EIB", "PhyAdd", "");
    QCOMPARE(dir.readFile("a.ini"), file);
    // Reading a missing file does not create it.
    (void)IniFile(dir.filePath("none.ini")).read("A", "k", "d");
    QVERIFY(!QFileInfo::exists(dir.filePath("none.ini")));
}

void TestModulIni::failedWriteReplacesNothing()
{
    test::TempProgramDir dir(false);
    QVERIFY(!IniFile(dir.filePath("missing/a.ini")).write("A", "k", "v"));
    QVERIFY(!QFileInfo::exists(dir.filePath("missing")));
    // A directory where the file should be cannot be read: it is left alone.
    QVERIFY(QDir(dir.path()).mkdir("d.ini"));
    QVERIFY(!IniFile(dir.filePath("d.ini")).write("A", "k", "v"));
    QVERIFY(QFileInfo(dir.filePath("d.ini")).isDir());
    QVERIFY(!IniFile(QString()).write("A", "k", "v"));
    QCOMPARE(IniFile(QString()).read("A", "k", "d"), QStringLiteral("d"));
}

void TestModulIni::unchangedValueIsNotRewritten()
{
    // A save replaces the file by a new one (new inode); storing the value already there does not.
    auto inode = [](const QString &path) {
        struct stat st {};
        return ::stat(QFile::encodeName(path).constData(), &st) == 0 ? quint64(st.st_ino) : 0;
    };
    test::TempProgramDir dir(false);
    const QString path = dir.filePath("a.ini");
    dir.writeFile("a.ini", B("[A]\r\nk = same\r\n"));
    const quint64 first = inode(path);
    QVERIFY(IniFile(path).write("a", "K", "other"));
    const quint64 second = inode(path);
    QVERIFY(second != first);
    QVERIFY(IniFile(path).write("A", "k", "other"));
    QCOMPARE(inode(path), second);
    QCOMPARE(dir.readFile("a.ini"), B("[A]\r\nk=other\r\n"));
}

// ---------------------------------------------------------------------------------------------
// The six operations

void TestModulIni::appSettingsDefaultsWithoutFile()
{
    test::TestContext t;
    const ModulINI &ini = t.ctx->ini;
    QCOMPARE(ini.ReadAppSetting("X103", "Settings", "57600,n,8,1"), QStringLiteral("57600,n,8,1"));
    QCOMPARE(ini.ReadAppSettingInt("X103", "Com", 1), 1);
    QCOMPARE(ini.ReadAppSetting("X103", "PathTemplates", ""), QString());
    QCOMPARE(ini.ReadAppSetting("X103", "PathProjects", ""), QString());
    QCOMPARE(ini.ReadAppSetting("X103", "LastProject", ""), QString());
    QCOMPARE(ini.ReadAppSettingInt("X103", "Language", 0), 0);
    QVERIFY(t.prompter.records.isEmpty());
    QVERIFY(!QFileInfo::exists(t.dir.filePath("tarveon-config.ini")));
}

void TestModulIni::appSettingsFileIsExeBaseNameIni()
{
    test::TestContext t;
    QCOMPARE(t.ctx->ini.appFilePath(), t.dir.filePath("tarveon-config.ini"));
    t.ctx->ini.WriteAppSetting("X103", "Com", "16");
    t.ctx->ini.WriteAppSetting("X103", "Settings", "9600,n,8,1");
    t.ctx->ini.WriteAppSetting("X103", "Com", "2");
    QCOMPARE(t.dir.readFile("tarveon-config.ini"), B("[X103]\r\nCom=2\r\nSettings=9600,n,8,1\r\n"));
    QCOMPARE(t.ctx->ini.ReadAppSettingInt("x103", "com", 1), 2);
    QVERIFY(t.prompter.records.isEmpty());
}

void TestModulIni::appSettingsLeadingNumbers()
{
    test::TestContext t;
    t.dir.writeFile("tarveon-config.ini", B("[X103]\r\nLanguage=2abc\r\nCom=\r\n"));
    QCOMPARE(t.ctx->ini.ReadAppSettingInt("X103", "Language", 0), 2);
    QCOMPARE(t.ctx->ini.ReadAppSettingInt("X103", "Com", 1), 0);
    QCOMPARE(t.ctx->ini.ReadAppSetting("X103", "Com", "1"), QString());
}

void TestModulIni::projectFileNaming_data()
{
    QTest::addColumn<QString>("iniFileName");
    QTest::addColumn<QString>("section");
    QTest::addColumn<QString>("fileName");

    QTest::newRow("IniFileName empty: the section names the file") << "" << "Project" << "Project.ini";
    QTest::newRow("IniFileName set, own section") << "ZTR001-PACKAGED" << "ZTR001-PACKAGED" << "ZTR001-PACKAGED.ini";
    QTest::newRow("IniFileName set, other section") << "ZTR001-CHILLER" << "EIB" << "ZTR001-CHILLER.ini";
}

void TestModulIni::projectFileNaming()
{
    QFETCH(QString, iniFileName);
    QFETCH(QString, section);
    QFETCH(QString, fileName);
    test::TestContext t;
    const QString projectDir = t.dir.filePath("ProjectsZDM/Hotel");
    QVERIFY(QDir().mkpath(projectDir));
    t.ctx->ProjectDir = projectDir;
    t.ctx->IniFileName = iniFileName;
    const ModulINI &ini = t.ctx->ini;
    QCOMPARE(ini.projectFilePath(section), QDir(projectDir).filePath(fileName));

    QCOMPARE(ini.ReadProjectSetting(section, "Desc", "none"), QStringLiteral("none"));
    QCOMPARE(ini.ReadProjectSettingInt(section, "Devices", 1), 1);
    ini.WriteProjectSetting(section, "Desc", QString::fromUtf8("Sala ñ"));
    ini.WriteProjectSetting(section, "Devices", "12");
    const QByteArray expected = "[" + section.toLatin1() + "]\r\nDesc=Sala \xF1\r\nDevices=12\r\n";
    QCOMPARE(t.dir.readFile("ProjectsZDM/Hotel/" + fileName), expected);
    QCOMPARE(ini.ReadProjectSetting(section, "desc", ""), QString::fromUtf8("Sala ñ"));
    QCOMPARE(ini.ReadProjectSettingInt(section.toLower(), "DEVICES", 1), 12);
    QCOMPARE(QDir(projectDir).entryList(QDir::Files), QStringList{fileName});
    QVERIFY(t.prompter.records.isEmpty());
}

void TestModulIni::failedWriteShowsX31_data()
{
    QTest::addColumn<int>("which"); // 0 app file, 1 project file
    QTest::addColumn<QString>("iniFileName");
    QTest::addColumn<QString>("shownName");

    QTest::newRow("application file: base name only") << 0 << "" << "tarveon-config.ini";
    QTest::newRow("project file: the section's name") << 1 << "" << "Project.ini";
    QTest::newRow("project file: IniFileName") << 1 << "ZTR001-PACKAGED" << "ZTR001-PACKAGED.ini";
}

void TestModulIni::failedWriteShowsX31()
{
    QFETCH(int, which);
    QFETCH(QString, iniFileName);
    QFETCH(QString, shownName);
    test::TestContext t;
    const QString missing = t.dir.filePath("no/such/dir");
    if (which == 0) {
        t.ctx->programDir = missing;
        t.ctx->ini.WriteAppSetting("X103", "LastProject", "Hotel");
    } else {
        t.ctx->ProjectDir = missing;
        t.ctx->IniFileName = iniFileName;
        t.ctx->ini.WriteProjectSetting("Project", "Desc", "x");
    }
    QCOMPARE(t.prompter.records.size(), 1);
    const auto &r = t.prompter.records.first();
    QCOMPARE(r.kind, RecordingPrompter::Record::PlatformBox);
    QCOMPARE(r.title, kAppTitle);
    QCOMPARE(r.buttons, int(BoxButtons::Ok));
    QCOMPARE(r.text, t.ctx->GetText("X31") + shownName);
    QVERIFY(!QFileInfo::exists(t.dir.filePath("no")));
}

void TestModulIni::projectOperationsWithoutProjectDir()
{
    test::TestContext t;
    // Without a project directory there is no project file: defaults, and a write fails.
    t.ctx->ProjectDir.clear();
    t.ctx->IniFileName.clear();
    QCOMPARE(t.ctx->ini.ReadProjectSetting("Project", "Prot", "p"), QStringLiteral("p"));
    QCOMPARE(t.ctx->ini.ReadProjectSettingInt("Project", "Devices", 4), 4);
    t.ctx->ini.WriteProjectSetting("Project", "Prot", "ZTR001-CHILLER");
    QCOMPARE(t.prompter.texts(), QStringList{t.ctx->GetText("X31") + "Project.ini"});
    QVERIFY(!QFileInfo::exists(QDir::current().filePath("Project.ini")));

    t.prompter.clear();
    t.ctx->ProjectDir = t.dir.path();
    t.ctx->ini.WriteProjectSetting("Project", "Prot", "ZTR001-CHILLER");
    t.ctx->ini.WriteAppSetting("X103", "Language", "1");
    QVERIFY(t.prompter.records.isEmpty());
}

QTEST_GUILESS_MAIN(TestModulIni)
#include "tst_modulini.moc"
