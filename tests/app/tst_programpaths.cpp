#include "TestSupport.h"
#include "app/IniFile.h"
#include "app/ProgramPaths.h"
#include "app/Startup.h"
#include "app/Version.h"
#include "app/ui/AppIcon.h"
#include "app/ui/MDITarveon.h"
#include "version.h"

#include <QDir>
#include <QFile>
#include <QMenu>
#include <QProcess>
#include <QTemporaryDir>
#include <QUrl>
#include <QtTest>

using namespace tarveon;

namespace {

const QString kBase = QStringLiteral("tarveon-config");

// A scratch file system with the places a program can be found in: the executable's directory
// usr/bin, the installed data usr/share/tarveon-config, a further system data directory and the
// user's data directory. Writability is played, not taken from the disk (tests run as root).
struct Layout {
    Layout()
    {
        for (const QString &d : {bin(), share(), system(), QDir::cleanPath(root.filePath("home"))})
            QDir().mkpath(d);
    }
    QString bin() const { return QDir::cleanPath(root.filePath("usr/bin")); }
    QString share() const { return QDir::cleanPath(root.filePath("usr/share/tarveon-config")); }
    QString system() const { return QDir::cleanPath(root.filePath("sys/tarveon-config")); }
    QString user() const { return QDir::cleanPath(root.filePath("home/tarveon-config")); }

    // The shipped language file under the given name, and the templates, into dir.
    void ship(const QString &dir, const QString &lngName = QStringLiteral("RESOURCES.LNG")) const
    {
        QVERIFY(QFile::copy(test::resourcesDir() + "/RESOURCES.LNG", dir + "/" + lngName));
        QDir().mkpath(dir + "/TemplatesZDM");
        QDir().mkpath(dir + "/DocsZDM");
        QFile::copy(test::resourcesDir() + "/TemplatesZDM/ZTR001-PACKAGED.ini", dir + "/TemplatesZDM/ZTR001-PACKAGED.ini");
    }
    void touch(const QString &path) const
    {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
    }

    PathEnvironment env(bool binWritable) const
    {
        PathEnvironment e;
        const QString exeDir = bin();
        e.isWritable = [exeDir, binWritable](const QString &dir) {
            return QDir::cleanPath(dir) == exeDir ? binWritable : true;
        };
        e.userDataDir = user();
        e.systemDataDirs = {system()};
        return e;
    }

    QString named(const QString &which) const
    {
        if (which == "bin")
            return bin();
        if (which == "share")
            return share();
        if (which == "system")
            return system();
        if (which == "user")
            return user();
        return which;
    }

    QTemporaryDir root;
};

QStringList texts(const RecordingPrompter &prompter)
{
    QStringList out;
    for (const auto &r : prompter.records)
        out << r.text;
    return out;
}

} // namespace

class TestProgramPaths : public QObject {
    Q_OBJECT
private slots:
    void resolve_data();
    void resolve();
    void userDirMadeOnlyWhenChosen();
    void withoutUserDirStaysBeside();
    void systemEnvironment();

    void installedContextReadsDataAndWritesUserDir();
    void buildTreeContextKeepsEverythingBeside();
    void toolLanguageForOtherPrograms();
    void pathSettingsStillWin();
    void describePaths();
    void mainWindowInstalled();

    void versionText();
    void versionOption_data();
    void versionOption();
    void programsPrintVersion_data();
    void programsPrintVersion();
    void iconImage();
};

