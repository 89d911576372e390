#include "TestSupport.h"
#include "app/IniFile.h"
#include "app/Startup.h"
#include "app/WindowLayout.h"
#include "app/ui/MDITarveon.h"
#include "link/FakeSerialPort.h"
#include "tools/ui/frmAbout.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QLabel>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QtTest>

using namespace tarveon;

namespace {

const QString kMissingKey = QStringLiteral("No text found for Key: ");

// A program directory with the shipped language file under the program's own name, the
// templates, and a main window over it whose other windows are recorded instead of shown.
struct Fixture {
    explicit Fixture(bool withResources = true) : dir(withResources)
    {
        if (withResources)
            QFile::copy(dir.filePath("RESOURCES.LNG"), dir.filePath("tarveon-config.LNG"));
        ctx = std::make_unique<AppContext>(dir.path(), QStringLiteral("tarveon-config"), &prompter);
        port = new FakeSerialPort;
        port->failOpen = true; // no gateway attached
        window = std::make_unique<MDITarveon>(*ctx, nullptr, port);
        window->showProjectList = [this] {
            ++projectListShown;
            if (onProjectList)
                onProjectList();
        };
        window->showConfigEditor = [this](int code) { editorCodes << code; };
        window->showPortDialog = [this] { ++portDialogShown; };
        window->openUrl = [this](const QUrl &url) {
            openedUrls << url;
            return true;
        };
    }

    void setting(const QString &key, const QString &value)
    {
        QVERIFY(IniFile(dir.filePath("tarveon-config.ini")).write("X103", key, value));
    }
    QString storedSetting(const QString &key) const
    {
        return IniFile(dir.filePath("tarveon-config.ini")).read("X103", key, "<missing>");
    }
    void openProject(const QString &name, const QString &protocol, const QString &description)
    {
        onProjectList = [=, this] {
            ctx->ProjectName = name;
            ctx->ProjectProtocol = protocol;
            ctx->ProjectDescription = description;
        };
    }

    // Messages other than missing-text notices (the language file is completed separately).
    QList<RecordingPrompter::Record> messages() const
    {
        QList<RecordingPrompter::Record> out;
        for (const auto &r : prompter.records) {
            if (!r.text.startsWith(kMissingKey))
                out << r;
        }
        return out;
    }

    template <typename T = QAction>
    T *find(const QString &name) const
    {
        T *object = window->findChild<T *>(name);
        if (!object)
            qWarning("no %s", qPrintable(name));
        return object;
    }
    bool enabled(const QString &name) const { return find(name) && find(name)->isEnabled(); }

    test::TempProgramDir dir;
    RecordingPrompter prompter;
    std::unique_ptr<AppContext> ctx;
    FakeSerialPort *port; // owned by the window's link
    std::unique_ptr<MDITarveon> window;
    std::function<void()> onProjectList;
    int projectListShown = 0;
    int portDialogShown = 0;
    QList<int> editorCodes;
    QList<QUrl> openedUrls;
};

QString nativeDir(const QString &path)
{
    return QDir::cleanPath(path);
}

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    // What the project list finds when it opens: everything before it in the sequence is done.
    void startUpOrder()
    {
        Fixture f;
        f.setting("LastProject", "Alpha");
        struct Seen {
            bool visible = false;
            QRect monitor;
            bool timerActive = false;
            int timerInterval = 0;
            bool viewMenu = true, connection = true, editor = true;
            QString projectName;
            QString exitCaption;
            qsizetype languages = 0;
            QString eib;
        } seen;
        f.onProjectList = [&] {
            seen.visible = f.window->isVisible();
            if (QWidget *monitor = f.window->gatewayMonitor(false))
                seen.monitor = f.window->subWindowOf(monitor)->geometry();
            seen.timerActive = f.window->Timer1->isActive();
            seen.timerInterval = f.window->Timer1->interval();
            seen.viewMenu = f.enabled("mnuVer");
            seen.connection = f.enabled("mnuCConexion");
            seen.editor = f.enabled("mnuCProtocolo");
            seen.projectName = f.ctx->ProjectName;
            seen.exitCaption = f.find("mnuASalir")->text();
            seen.languages = f.window->mnuCISel.size();
            seen.eib = f.ctx->ProtocolNames[47];
        };
        QVERIFY(f.window->startUp());
        QCOMPARE(f.projectListShown, 1);
        QVERIFY(seen.visible);
        QCOMPARE(seen.monitor, QRect(0, 0, twipsToPixels(7000), twipsToPixels(4000)));
        QCOMPARE(seen.monitor.size(), QSize(467, 267));
        QVERIFY(seen.timerActive);
        QCOMPARE(seen.timerInterval, 1000);
        QVERIFY(!seen.viewMenu);
        QVERIFY(!seen.connection);
        QVERIFY(!seen.editor);
        QCOMPARE(seen.projectName, QString("Alpha"));
        QCOMPARE(seen.exitCaption, f.ctx->GetText("X49"));
        QVERIFY(seen.languages >= 1);
        QCOMPARE(seen.eib, QString("EIB"));
        QCOMPARE(f.messages().size(), 0);
    }

