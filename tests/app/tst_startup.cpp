// Where the programs find their files, how their options are read, the start of the tool (the
// last project opened and on line at once, --online, through the real main window), and the user
// manual as the build tree ships it: both languages, every picture and link leading to a file that
// ships with them, every picture in its language.
#include "PtySupport.h"
#include "TestSupport.h"
#include "app/CommandLine.h"
#include "app/IniFile.h"
#include "app/ProgramPaths.h"
#include "app/Startup.h"
#include "app/ui/AppIcon.h"
#include "app/ui/MDITarveon.h"
#include "link/SerialLink.h"

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


// A scratch file system with the places a program can be found in: the executable's directory
// usr/bin, the installed data usr/share/tarveon-config, a further system data directory and the
// user's data directory. Writability is played, not taken from the disk (tests run as root).
struct Layout {
    Layout()
    {
        for (const char *d : {"usr/bin", "usr/share/tarveon-config", "sys/tarveon-config", "home"})
            QDir().mkpath(root.filePath(d));
    }
    QString named(const QString &which) const
    {
        static const QMap<QString, QString> dirs{{"bin", "usr/bin"},
                                                 {"share", "usr/share/tarveon-config"},
                                                 {"system", "sys/tarveon-config"},
                                                 {"user", "home/tarveon-config"}};
        return QDir::cleanPath(root.filePath(dirs.value(which)));
    }
    // The shipped language file under the given name, the templates and the manual, into dir.
    void ship(const QString &which, const QString &lngName = "RESOURCES.LNG") const
    {
        const QString dir = named(which);
        QVERIFY(QFile::copy(test::resourcesDir() + "/RESOURCES.LNG", dir + "/" + lngName));
        QDir().mkpath(dir + "/TemplatesZDM");
        QDir().mkpath(dir + "/DocsZDM");
    }
    PathEnvironment env(bool binWritable) const
    {
        PathEnvironment e;
        e.isWritable = [bin = named("bin"), binWritable](const QString &dir) {
            return QDir::cleanPath(dir) == bin ? binWritable : true;
        };
        e.userDataDir = named("user");
        e.systemDataDirs = {named("system")};
        return e;
    }
    ProgramPaths resolve(bool binWritable) const { return ResolveProgramPaths(named("bin"), kBase, env(binWritable)); }

    QTemporaryDir root;
};

} // namespace

class TestStartup : public QObject {
    Q_OBJECT
private slots:
    // Which directory holds the settings and which the shipped data, for each way the program may
    // have been put on the disk; resolving creates nothing.
    void resolve_data()
    {
        QTest::addColumn<QString>("binLng");   // language file beside the program ("" none)
        QTest::addColumn<bool>("binSettings"); // settings file already beside the program
        QTest::addColumn<bool>("binWritable");
        QTest::addColumn<QStringList>("shipped"); // further directories that hold the shipped data
        QTest::addColumn<QString>("settingsDir");
        QTest::addColumn<QString>("dataDir");
        const QStringList none, share{"share"}, system{"system"};
        QTest::newRow("build tree") << "tarveon-config.LNG" << false << true << none << "bin" << "bin";
        QTest::newRow("copy with RESOURCES.LNG only") << "RESOURCES.LNG" << false << true << none << "bin" << "bin";
        QTest::newRow("language name in other case") << "resources.lng" << false << true << none << "bin" << "bin";
        QTest::newRow("read-only copy") << "RESOURCES.LNG" << false << false << none << "user" << "bin";
        QTest::newRow("copy beside wins") << "RESOURCES.LNG" << false << true << share + system << "bin" << "bin";
        QTest::newRow("installed, run by a user") << "" << false << false << share << "user" << "share";
        QTest::newRow("installed, run by root") << "" << false << true << share << "user" << "share";
        QTest::newRow("installed elsewhere") << "" << false << false << system << "user" << "system";
        QTest::newRow("prefix data before system data") << "" << false << false << share + system << "user" << "share";
        QTest::newRow("settings kept beside") << "" << true << true << share << "bin" << "share";
        QTest::newRow("settings beside, read-only") << "" << true << false << share << "user" << "share";
        QTest::newRow("another program's language file") << "other.LNG" << false << true << share << "user" << "share";
        QTest::newRow("no language file anywhere") << "" << false << true << none << "user" << "bin";
        QTest::newRow("no user directory") << "" << false << false << QStringList{"share", "no user directory"} << "bin" << "share";
    }

