// Where the programs find their files (beside the program, or installed with the settings in the
// user's data directory), their version option, and the user manual as the build tree ships it
// (DocsZDM beside the executables, equal to the source folder): both languages, every picture and
// link leading to a file that ships with them, every picture in its language.
#include "TestSupport.h"
#include "app/IniFile.h"
#include "app/ProgramPaths.h"
#include "app/Startup.h"
#include "app/Version.h"

#include <QProcess>
#include <QRegularExpression>
#include <QtTest>

using namespace tarveon;

namespace {

const QString kBase = QStringLiteral("tarveon-config");

const QString kDocs = QStringLiteral(TARVEON_BIN_DIR "/DocsZDM");
const QString kSource = QStringLiteral(TARVEON_SOURCE_DIR "/resources/DocsZDM");

QString manual(const QString &name, const QString &dir = kDocs)
{
    QFile file(dir + '/' + name);
    return file.open(QIODevice::ReadOnly) ? QString::fromUtf8(file.readAll()) : QString();
}

QStringList attributes(const QString &html, const QString &name)
{
    QStringList values;
    const QRegularExpression re(QStringLiteral("\\b%1\\s*=\\s*\"([^\"]*)\"").arg(name), QRegularExpression::CaseInsensitiveOption);
    for (auto it = re.globalMatch(html); it.hasNext();)
        values << it.next().captured(1);
    return values;
}


// A scratch file system: usr/bin (the executable), usr/share/tarveon-config (installed data), a
// further system data directory and the user's data directory. Writability is played (the tests
// run as root).
struct Layout {
    QTemporaryDir root;
    QString at(const QString &which) const
    {
        static const QMap<QString, QString> dirs{{"bin", "usr/bin"}, {"share", "usr/share/tarveon-config"},
                                                 {"system", "sys/tarveon-config"}, {"user", "home/tarveon-config"}};
        return QDir::cleanPath(root.filePath(dirs.value(which)));
    }
    // The shipped language file under `name`, the templates and the manual folder into dir.
    void ship(const QString &which, const QString &name = "RESOURCES.LNG") const
    {
        QDir().mkpath(at(which) + "/TemplatesZDM");
        QDir().mkpath(at(which) + "/DocsZDM");
        QFile::copy(test::resourcesDir() + "/RESOURCES.LNG", at(which) + "/" + name);
    }
    PathEnvironment env(bool binWritable) const
    {
        QDir().mkpath(at("bin"));
        PathEnvironment e;
        e.isWritable = [bin = at("bin"), binWritable](const QString &dir) { return QDir::cleanPath(dir) != bin || binWritable; };
        e.userDataDir = at("user");
        e.systemDataDirs = {at("system")};
        return e;
    }
};

} // namespace

class TestProgramPaths : public QObject {
    Q_OBJECT
private slots:
    // What lies beside the program ("settings": its settings file; "writable": files can be made
    // there) and where the language file is installed; where the settings and the data go.
    void resolve_data()
    {
        QTest::addColumn<QString>("lng");       // language file beside the program
        QTest::addColumn<QStringList>("beside");
        QTest::addColumn<QStringList>("installed");
        QTest::addColumn<QString>("settingsDir");
        QTest::addColumn<QString>("dataDir");
        const QStringList none, w{"writable"}, share{"share"};
        QTest::newRow("build tree") << "tarveon-config.LNG" << w << none << "bin" << "bin";
        QTest::newRow("read-only copy") << "RESOURCES.LNG" << none << none << "user" << "bin";
        QTest::newRow("copy wins over installed") << "RESOURCES.LNG" << w << QStringList{"share", "system"} << "bin" << "bin";
        QTest::newRow("installed") << "" << none << share << "user" << "share";
        QTest::newRow("installed elsewhere") << "" << none << QStringList{"system"} << "user" << "system";
        QTest::newRow("settings kept beside") << "" << QStringList{"settings", "writable"} << share << "bin" << "share";
        QTest::newRow("settings beside, read-only") << "" << QStringList{"settings"} << share << "user" << "share";
        QTest::newRow("another program's language") << "other.LNG" << w << share << "user" << "share";
        QTest::newRow("no language anywhere") << "" << w << none << "user" << "bin";
    }
    void resolve()
    {
        QFETCH(QString, lng);
        QFETCH(QStringList, beside);
        QFETCH(QStringList, installed);
        QFETCH(QString, settingsDir);
        QFETCH(QString, dataDir);
        Layout l;
        const PathEnvironment env = l.env(beside.contains("writable"));
        if (!lng.isEmpty())
            l.ship("bin", lng);
        if (beside.contains("settings"))
            QFile(l.at("bin") + "/tarveon-config.ini").open(QIODevice::WriteOnly);
        for (const QString &dir : installed)
            l.ship(dir, dir == "share" ? "tarveon-config.LNG" : "RESOURCES.LNG");
        const ProgramPaths p = ResolveProgramPaths(l.at("bin") + "/", kBase, env);
        QCOMPARE(p.exeDir, l.at("bin"));
        QCOMPARE(p.settingsDir, l.at(settingsDir));
        QCOMPARE(p.dataDir, l.at(dataDir));
        QCOMPARE(QFileInfo(l.at("user")).isDir(), settingsDir == "user"); // made only when chosen
        PathEnvironment noUserDir = env;
        noUserDir.userDataDir.clear();
        QCOMPARE(ResolveProgramPaths(l.at("bin"), kBase, noUserDir).settingsDir, l.at(settingsDir == "user" ? "bin" : settingsDir));
    }