// Which directory holds the settings and which the shipped data, for each way the program may
// have been put on the disk.
void TestProgramPaths::resolve_data()
{
    QTest::addColumn<QString>("binLng");     // language file beside the program ("" none)
    QTest::addColumn<bool>("binSettings");   // settings file already beside the program
    QTest::addColumn<bool>("binWritable");
    QTest::addColumn<bool>("shareLng");      // usr/share/tarveon-config holds the language file
    QTest::addColumn<bool>("systemLng");     // a further system data directory holds it
    QTest::addColumn<QString>("settingsDir");
    QTest::addColumn<QString>("dataDir");

    QTest::newRow("build tree") << "tarveon-config.LNG" << false << true << false << false << "bin" << "bin";
    QTest::newRow("copy with RESOURCES.LNG only") << "RESOURCES.LNG" << false << true << false << false << "bin" << "bin";
    QTest::newRow("language name in other case") << "resources.lng" << false << true << false << false << "bin" << "bin";
    QTest::newRow("read-only copy") << "RESOURCES.LNG" << false << false << false << false << "user" << "bin";
    QTest::newRow("copy beside wins over installed data") << "RESOURCES.LNG" << false << true << true << true << "bin" << "bin";
    QTest::newRow("installed, run by a user") << "" << false << false << true << false << "user" << "share";
    QTest::newRow("installed, run by root") << "" << false << true << true << false << "user" << "share";
    QTest::newRow("installed elsewhere") << "" << false << false << false << true << "user" << "system";
    QTest::newRow("prefix data before system data") << "" << false << false << true << true << "user" << "share";
    QTest::newRow("settings kept beside an installed program") << "" << true << true << true << false << "bin" << "share";
    QTest::newRow("settings beside, read-only") << "" << true << false << true << false << "user" << "share";
    QTest::newRow("another program's language file") << "other.LNG" << false << true << true << false << "user" << "share";
    QTest::newRow("no language file anywhere") << "" << false << true << false << false << "user" << "bin";
}

void TestProgramPaths::resolve()
{
    QFETCH(QString, binLng);
    QFETCH(bool, binSettings);
    QFETCH(bool, binWritable);
    QFETCH(bool, shareLng);
    QFETCH(bool, systemLng);
    QFETCH(QString, settingsDir);
    QFETCH(QString, dataDir);

    Layout l;
    if (!binLng.isEmpty())
        l.ship(l.bin(), binLng);
    if (binSettings)
        l.touch(l.bin() + "/tarveon-config.ini");
    if (shareLng)
        l.ship(l.share(), "tarveon-config.LNG");
    if (systemLng)
        l.ship(l.system());

    const ProgramPaths p = ResolveProgramPaths(l.bin() + "/", kBase, l.env(binWritable));
    QCOMPARE(p.exeDir, l.bin());
    QCOMPARE(p.baseName, kBase);
    QCOMPARE(p.settingsDir, l.named(settingsDir));
    QCOMPARE(p.dataDir, l.named(dataDir));
}

void TestProgramPaths::userDirMadeOnlyWhenChosen()
{
    Layout l;
    l.ship(l.bin());
    ResolveProgramPaths(l.bin(), kBase, l.env(true));
    QVERIFY(!QFileInfo::exists(l.user()));
    ResolveProgramPaths(l.bin(), kBase, l.env(false));
    QVERIFY(QFileInfo(l.user()).isDir());
}

void TestProgramPaths::withoutUserDirStaysBeside()
{
    Layout l;
    l.ship(l.share());
    PathEnvironment env = l.env(false);
    env.userDataDir.clear();
    const ProgramPaths p = ResolveProgramPaths(l.bin(), kBase, env);
    QCOMPARE(p.settingsDir, l.bin());
    QCOMPARE(p.dataDir, l.share());
}

void TestProgramPaths::systemEnvironment()
{
    QTemporaryDir home;
    qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
    qputenv("XDG_DATA_DIRS", (home.filePath("a") + ":" + home.filePath("b")).toUtf8());
    const PathEnvironment env = PathEnvironment::system();
    qunsetenv("XDG_DATA_HOME");
    qunsetenv("XDG_DATA_DIRS");
    QCOMPARE(env.userDataDir, home.filePath("data/tarveon-config"));
    QCOMPARE(env.systemDataDirs, QStringList({home.filePath("a/tarveon-config"), home.filePath("b/tarveon-config")}));
    QVERIFY(env.isWritable(home.path()));
    QVERIFY(!env.isWritable(home.filePath("missing")));
}