    void resolve()
    {
        QFETCH(QString, binLng);
        QFETCH(bool, binSettings);
        QFETCH(bool, binWritable);
        QFETCH(QStringList, shipped);
        QFETCH(QString, settingsDir);
        QFETCH(QString, dataDir);
        Layout l;
        if (!binLng.isEmpty())
            l.ship("bin", binLng);
        if (binSettings)
            QVERIFY(QFile(l.named("bin") + "/tarveon-config.ini").open(QIODevice::WriteOnly));
        PathEnvironment env = l.env(binWritable);
        if (shipped.removeAll("no user directory"))
            env.userDataDir.clear();
        for (const QString &which : shipped)
            l.ship(which, which == "share" ? "tarveon-config.LNG" : "RESOURCES.LNG");
        const QMap<QString, QByteArray> before = test::snapshot(l.root.path());
        const ProgramPaths p = ResolveProgramPaths(l.named("bin"), kBase, env);
        QCOMPARE(p.exeDir, l.named("bin"));
        QCOMPARE(p.settingsDir, l.named(settingsDir));
        QCOMPARE(p.dataDir, l.named(dataDir));
        QCOMPARE(test::snapshot(l.root.path()), before);
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
        QVERIFY(env.isWritable(home.path()));
        QVERIFY(!env.isWritable(home.filePath("missing")));
    }

    // An installed program reads the shipped data, keeps settings and projects in the user's
    // directory and starts without a message; its help menu opens the installed manual. The
    // command line and the simulator, resolved under the tool's name, read the same files.
    void installed()
    {
        Layout l;
        l.ship("share", "tarveon-config.LNG");
        const ProgramPaths paths = l.resolve(false);
        QVERIFY(MakeSettingsDir(paths));
        RecordingPrompter prompter;
        AppContext ctx(paths, &prompter);
        MDITarveon window(ctx);
        QList<QUrl> opened;
        window.showProjectList = [] {};
        window.openUrl = [&](const QUrl &url) {
            opened << url;
            return true;
        };
        QVERIFY(window.startUp());
        QCOMPARE(prompter.texts().join('|'), QString());
        QCOMPARE(ctx.PathTemplates, l.named("share") + "/TemplatesZDM");
        QCOMPARE(ctx.PathProjects, l.named("user") + "/ProjectsZDM");
        window.mnuDocs->trigger();
        QCOMPARE(opened, QList<QUrl>{QUrl::fromLocalFile(l.named("share") + "/DocsZDM")});
        ctx.ProjectName = "Alpha";
        ctx.language.SelectLanguage(1);
        StoreLastProject(ctx);
        const IniFile settings(l.named("user") + "/tarveon-config.ini");
        QCOMPARE(settings.read("X103", "LastProject", "<missing>") + settings.read("X103", "Language", "?"), QString("Alpha1"));
        QCOMPARE(QDir(l.named("bin")).entryList(QDir::NoDotAndDotDot | QDir::AllEntries), QStringList());
        QCOMPARE(ctx.ini.appFilePath(), l.named("user") + "/tarveon-config.ini");
    }

    void pathSettingsStillWin()
    {
        Layout l;
        l.ship("share", "tarveon-config.LNG");
        const QString own = l.root.filePath("mine");
        QDir().mkpath(own + "/T");
        RecordingPrompter prompter;
        AppContext ctx(l.resolve(false), &prompter);
        QVERIFY(MakeSettingsDir(l.resolve(false)));
        QVERIFY(IniFile(l.named("user") + "/tarveon-config.ini").write("X103", "PathTemplates", own + "/T"));
        QVERIFY(IniFile(l.named("user") + "/tarveon-config.ini").write("X103", "PathProjects", own + "/P"));
        ctx.language.LoadLanguage();
        ResolvePaths(ctx);
        QCOMPARE(prompter.texts(), QStringList());
        QCOMPARE(ctx.PathTemplates + " " + ctx.PathProjects, own + "/T " + own + "/P");
    }