    void systemEnvironment()
    {
        QTemporaryDir home;
        qputenv("XDG_DATA_HOME", home.filePath("data").toUtf8());
        qputenv("XDG_DATA_DIRS", (home.filePath("a") + ":" + home.filePath("b")).toUtf8());
        const PathEnvironment env = PathEnvironment::system();
        qunsetenv("XDG_DATA_HOME");
        qunsetenv("XDG_DATA_DIRS");
        QCOMPARE(env.userDataDir, home.filePath("data/tarveon-config"));
        QCOMPARE(env.systemDataDirs, QStringList({home.filePath("a/tarveon-config"), home.filePath("b/tarveon-config")}));
        QVERIFY(env.isWritable(home.path()) && !env.isWritable(home.filePath("missing")));
    }

    // A context of each layout: language, templates and manual from the data directory, the
    // settings and projects in the settings directory, without a message; path settings win.
    void context_data()
    {
        QTest::addColumn<bool>("installed");
        QTest::newRow("build tree") << false;
        QTest::newRow("installed") << true;
    }
    void context()
    {
        QFETCH(bool, installed);
        Layout l;
        const PathEnvironment env = l.env(!installed);
        l.ship(installed ? "share" : "bin", "tarveon-config.LNG");
        const QString data = l.at(installed ? "share" : "bin"), settings = l.at(installed ? "user" : "bin");
        RecordingPrompter prompter;
        AppContext ctx(ResolveProgramPaths(l.at("bin"), kBase, env), &prompter);
        QVERIFY(ctx.language.LoadLanguage());
        ResolvePaths(ctx);
        QCOMPARE(ctx.PathTemplates, data + "/TemplatesZDM");
        QCOMPARE(ctx.PathProjects, settings + "/ProjectsZDM");
        QCOMPARE(DescribePaths(ctx), "settings: " + settings + "/tarveon-config.ini\nlanguage: " + data
                                         + "/tarveon-config.LNG\ntemplates: " + data + "/TemplatesZDM\nprojects: "
                                         + settings + "/ProjectsZDM\ndocs: " + data + "/DocsZDM\n");
        ctx.ProjectName = "Alpha";
        StoreLastProject(ctx);
        QCOMPARE(IniFile(settings + "/tarveon-config.ini").read("X103", "LastProject", ""), QStringLiteral("Alpha"));
        if (installed)
            QCOMPARE(QDir(l.at("bin")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
        QVERIFY(prompter.records.isEmpty());
        const QString own = l.root.filePath("T");
        IniFile(settings + "/tarveon-config.ini").write("X103", "PathTemplates", own);
        ResolvePaths(ctx); // a missing templates directory is named twice, and start-up goes on
        QCOMPARE(prompter.texts(), (QStringList{ctx.GetText("X99") + "\r" + own, "Error path Templates\r" + own}));
        QCOMPARE(ctx.PathTemplates, own);
    }

    // Each program prints its version for "--version" as its first argument, and only then.
    void version()
    {
        for (const QString &program : QStringList{"tarveon-config", "tarveon-cli", "tarveon-sim"}) {
            QProcess p;
            p.start(QStringLiteral(TARVEON_BIN_DIR "/") + program, {"--version"});
            QVERIFY(p.waitForFinished(30000) && p.exitCode() == 0);
            QCOMPARE(QString::fromUtf8(p.readAllStandardOutput()),
                     program + " " + programVersion() + "\n" + programFileDescription() + "\n" + programCompany() + "\n");
        }
        QCOMPARE(programVersion().split('.').size(), 3);
        QVERIFY(!PrintVersionIfAsked({"prog", "upload", "--version"}, "prog"));
        QVERIFY(!PrintVersionIfAsked({"prog", "-version"}, "prog"));
    }

    void manuals_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("other");
        QTest::newRow("English") << "index.html" << "index.es.html";
        QTest::newRow("Spanish") << "index.es.html" << "index.html";
    }
    void manuals()
    {
        QFETCH(QString, name);
        QFETCH(QString, other);
        const QString html = manual(name);
        const bool spanish = name.contains(".es.");
        QCOMPARE(html, manual(name, kSource));
        QVERIFY(html.contains(spanish ? "<html lang=\"es\">" : "<html lang=\"en\">") && html.contains("</html>"));
        for (const char *banned : {"<script", "@import", "url(", "@CLI_HELP@", "@SIM_HELP@"})
            QVERIFY2(!html.contains(QLatin1String(banned), Qt::CaseInsensitive), banned);
        const QStringList images = attributes(html, "src");
        QVERIFY(images.size() >= 5);
        QStringList counterparts; // each picture has its counterpart in the other language, in the same place
        for (const QString &src : images) {
            QFile image(kDocs + '/' + src), shipped(kSource + '/' + src);
            QVERIFY2(!src.contains("..") && !src.contains(':') && image.open(QIODevice::ReadOnly), qPrintable(src));
            QVERIFY2(shipped.open(QIODevice::ReadOnly) && shipped.readAll() == image.readAll(), qPrintable(src));
            QCOMPARE(src.endsWith(".es.png"), spanish);
            counterparts << (spanish ? src.chopped(7) + ".png" : src.chopped(4) + ".es.png");
        }
        QCOMPARE(attributes(manual(other), "src"), counterparts);
        QVERIFY(attributes(html, "href").contains(other));
        for (const QString &href : attributes(html, "href")) {
            const QString file = href.section('#', 0, 0), anchor = href.section('#', 1);
            QVERIFY2(!href.contains(':') && !file.contains(".."), qPrintable(href));
            const QString target = file.isEmpty() ? html : manual(file);
            QVERIFY2(!target.isEmpty(), qPrintable(href + " does not ship"));
            QVERIFY2(anchor.isEmpty() || attributes(target, "id").contains(anchor), qPrintable(href + ": no such anchor"));
        }
    }
};

QTEST_GUILESS_MAIN(TestProgramPaths)
#include "tst_programpaths.moc"