void TestProgramPaths::installedContextReadsDataAndWritesUserDir()
{
    Layout l;
    l.ship(l.share(), "tarveon-config.LNG");
    RecordingPrompter prompter;
    AppContext ctx(ResolveProgramPaths(l.bin(), kBase, l.env(false)), &prompter);
    QCOMPARE(ctx.programDir, l.user());
    QCOMPARE(ctx.dataDir, l.share());
    QCOMPARE(ctx.exeBaseName, kBase);

    QVERIFY(ctx.language.LoadLanguage());
    QCOMPARE(texts(prompter), QStringList());
    QVERIFY(!ctx.GetText("X99").isEmpty());

    ResolvePaths(ctx);
    QCOMPARE(texts(prompter), QStringList()); // the templates were found
    QCOMPARE(ctx.PathTemplates, l.share() + "/TemplatesZDM");
    QCOMPARE(ctx.PathProjects, l.user() + "/ProjectsZDM");

    // Settings go to the user's directory, same name and format; nothing beside the program.
    ctx.language.SelectLanguage(1);
    prompter.clear();
    ctx.ProjectName = "Alpha";
    StoreLastProject(ctx);
    QCOMPARE(texts(prompter), QStringList());
    QCOMPARE(IniFile(l.user() + "/tarveon-config.ini").read("X103", "LastProject", "<missing>"), QString("Alpha"));
    QCOMPARE(IniFile(l.user() + "/tarveon-config.ini").read("X103", "Language", "<missing>"), QString("1"));
    QCOMPARE(QDir(l.bin()).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
    QCOMPARE(QDir(l.share()).entryList(QDir::Files), QStringList{"tarveon-config.LNG"});
}

void TestProgramPaths::buildTreeContextKeepsEverythingBeside()
{
    Layout l;
    l.ship(l.bin(), "tarveon-config.LNG");
    RecordingPrompter prompter;
    AppContext ctx(ResolveProgramPaths(l.bin(), kBase, l.env(true)), &prompter);
    QVERIFY(ctx.language.LoadLanguage());
    ResolvePaths(ctx);
    QCOMPARE(texts(prompter), QStringList());
    QCOMPARE(ctx.PathTemplates, l.bin() + "/TemplatesZDM");
    QCOMPARE(ctx.PathProjects, l.bin() + "/ProjectsZDM");
    ctx.ini.WriteAppSetting("X103", "LastProject", "Beta");
    QVERIFY(QFileInfo::exists(l.bin() + "/tarveon-config.ini"));
    QVERIFY(!QFileInfo::exists(l.user()));

    // The context made the old way means the same: data in the program directory.
    AppContext plain(l.bin(), kBase, &prompter);
    QCOMPARE(plain.dataDir, plain.programDir);
}

// The command line and the simulator are other executables beside the tool: resolved under the
// tool's base name they read its settings and its language file, with no notice about a
// language file named after themselves.
void TestProgramPaths::toolLanguageForOtherPrograms()
{
    for (const bool installed : {false, true}) {
        Layout l;
        l.ship(installed ? l.share() : l.bin(), "tarveon-config.LNG");
        RecordingPrompter prompter;
        AppContext ctx(ResolveProgramPaths(l.bin(), kToolBaseName, l.env(!installed)), &prompter);
        QVERIFY(ctx.language.LoadLanguage());
        QCOMPARE(texts(prompter), QStringList());
        QCOMPARE(ctx.ini.appFilePath(), (installed ? l.user() : l.bin()) + "/tarveon-config.ini");
    }
}

void TestProgramPaths::pathSettingsStillWin()
{
    Layout l;
    l.ship(l.share(), "tarveon-config.LNG");
    const QString own = l.root.filePath("mine");
    QDir().mkpath(own + "/T");
    RecordingPrompter prompter;
    AppContext ctx(ResolveProgramPaths(l.bin(), kBase, l.env(false)), &prompter);
    QVERIFY(IniFile(l.user() + "/tarveon-config.ini").write("X103", "PathTemplates", own + "/T"));
    QVERIFY(IniFile(l.user() + "/tarveon-config.ini").write("X103", "PathProjects", own + "/P"));
    ctx.language.LoadLanguage();
    ResolvePaths(ctx);
    QCOMPARE(texts(prompter), QStringList());
    QCOMPARE(ctx.PathTemplates, own + "/T");
    QCOMPARE(ctx.PathProjects, own + "/P");
}

void TestProgramPaths::describePaths()
{
    Layout l;
    l.ship(l.share(), "tarveon-config.LNG");
    RecordingPrompter prompter;
    AppContext ctx(ResolveProgramPaths(l.bin(), kBase, l.env(false)), &prompter);
    const QString expected = "settings: " + l.user() + "/tarveon-config.ini\n"
                             "language: " + l.share() + "/tarveon-config.LNG\n"
                             "templates: " + l.share() + "/TemplatesZDM\n"
                             "projects: " + l.user() + "/ProjectsZDM\n"
                             "docs: " + l.share() + "/DocsZDM\n";
    QCOMPARE(DescribePaths(ctx), expected);
    QCOMPARE(texts(prompter), QStringList());
}

// The installed tool starts without a message, and its help menu opens the installed manual.
void TestProgramPaths::mainWindowInstalled()
{
    Layout l;
    l.ship(l.share(), "tarveon-config.LNG");
    RecordingPrompter prompter;
    AppContext ctx(ResolveProgramPaths(l.bin(), kBase, l.env(false)), &prompter);
    MDITarveon window(ctx);
    int listShown = 0;
    QList<QUrl> opened;
    window.showProjectList = [&] { ++listShown; };
    window.openUrl = [&](const QUrl &url) {
        opened << url;
        return true;
    };
    QVERIFY(window.startUp());
    QCOMPARE(listShown, 1);
    QCOMPARE(texts(prompter), QStringList());
    QCOMPARE(ctx.PathTemplates, l.share() + "/TemplatesZDM");
    QAction *docs = window.findChild<QAction *>("mnuDocs");
    QVERIFY(docs);
    docs->trigger();
    QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(l.share() + "/DocsZDM")});
}