    void defaultPaths()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        QCOMPARE(nativeDir(f.ctx->PathTemplates), nativeDir(f.dir.path() + "/TemplatesZDM"));
        QCOMPARE(nativeDir(f.ctx->PathProjects), nativeDir(f.dir.path() + "/ProjectsZDM"));
        QCOMPARE(f.messages().size(), 0);
        // Nothing is created at start-up.
        QVERIFY(!QFileInfo::exists(f.dir.filePath("ProjectsZDM")));
    }

    void pathSettings_data()
    {
        QTest::addColumn<QString>("templates");   // relative to the program directory; "" = no setting
        QTest::addColumn<QString>("projects");
        QTest::addColumn<bool>("makeTemplates");
        QTest::addColumn<bool>("messages");
        QTest::newRow("both set, templates present") << "tpl" << "prj" << true << false;
        QTest::newRow("templates set but missing") << "nowhere" << "" << false << true;
        QTest::newRow("default templates dir missing") << "" << "" << false << true;
        QTest::newRow("projects missing is not checked") << "" << "no-projects" << true << false;
    }
    void pathSettings()
    {
        QFETCH(QString, templates);
        QFETCH(QString, projects);
        QFETCH(bool, makeTemplates);
        QFETCH(bool, messages);
        Fixture f;
        QDir(f.dir.filePath("TemplatesZDM")).removeRecursively();
        const QString templatesPath = f.dir.filePath(templates.isEmpty() ? "TemplatesZDM" : templates);
        const QString projectsPath = f.dir.filePath(projects.isEmpty() ? "ProjectsZDM" : projects);
        if (!templates.isEmpty())
            f.setting("PathTemplates", templatesPath);
        if (!projects.isEmpty())
            f.setting("PathProjects", projectsPath);
        if (makeTemplates)
            QVERIFY(QDir().mkpath(templatesPath));

        int messagesBeforeList = -1;
        f.onProjectList = [&] { messagesBeforeList = int(f.messages().size()); };
        QVERIFY(f.window->startUp());
        QCOMPARE(nativeDir(f.ctx->PathTemplates), nativeDir(templatesPath));
        QCOMPARE(nativeDir(f.ctx->PathProjects), nativeDir(projectsPath));
        // Start-up completes either way.
        QCOMPARE(f.projectListShown, 1);
        QVERIFY(f.window->isVisible());

        const auto shown = f.messages();
        if (!messages) {
            QCOMPARE(shown.size(), 0);
            return;
        }
        QCOMPARE(shown.size(), 2);
        QCOMPARE(messagesBeforeList, 2);
        QCOMPARE(shown[0].kind, RecordingPrompter::Record::PlatformBox);
        QCOMPARE(shown[0].icon, int(BoxKind::Critical));
        QCOMPARE(shown[0].title, kAppTitle);
        QCOMPARE(shown[0].text, f.ctx->GetText("X99") + "\r" + templatesPath);
        QCOMPARE(shown[1].kind, RecordingPrompter::Record::PlatformBox);
        QCOMPARE(shown[1].icon, int(BoxKind::Critical));
        QCOMPARE(shown[1].title, kAppTitle);
        QCOMPARE(shown[1].text, "Error path Templates\r" + templatesPath);
        QVERIFY(!QFileInfo::exists(templatesPath));
    }

    void portSettings_data()
    {
        QTest::addColumn<QString>("settings");
        QTest::addColumn<QString>("com");
        QTest::addColumn<QString>("expectedSettings");
        QTest::addColumn<int>("expectedPort");
        QTest::newRow("no settings") << "" << "" << "57600,n,8,1" << 1;
        QTest::newRow("stored") << "9600,e,7,2" << "3" << "9600,e,7,2" << 3;
        QTest::newRow("port with letters after") << "" << "4x" << "57600,n,8,1" << 4;
    }
    void portSettings()
    {
        QFETCH(QString, settings);
        QFETCH(QString, com);
        QFETCH(QString, expectedSettings);
        QFETCH(int, expectedPort);
        Fixture f;
        if (!settings.isEmpty())
            f.setting("Settings", settings);
        if (!com.isEmpty())
            f.setting("Com", com);
        QVERIFY(f.window->startUp());
        QCOMPARE(f.ctx->PortSettings, expectedSettings);
        QCOMPARE(int(f.ctx->PortNumber), expectedPort);
    }

    void noProjectOpened()
    {
        Fixture f;
        f.setting("LastProject", "Old");
        const QByteArray before = f.dir.readFile("tarveon-config.ini");
        QVERIFY(f.window->startUp());
        QVERIFY(!f.window->chkOnline->isEnabled());
        QVERIFY(!f.enabled("mnuCConexion"));
        QVERIFY(!f.enabled("mnuCProtocolo"));
        QVERIFY(f.ctx->ProjectName.isEmpty());
        QCOMPARE(f.find("mnuVPExterno")->text(), f.ctx->GetText("X58"));
        for (QLabel *panel : f.window->stsBarPanels)
            QVERIFY(panel->text().isEmpty());
        f.window->close();
        QCOMPARE(f.dir.readFile("tarveon-config.ini"), before);
    }

    void projectOpened()
    {
        Fixture f;
        f.openProject("Plant", "ZTR001-CHILLER", "Roof chillers");
        QVERIFY(f.window->startUp());
        QCOMPARE(f.window->stsBarPanels[0]->text(), QString("Plant"));
        QCOMPARE(f.window->stsBarPanels[1]->text(), QString("ZTR001-CHILLER"));
        QCOMPARE(f.window->stsBarPanels[2]->text(), QString("Roof chillers"));
        QVERIFY(f.window->chkOnline->isEnabled());
        QCOMPARE(f.find("mnuVPExterno")->text(), QString("TR-BAS-HUB..."));
        QVERIFY(f.enabled("mnuCConexion"));
        QVERIFY(f.enabled("mnuCProtocolo"));
        // On line only later.
        QVERIFY(!f.enabled("mnuVer"));
        QVERIFY(!f.window->cmdEnviar->isEnabled());
        QVERIFY(!f.window->cmdSendFileTarveon->isEnabled());

        QVERIFY(f.enabled("mnuASalir"));
        f.find("mnuASalir")->trigger();
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.storedSetting("LastProject"), QString("Plant"));
    }

    void projectListAgainClearsMonitorLog()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        auto *log = f.window->gatewayMonitor(false)->findChild<QCheckBox *>("chkLog");
        QVERIFY(log);
        log->setChecked(true);
        bool logWhileListOpen = true;
        f.onProjectList = [&] { logWhileListOpen = log->isChecked(); };
        QVERIFY(f.enabled("mnuAProject"));
        f.find("mnuAProject")->trigger();
        QCOMPARE(f.projectListShown, 2);
        QVERIFY(!logWhileListOpen);
    }

    void languageMenu_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("checked");
        QTest::newRow("third") << "2" << 2;
        QTest::newRow("first by default") << "" << 0;
        QTest::newRow("second") << "1" << 1;
    }
    void languageMenu()
    {
        QFETCH(QString, stored);
        QFETCH(int, checked);
        Fixture f;
        f.dir.writeFile("tarveon-config.LNG", "Key\tAlpha\tBeta\tGamma\tSoftware\r\n"
                                              "X1\ta1\tb1\tc1\r\nX14\ta14\tb14\tc14\r\n");
        if (!stored.isEmpty())
            f.setting("Language", stored);
        QVERIFY(f.window->startUp());
        const QList<QAction *> entries = f.window->findChildren<QAction *>("mnuCISel");
        QCOMPARE(entries.size(), 3);
        QCOMPARE(entries, f.window->mnuCISel);
        QStringList names;
        for (int i = 0; i < entries.size(); ++i) {
            names << entries[i]->text();
            QVERIFY(entries[i]->isEnabled());
            QCOMPARE(entries[i]->isChecked(), i == checked);
        }
        QCOMPARE(names, (QStringList{"Alpha", "Beta", "Gamma"}));
        QVERIFY(f.window->mnuCIdioma->actions().contains(entries[0]));

        // Choosing another language stores it, says it needs a restart, moves the check mark.
        const int other = (checked + 1) % 3;
        f.prompter.clear();
        entries[other]->trigger();
        QCOMPARE(f.storedSetting("Language"), QString::number(other));
        for (int i = 0; i < entries.size(); ++i)
            QCOMPARE(entries[i]->isChecked(), i == other);
        const auto shown = f.messages();
        QCOMPARE(shown.size(), 1);
        QCOMPARE(shown[0].kind, RecordingPrompter::Record::MsgBox);
        QCOMPARE(shown[0].text, f.ctx->GetText("X14"));
        // Texts stay as loaded until the next start.
        QCOMPARE(f.ctx->GetText("X1"), checked == 0 ? QString("a1") : checked == 1 ? QString("b1") : QString("c1"));
    }

    void secondInstanceRefused()
    {
        Fixture first;
        QVERIFY(first.window->startUp());

        // A second program from the same directory ends at once, silently.
        RecordingPrompter prompter;
        AppContext ctx(first.dir.path(), "tarveon-config", &prompter);
        MDITarveon second(ctx);
        int listShown = 0;
        second.showProjectList = [&] { ++listShown; };
        QVERIFY(!second.startUp());
        QVERIFY(prompter.records.isEmpty());
        QVERIFY(!second.isVisible());
        QCOMPARE(listShown, 0);
        QVERIFY(ctx.ProtocolNames[47].isEmpty());

        // Another program directory is another installation.
        Fixture other;
        QVERIFY(other.window->startUp());

        // Once the first one is gone, the directory is free again.
        first.window.reset();
        MDITarveon third(ctx);
        third.showProjectList = [] {};
        QVERIFY(third.startUp());
    }

    void languageFileMissingEndsStartUp()
    {
        Fixture f(false);
        QVERIFY(!f.window->startUp());
        QCOMPARE(f.projectListShown, 0);
        QVERIFY(!f.window->isVisible());
        const auto shown = f.messages();
        QCOMPARE(shown.size(), 2);
        QVERIFY(shown[0].text.startsWith("File not found. "));
        QVERIFY(shown[1].text.startsWith("Error or File not found. "));
        // Nothing after the language load ran: no directory check.
        QVERIFY(f.ctx->PathTemplates.isEmpty());
    }

    void captions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("key"); // text key, or "=" and a literal
        QTest::newRow("mnuArchivo") << "mnuArchivo" << "X48";
        QTest::newRow("mnuASalir") << "mnuASalir" << "X49";
        QTest::newRow("mnuVer") << "mnuVer" << "X56";
        QTest::newRow("mnuVDatos") << "mnuVDatos" << "X54";
        QTest::newRow("mnuVProtocolos") << "mnuVProtocolos" << "=&Bus";
        QTest::newRow("mnuVQuil230") << "mnuVQuil230" << "=EIB...";
        QTest::newRow("mnuVPExterno") << "mnuVPExterno" << "X58";
        QTest::newRow("mnuConfiguracion") << "mnuConfiguracion" << "X52";
        QTest::newRow("mnuCConexion") << "mnuCConexion" << "X50";
        QTest::newRow("mnuCIdioma") << "mnuCIdioma" << "X51";
        QTest::newRow("mnuCProtocolo") << "mnuCProtocolo" << "=Korvane Gateway...";
        QTest::newRow("mnuVentanas") << "mnuVentanas" << "X55";
        QTest::newRow("mnuVMosaico") << "mnuVMosaico" << "X57";
        QTest::newRow("mnuVCascada") << "mnuVCascada" << "X53";
        QTest::newRow("mnuAyuda") << "mnuAyuda" << "=&?";
        QTest::newRow("mnuAcercade") << "mnuAcercade" << "X47";
    }
    void captions()
    {
        QFETCH(QString, name);
        QFETCH(QString, key);
        Fixture f;
        QVERIFY(f.window->startUp());
        QAction *action = f.find(name);
        QVERIFY(action);
        QCOMPARE(action->text(), key.startsWith('=') ? key.mid(1) : f.ctx->GetText(key));
    }

    void composedCaptions()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        QCOMPARE(f.find("mnuAProject")->text(), "&" + f.ctx->GetText("X86") + "s...");
        QCOMPARE(f.find("mnuDocs")->text(), f.ctx->GetText("X109") + "...");
        QCOMPARE(f.window->cmdEnviar->text(), f.ctx->GetText("X16"));
        QCOMPARE(f.window->cmdSendFileTarveon->text(), f.ctx->GetText("X18"));
        QCOMPARE(f.window->windowTitle(), kAppTitle);
        QCOMPARE(f.find<QStatusBar>("stsBar"), f.window->stsBar);
        QCOMPARE(f.window->stsBarPanels.size(), 3);
        QCOMPARE(f.window->stsBarPanels[0]->toolTip(), f.ctx->GetText("X86"));
        QCOMPARE(f.window->stsBarPanels[1]->toolTip(), QString("Gateway"));
        QCOMPARE(f.window->stsBarPanels[2]->toolTip(), f.ctx->GetText("X25"));
        // The menu tree as the user walks it.
        QVERIFY(f.window->mnuArchivo->actions().contains(f.find("mnuAProject")));
        QVERIFY(f.window->mnuVer->actions().contains(f.window->mnuVProtocolos->menuAction()));
        QVERIFY(f.window->mnuVProtocolos->actions().contains(f.find("mnuVPExterno")));
        QVERIFY(f.window->mnuConfiguracion->actions().contains(f.window->mnuCIdioma->menuAction()));
        QVERIFY(f.window->mnuAyuda->actions().contains(f.find("mnuAcercade")));
        for (const char *separator : {"mnuSep1", "mnuSep2", "mnuSep3", "mnuSepHelp"})
            QVERIFY(f.find(separator) && f.find(separator)->isSeparator());
    }

    void toolStrip()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        QVERIFY(f.find<QToolBar>("picTarveon")->isVisible());
        auto *online = f.find<QPushButton>("chkOnline");
        QVERIFY(online->isCheckable());
        QVERIFY(!online->isChecked());
        QCOMPARE(online->text(), QString("Off Line"));
        QVERIFY(!f.find<QProgressBar>("ProgressBar1")->isVisible());
        QVERIFY(!f.find<QWidget>("shpTransfer1")->isVisible());
        QVERIFY(!f.find<QWidget>("shpTransfer2")->isVisible());
        QVERIFY(f.find<QLabel>("imgLogo")->isVisible());
        QCOMPARE(f.find<QComboBox>("cboFichero")->count(), 0);
        auto *commands = f.find<QComboBox>("cboCmd");
        QStringList items;
        for (int i = 0; i < commands->count(); ++i)
            items << commands->itemText(i);
        QCOMPARE(items, (QStringList{"BUSINTALL", "BUSINTTX", "BUSINTRX", "BUSINTOFF", "BUSEXTALL", "BUSEXTTX",
                                     "BUSEXTRX", "BUSEXTOFF", "RESET~", "HELP", "INFO?", "OFCHANGES", "ONCHANGES",
                                     "DEBUG=0", "DEBUG=1", "DEBUG=2", "GP:00/0/000?", "GP:00/0/000=0.0"}));
        QVERIFY(commands->isEditable());
    }

    void configurationEditorByProtocol_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("indoor units") << "ZTR001-PACKAGED" << QList<int>{70};
        QTest::newRow("hand-edited in lower case") << "ztr001-packaged" << QList<int>{70};
        QTest::newRow("chillers") << "ZTR001-CHILLER" << QList<int>{71};
        QTest::newRow("known, no editor") << "EIB" << QList<int>{};
        QTest::newRow("unknown protocol") << "ZTR999" << QList<int>{};
    }
    void configurationEditorByProtocol()
    {
        QFETCH(QString, protocol);
        QFETCH(QList<int>, codes);
        Fixture f;
        f.openProject("P", protocol, "");
        QVERIFY(f.window->startUp());
        QCOMPARE(f.enabled("mnuCProtocolo"), !codes.isEmpty()); // never a menu entry that does nothing
        f.find("mnuCProtocolo")->trigger();
        QCOMPARE(f.editorCodes, codes);
    }

    void portDialogFromMenu()
    {
        Fixture f;
        f.openProject("P", "ZTR001-PACKAGED", "");
        QVERIFY(f.window->startUp());
        QVERIFY(f.enabled("mnuCConexion"));
        f.find("mnuCConexion")->trigger();
        QCOMPARE(f.portDialogShown, 1);
    }

    void monitors()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        QMdiArea *area = f.window->mdiArea;
        QCOMPARE(area->subWindowList().size(), 1);

        f.find("mnuVQuil230")->trigger();
        QWidget *eib = f.window->eibMonitor(false);
        QVERIFY(eib);
        QCOMPARE(eib->objectName(), QString("fTestEIB"));
        QCOMPARE(area->activeSubWindow(), f.window->subWindowOf(eib));

        // A second call brings the same window forward, normal again after being minimised.
        f.window->subWindowOf(eib)->showMinimized();
        f.find("mnuVPExterno")->trigger();
        QCOMPARE(f.window->extMonitor(false)->objectName(), QString("fTestExterno"));
        f.window->ShowMonitor(47);
        QCOMPARE(f.window->eibMonitor(false), eib);
        QVERIFY(!f.window->subWindowOf(eib)->isMinimized());
        QCOMPARE(area->activeSubWindow(), f.window->subWindowOf(eib));
        QCOMPARE(area->subWindowList().size(), 3);

        // Closing discards the window; the next call makes a new one.
        f.window->subWindowOf(eib)->close();
        QTRY_VERIFY(!f.window->eibMonitor(false));
        f.window->ShowMonitor(47);
        QVERIFY(f.window->eibMonitor(false));
        QCOMPARE(area->subWindowList().size(), 3);
    }

    void showChildFormStates()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        QWidget *monitor = f.window->gatewayMonitor(false);
        QMdiSubWindow *frame = f.window->subWindowOf(monitor);
        f.window->ShowChildForm(monitor, 2);
        QVERIFY(frame->isMaximized());
        f.window->ShowChildForm(monitor, 0); // 0 keeps a maximised window as it is
        QVERIFY(frame->isMaximized());
        f.window->ShowChildForm(monitor, 1);
        QVERIFY(frame->isMinimized());
        f.window->ShowChildForm(monitor, 0);
        QVERIFY(!frame->isMinimized());
        frame->hide();
        f.window->ShowChildForm(monitor, 0);
        QVERIFY(frame->isVisible());
    }

    void signalViewer()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        QVERIFY(!f.ctx->ViewerOpen);
        f.window->mnuVDatos_Click();
        QVERIFY(f.ctx->ViewerOpen);
        QWidget *viewer = f.window->signalViewer(false);
        QVERIFY(viewer);
        QCOMPARE(f.window->mdiArea->activeSubWindow(), f.window->subWindowOf(viewer));
    }

    void tileSideBySide()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        f.window->ShowMonitor(47);
        f.window->ShowMonitor(100);
        f.find("mnuVMosaico")->trigger();
        const QRect area = f.window->mdiArea->viewport()->rect();
        QList<QRect> rects;
        for (QMdiSubWindow *w : f.window->mdiArea->subWindowList(QMdiArea::CreationOrder))
            rects << w->geometry();
        QCOMPARE(rects.size(), 3);
        int right = area.left();
        for (const QRect &r : rects) {
            QCOMPARE(r.top(), area.top());
            QCOMPARE(r.height(), area.height());
            QCOMPARE(r.left(), right);
            right = r.right() + 1;
        }
        QCOMPARE(right, area.right() + 1);

        f.find("mnuVCascada")->trigger();
        const auto windows = f.window->mdiArea->subWindowList(QMdiArea::StackingOrder);
        QVERIFY(windows[0]->geometry().topLeft() != windows[1]->geometry().topLeft());
    }

    void windowMenuListsChildren()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        f.window->ShowMonitor(47);
        QMetaObject::invokeMethod(f.window->mnuVentanas, "aboutToShow");
        QStringList titles;
        for (QAction *a : f.window->mnuVentanas->actions())
            titles << a->text();
        QVERIFY(titles.filter(f.ctx->GetText("A21")).size() == 1);
        QVERIFY(titles.filter("Bus EIB").size() == 1);
        // Shown twice: listed once each.
        QMetaObject::invokeMethod(f.window->mnuVentanas, "aboutToShow");
        QCOMPARE(f.window->mnuVentanas->actions().size(), titles.size());
    }

    void documentationFolder()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        QVERIFY(QDir().mkpath(f.dir.filePath("DocsZDM")));
        f.find("mnuDocs")->trigger();
        QCOMPARE(f.openedUrls, QList<QUrl>{QUrl::fromLocalFile(f.dir.path() + "/DocsZDM")});
        // A browser that fails is not reported.
        f.window->openUrl = [](const QUrl &) { return false; };
        f.prompter.clear();
        f.find("mnuDocs")->trigger();
        QCOMPARE(f.messages().size(), 0);
    }

    void documentationFolderThatIsNoFolder_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("missing") << "missing";
        QTest::newRow("an executable file") << "program";
        QTest::newRow("a link to a program") << "link";
    }
    void documentationFolderThatIsNoFolder()
    {
        // Only a folder is handed to the file browser; a program of that name is never opened.
        QFETCH(QString, what);
        Fixture f;
        QVERIFY(f.window->startUp());
        const QString docs = f.dir.filePath("DocsZDM");
        if (what != "missing") {
            const QString program = what == "link" ? f.dir.filePath("program.sh") : docs;
            QFile file(program);
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write("#!/bin/sh\ntouch \"$0.ran\"\n");
            file.close();
            QVERIFY(file.setPermissions(file.permissions() | QFileDevice::ExeOwner | QFileDevice::ExeUser));
            if (what == "link")
                QVERIFY(QFile::link(program, docs));
        }
        f.prompter.clear();
        f.find("mnuDocs")->trigger();
        QCOMPARE(f.openedUrls, QList<QUrl>{});
        QCOMPARE(f.messages().size(), 0);
    }

    void aboutFromHelpMenu()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        QString caption;
        QTimer::singleShot(0, [&] {
            auto *about = qobject_cast<frmAbout *>(QApplication::activeModalWidget());
            QVERIFY(about);
            caption = about->windowTitle();
            QTest::mouseClick(about->cmdOK, Qt::LeftButton);
        });
        f.find("mnuAcercade")->trigger();
        QCOMPARE(caption, f.ctx->GetText("X11") + kAppTitle);
    }

    void onlineSwitchWithoutGatewayStaysOff()
    {
        Fixture f;
        f.openProject("P", "ZTR001-PACKAGED", "");
        QVERIFY(f.window->startUp());
        f.prompter.clear();
        QTest::mouseClick(f.window->chkOnline, Qt::LeftButton);
        QVERIFY(!f.port->isOpen());
        QVERIFY(!f.prompter.records.isEmpty());
        QVERIFY(f.prompter.records.first().text.startsWith(f.ctx->GetText("X29")));
        QVERIFY(!f.window->chkOnline->isChecked());
        QCOMPARE(f.window->chkOnline->text(), QString("Off Line"));
        QVERIFY(f.enabled("mnuAProject"));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