    // Negative numbers are operands and values, not options.
    void negativeNumbers()
    {
        CommandLine cl("tarveon-cli write", false);
        const QCommandLineOption offset("offset", "", "n");
        cl.parser.addOption(offset);
        QCOMPARE(cl.parse({"--offset", "-5", "1/2/3", "-2.5", "-.5"}, 3, 3), -1);
        QCOMPARE(cl.value(offset), QString("-5"));
        QCOMPARE(cl.operands(), (QStringList{"1/2/3", "-2.5", "-.5"}));
        QCOMPARE(cl.parse({"1/2/3", "-x"}, 0, -1), CommandLine::kUsageExit);
    }

    // tarveon-config --online: the last project opened without the list, then the on-line switch
    // clicked, with every rule of going on line.
    void online_data()
    {
        QTest::addColumn<bool>("online");
        QTest::addColumn<QString>("lastProject");
        QTest::addColumn<bool>("portOk");
        QTest::addColumn<int>("listShown");
        QTest::addColumn<int>("linkState"); // once the gateway has had time to answer
        QTest::addColumn<QString>("message");
        QTest::newRow("on line") << true << "Demo" << true << 0 << 2 << "";
        QTest::newRow("no such project") << true << "Gone" << true << 1 << 0 << "";
        QTest::newRow("port cannot be opened") << true << "Demo" << false << 0 << 0 << "LNK5";
        QTest::newRow("without --online") << false << "Demo" << true << 1 << 0 << "";
    }

    void online()
    {
        QFETCH(bool, online);
        QFETCH(QString, lastProject);
        QFETCH(bool, portOk);
        QFETCH(int, listShown);
        QFETCH(int, linkState);
        QFETCH(QString, message);
        test::SimProcess sim;
        QVERIFY(sim.start());
        test::TestContext t;
        t.dir.writeFile("ProjectsZDM/Demo/Project.ini", "[Project]\r\nProt=ZTR001-PACKAGED\r\nDesc=Demo\r\n");
        t.dir.writeFile("tarveon-config.ini", "[X103]\r\nLastProject=" + lastProject.toLatin1() + "\r\nDevice=" +
                                                  (portOk ? sim.devicePath().toLatin1() : "/dev/null-tarveon") + "\r\n");
        MDITarveon window(*t.ctx);
        int lists = 0;
        window.showProjectList = [&] { ++lists; };
        QVERIFY(window.startUp(online));
        QCOMPARE(lists, listShown);
        QCOMPARE(window.stsBarPanels[0]->text(), QString(listShown ? "" : "Demo"));
        QCOMPARE(window.chkOnline->isChecked(), linkState != 0);
        const QString shown = t.prompter.texts().join('|');
        QVERIFY2(shown.contains(message.isEmpty() ? "??" : t.ctx->GetText(message) + "/dev/null-tarveon. ") ==
                     !message.isEmpty(), qPrintable(shown));
        QTRY_COMPARE_WITH_TIMEOUT(int(window.link().state()), linkState, 3000);
        QCOMPARE(window.cboFichero->currentText(), QString(linkState == 2 ? "ZTR001-PACKAGED.ZDM" : ""));
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

    void iconImage()
    {
        for (int size : {16, 48, 256}) {
            const QImage img = appIconImage(size);
            QCOMPARE(img.size(), QSize(size, size));
            // Transparent corner, opaque centre: the rounded plate is drawn to the image's size.
            QCOMPARE(qAlpha(img.pixel(0, 0)), 0);
            QCOMPARE(qAlpha(img.pixel(size / 2, size / 2)), 255);
        }
    }
};

QTEST_MAIN(TestStartup)
#include "tst_startup.moc"