void TestProgramPaths::versionText()
{
    // One declaration in the build: the numbers, the joined string and the texts agree.
    QCOMPARE(programVersion(), QString(TARVEON_VERSION_STRING));
    QCOMPARE(programVersion().split('.').size(), 3);
    QCOMPARE(programFileDescription(), QString(TARVEON_FILE_DESCRIPTION));
    QVERIFY(!programCompany().isEmpty());
    QCOMPARE(VersionText("tarveon-cli"), "tarveon-cli " + programVersion() + "\n" + programFileDescription() + "\n" +
                                             programCompany() + "\n");
}

void TestProgramPaths::versionOption_data()
{
    QTest::addColumn<QStringList>("args");
    QTest::addColumn<bool>("printed");
    QTest::newRow("asked") << QStringList{"prog", "--version"} << true;
    QTest::newRow("no arguments") << QStringList{"prog"} << false;
    QTest::newRow("a command") << QStringList{"prog", "validate", "x"} << false;
    QTest::newRow("operand of a command") << QStringList{"prog", "upload", "--version"} << false;
    QTest::newRow("single dash") << QStringList{"prog", "-version"} << false;
}

void TestProgramPaths::versionOption()
{
    QFETCH(QStringList, args);
    QFETCH(bool, printed);
    QCOMPARE(PrintVersionIfAsked(args, "prog"), printed);
    std::vector<QByteArray> bytes;
    std::vector<char *> argv;
    for (const QString &a : args)
        bytes.push_back(a.toUtf8());
    for (QByteArray &b : bytes)
        argv.push_back(b.data());
    QCOMPARE(PrintVersionIfAsked(int(argv.size()), argv.data(), "prog"), printed);
}

void TestProgramPaths::programsPrintVersion_data()
{
    QTest::addColumn<QString>("program");
    QTest::newRow("tool") << "tarveon-config";
    QTest::newRow("command line") << "tarveon-cli";
    QTest::newRow("simulator") << "tarveon-sim";
}

void TestProgramPaths::programsPrintVersion()
{
    QFETCH(QString, program);
    QProcess p;
    p.start(QStringLiteral(TARVEON_BIN_DIR "/") + program, {"--version"});
    QVERIFY(p.waitForFinished(30000));
    QCOMPARE(p.exitStatus(), QProcess::NormalExit);
    QCOMPARE(p.exitCode(), 0);
    const QString out = QString::fromUtf8(p.readAllStandardOutput());
    QCOMPARE(out, VersionText(program));
}

void TestProgramPaths::iconImage()
{
    for (int size : {16, 48, 256}) {
        const QImage img = appIconImage(size);
        QCOMPARE(img.size(), QSize(size, size));
        // Transparent corner, opaque centre: the rounded plate is drawn to the image's size.
        QCOMPARE(qAlpha(img.pixel(0, 0)), 0);
        QCOMPARE(qAlpha(img.pixel(size / 2, size / 2)), 255);
    }
}

QTEST_MAIN(TestProgramPaths)
#include "tst_programpaths.moc"
