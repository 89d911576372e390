// The main window as its user meets it: start-up, menus and captions, the child windows, the link's
// tool strip over an in-memory port (clicks and keys on the focused widget), and the port dialog.
#include "FakeSerialPort.h"
#include "TestSupport.h"
#include "app/IniFile.h"
#include "app/WindowLayout.h"
#include "app/ui/MDITarveon.h"
#include "link/SerialLink.h"
#include "link/ui/fConfPort.h"
#include "tools/ui/frmAbout.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMenu>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QToolBar>
#include <QUrl>
#include <QtTest>

using namespace tarveon;

namespace {

// A program directory with the shipped language file under the program's name and the templates;
// the project list, the editor and the file browser are recorded instead of shown.
struct Fixture {
    explicit Fixture(bool withResources = true) : dir(withResources)
    {
        if (withResources)
            QFile::copy(dir.filePath("RESOURCES.LNG"), dir.filePath("tarveon-config.LNG"));
        ctx = std::make_unique<AppContext>(dir.path(), QStringLiteral("tarveon-config"), &prompter);
        window = std::make_unique<MDITarveon>(*ctx, nullptr, port);
        window->showProjectList = [this] {
            ++projectListShown;
            if (onProjectList)
                onProjectList();
        };
        window->showConfigEditor = [this](int code) { editorCodes << code; };
        window->openUrl = [this](const QUrl &url) { return openedUrls << url, true; };
    }
    void setting(const QString &key, const QString &value) { QVERIFY(IniFile(ini()).write("X103", key, value)); }
    QString stored(const QString &key) const { return IniFile(ini()).read("X103", key, "<missing>"); }
    QString ini() const { return dir.filePath("tarveon-config.ini"); }
    void openProject(const QString &name, const QString &protocol)
    {
        onProjectList = [=, this] {
            ctx->ProjectName = name;
            ctx->ProjectProtocol = protocol;
            ctx->ProjectDescription = "Roof";
            ctx->ProtocolFamily = "ZTR001";
            ctx->ProjectDir = dir.filePath("ProjectsZDM/" + name);
        };
    }
    QAction *action(const QString &name) const { return window->findChild<QAction *>(name); }
    bool enabled(const QString &name) const { return action(name) && action(name)->isEnabled(); }
    QString T(const char *key) const { return ctx->GetText(QLatin1String(key)); }
    // Clicks a widget and hands the keys to whatever then has the focus.
    static void type(QWidget *w, const QString &text, Qt::Key key = Qt::Key_unknown,
                     Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        auto *combo = qobject_cast<QComboBox *>(w);
        w->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w->window()));
        QTest::mouseClick(combo && combo->lineEdit() ? combo->lineEdit() : w, Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), text);
        if (key != Qt::Key_unknown)
            QTest::keyClick(QApplication::focusWidget(), key, modifiers);
    }

    test::TempProgramDir dir;
    RecordingPrompter prompter;
    std::unique_ptr<AppContext> ctx;
    FakeSerialPort *port = new FakeSerialPort; // owned by the window's link
    std::unique_ptr<MDITarveon> window;
    std::function<void()> onProjectList;
    int projectListShown = 0;
    QList<int> editorCodes;
    QList<QUrl> openedUrls;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    // What the project list finds when it opens: everything before it in the sequence is done.
    void startUpOrder()
    {
        Fixture f;
        f.setting("LastProject", "Alpha");
        QStringList seen;
        f.onProjectList = [&] {
            QWidget *monitor = f.window->gatewayMonitor(false);
            seen << QString::number(f.window->isVisible()) << f.ctx->ProjectName << f.ctx->ProtocolNames[47]
                 << QString::number(monitor ? f.window->subWindowOf(monitor)->geometry().height() : 0)
                 << QString::number(f.window->Timer1->isActive() ? f.window->Timer1->interval() : 0)
                 << QString::number(f.enabled("mnuVer") || f.enabled("mnuCConexion") || f.enabled("mnuCProtocolo"));
        };
        QVERIFY(f.window->startUp());
        // The gateway monitor at 0, 0, 7000 x 4000 twips: 467 x 267 pixels.
        QCOMPARE(seen, (QStringList{"1", "Alpha", "EIB", "267", "1000", "0"}));
        QCOMPARE(f.window->subWindowOf(f.window->gatewayMonitor(false))->geometry(), QRect(0, 0, 467, 267));
        QVERIFY(f.prompter.records.isEmpty());
        QVERIFY(!QFileInfo::exists(f.dir.filePath("ProjectsZDM"))); // nothing created
    }

    void pathSettings_data()
    {
        QTest::addColumn<QString>("templates"); // below the program directory; "" = no setting
        QTest::addColumn<QString>("projects");
        QTest::addColumn<bool>("makeTemplates");
        QTest::newRow("defaults") << "" << "" << true;
        QTest::newRow("both set, templates present") << "tpl" << "prj" << true;
        QTest::newRow("templates set but missing") << "nowhere" << "" << false;
        QTest::newRow("default templates dir missing") << "" << "" << false;
    }
    void pathSettings()
    {
        QFETCH(QString, templates);
        QFETCH(QString, projects);
        QFETCH(bool, makeTemplates);
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
        QVERIFY(f.window->startUp());
        QCOMPARE(QDir::cleanPath(f.ctx->PathTemplates), QDir::cleanPath(templatesPath));
        QCOMPARE(QDir::cleanPath(f.ctx->PathProjects), QDir::cleanPath(projectsPath));
        QCOMPARE(f.projectListShown, 1);
        QStringList expected;
        if (!makeTemplates)
            expected << f.T("X99") + "\r" + templatesPath << "Error path Templates\r" + templatesPath;
        QCOMPARE(f.prompter.texts(), expected);
        for (const auto &r : f.prompter.records)
            QVERIFY(r.kind == RecordingPrompter::Record::PlatformBox && r.icon == int(BoxKind::Critical) && r.title == kAppTitle);
    }

    void projectList_data()
    {
        QTest::addColumn<QString>("protocol"); // of the project opened; "" = none opened
        QTest::addColumn<QString>("panels");
        QTest::addColumn<QString>("lastProject"); // stored at exit
        QTest::newRow("none opened") << "" << "||" << "Old";
        QTest::newRow("chillers") << "ZTR001-CHILLER" << "Plant|ZTR001-CHILLER|Roof" << "Plant";
    }
    void projectList()
    {
        QFETCH(QString, protocol);
        QFETCH(QString, panels);
        QFETCH(QString, lastProject);
        Fixture f;
        f.setting("LastProject", "Old");
        if (!protocol.isEmpty())
            f.openProject("Plant", protocol);
        QVERIFY(f.window->startUp());
        QStringList shown;
        for (QLabel *panel : f.window->stsBarPanels)
            shown << panel->text();
        QCOMPARE(shown.join('|'), panels);
        const bool open = !protocol.isEmpty();
        QCOMPARE(f.window->chkOnline->isEnabled(), open);
        QCOMPARE(f.enabled("mnuCConexion") && f.enabled("mnuCProtocolo"), open);
        QCOMPARE(f.action("mnuVPExterno")->text(), open ? QString("TR-BAS-HUB...") : f.T("X58"));
        QVERIFY(!f.enabled("mnuVer") && !f.window->cmdEnviar->isEnabled() && !f.window->cmdSendFileTarveon->isEnabled());
        // The project list again: the gateway monitor's log file is closed before it opens.
        auto *log = f.window->gatewayMonitor(false)->findChild<QCheckBox *>("chkLog");
        log->setChecked(true);
        f.onProjectList = [&] { QVERIFY(!log->isChecked()); };
        f.action("mnuAProject")->trigger();
        f.action("mnuASalir")->trigger();
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.stored("LastProject"), lastProject);
    }

    void languageMenu_data()
    {
        QTest::addColumn<QString>("stored");
        QTest::addColumn<int>("checked");
        QTest::newRow("first by default") << "" << 0;
        QTest::newRow("third") << "2" << 2;
    }
    void languageMenu()
    {
        QFETCH(QString, stored);
        QFETCH(int, checked);
        Fixture f;
        f.dir.writeFile("tarveon-config.LNG", "Key\tAlpha\tBeta\tGamma\tSoftware\r\nX1\ta1\tb1\tc1\r\nX14\ta14\tb14\tc14\r\n");
        if (!stored.isEmpty())
            f.setting("Language", stored);
        QVERIFY(f.window->startUp());
        const QList<QAction *> &entries = f.window->mnuCISel;
        QStringList names;
        for (int i = 0; i < entries.size(); ++i) {
            names << entries[i]->text();
            QCOMPARE(entries[i]->isChecked(), i == checked);
        }
        QCOMPARE(names, (QStringList{"Alpha", "Beta", "Gamma"}));
        // Another language is stored and takes effect at the next start.
        f.prompter.clear();
        entries[(checked + 1) % 3]->trigger();
        QCOMPARE(f.stored("Language"), QString::number((checked + 1) % 3));
        QVERIFY(entries[(checked + 1) % 3]->isChecked() && !entries[checked]->isChecked());
        QCOMPARE(f.prompter.texts(), QStringList{f.T("X14")});
        QCOMPARE(f.T("X1"), QString(QChar('a' + checked)) + "1");
    }

    void secondProgramOrNoLanguageFile()
    {
        Fixture first;
        QVERIFY(first.window->startUp());
        RecordingPrompter prompter;
        AppContext ctx(first.dir.path(), "tarveon-config", &prompter);
        MDITarveon second(ctx);
        second.showProjectList = [] { QFAIL("the second program went on"); };
        QVERIFY(!second.startUp());
        QVERIFY(prompter.records.isEmpty() && !second.isVisible());
        first.window.reset();
        MDITarveon third(ctx);
        third.showProjectList = [] {};
        QVERIFY(third.startUp());

        Fixture bare(false);
        QVERIFY(!bare.window->startUp());
        QCOMPARE(bare.projectListShown, 0);
        QCOMPARE(bare.prompter.records.size(), 2);
        QVERIFY(bare.ctx->PathTemplates.isEmpty()); // nothing after the language load ran
    }

    void captions_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("text"); // {KEY} is the text of a key
        const QStringList rows{"mnuArchivo={X48}", "mnuAProject=&{X86}s...", "mnuASalir={X49}", "mnuVer={X56}",
                               "mnuVDatos={X54}", "mnuVProtocolos=&Bus", "mnuVQuil230=EIB...", "mnuVPExterno={X58}",
                               "mnuConfiguracion={X52}", "mnuCConexion={X50}", "mnuCIdioma={X51}",
                               "mnuCProtocolo=Korvane Gateway...", "mnuVentanas={X55}", "mnuVMosaico={X57}",
                               "mnuVCascada={X53}", "mnuAyuda=&?", "mnuDocs={X109}...", "mnuAcercade={X47}",
                               "cmdEnviar={X16}", "cmdSendFileTarveon={X18}", "chkOnline=Off Line",
                               "stsBarPanel1=tip {X86}", "stsBarPanel2=tip Gateway", "stsBarPanel3=tip {X25}"};
        for (const QString &row : rows)
            QTest::newRow(qPrintable(row.section('=', 0, 0))) << row.section('=', 0, 0) << row.section('=', 1);
    }
    void captions()
    {
        QFETCH(QString, name);
        QFETCH(QString, text);
        Fixture f;
        QVERIFY(f.window->startUp());
        for (const char *key : {"X16", "X18", "X25", "X47", "X48", "X49", "X50", "X51", "X52", "X53", "X54", "X55",
                                "X56", "X57", "X58", "X86", "X109"})
            text.replace(QString("{%1}").arg(key), f.T(key));
        QWidget *widget = f.window->findChild<QWidget *>(name);
        const QString found = f.action(name)    ? f.action(name)->text()
                              : text.startsWith("tip ") ? "tip " + widget->toolTip()
                                                        : qobject_cast<QPushButton *>(widget)->text();
        QCOMPARE(found, text);
        QCOMPARE(f.window->windowTitle(), kAppTitle);
    }

    void configurationEditor_data()
    {
        QTest::addColumn<QString>("protocol");
        QTest::addColumn<QList<int>>("codes");
        QTest::newRow("indoor units") << "ZTR001-PACKAGED" << QList<int>{70};
        QTest::newRow("chillers") << "ZTR001-CHILLER" << QList<int>{71};
        QTest::newRow("known, no editor") << "EIB" << QList<int>{};
        QTest::newRow("unknown protocol") << "ZTR999" << QList<int>{};
    }
    void configurationEditor()
    {
        QFETCH(QString, protocol);
        QFETCH(QList<int>, codes);
        Fixture f;
        f.openProject("P", protocol);
        QVERIFY(f.window->startUp());
        f.action("mnuCProtocolo")->trigger();
        QCOMPARE(f.editorCodes, codes);
    }

    void childWindows()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        QMdiArea *area = f.window->mdiArea;
        f.action("mnuVQuil230")->trigger();
        QWidget *eib = f.window->eibMonitor(false);
        QCOMPARE(eib->objectName(), QString("fTestEIB"));
        // Brought forward again, normal after being minimised; a maximised one stays so.
        f.window->subWindowOf(eib)->showMinimized();
        f.action("mnuVPExterno")->trigger();
        QCOMPARE(f.window->extMonitor(false)->objectName(), QString("fTestExterno"));
        f.window->ShowMonitor(47);
        QVERIFY(!f.window->subWindowOf(eib)->isMinimized());
        QCOMPARE(area->activeSubWindow(), f.window->subWindowOf(eib));
        f.window->ShowChildForm(eib, 2);
        f.window->ShowChildForm(eib, 0);
        QVERIFY(f.window->subWindowOf(eib)->isMaximized());
        // Listed in the window menu, once each however often it opens.
        for (int i = 0; i < 2; ++i)
            QMetaObject::invokeMethod(f.window->mnuVentanas, "aboutToShow");
        QStringList titles;
        for (QAction *a : f.window->mnuVentanas->actions())
            titles << a->text();
        QCOMPARE(titles.filter(QRegularExpression("^&\\d ")).size(), 3);
        // Side by side: the whole width, one after another; then a cascade.
        f.action("mnuVMosaico")->trigger();
        int right = area->viewport()->rect().left();
        for (QMdiSubWindow *w : area->subWindowList(QMdiArea::CreationOrder)) {
            QCOMPARE(w->geometry().left(), right);
            QCOMPARE(w->geometry().height(), area->viewport()->height());
            right = w->geometry().right() + 1;
        }
        QCOMPARE(right, area->viewport()->rect().right() + 1);
        f.action("mnuVCascada")->trigger();
        const auto windows = area->subWindowList(QMdiArea::StackingOrder);
        QVERIFY(windows[0]->geometry().topLeft() != windows[1]->geometry().topLeft());
        // Closing discards a window; the next use makes a new one.
        f.window->subWindowOf(eib)->close();
        QTRY_VERIFY(!f.window->eibMonitor(false));
        f.window->mnuVDatos_Click();
        QVERIFY(f.window->link().viewerOpen());
        QCOMPARE(area->activeSubWindow(), f.window->subWindowOf(f.window->signalViewer(false)));
    }

    // Only a folder is handed to the file browser; a program of that name is never opened.
    void documentation_data()
    {
        QTest::addColumn<QString>("what");
        QTest::newRow("folder") << "folder";
        QTest::newRow("missing") << "missing";
        QTest::newRow("an executable file") << "program";
        QTest::newRow("a link to a program") << "link";
    }
    void documentation()
    {
        QFETCH(QString, what);
        Fixture f;
        QVERIFY(f.window->startUp());
        const QString docs = f.dir.filePath("DocsZDM");
        if (what == "folder")
            QDir().mkpath(docs);
        if (what == "program" || what == "link") {
            const QString program = what == "link" ? f.dir.filePath("program.sh") : docs;
            f.dir.writeFile(QDir(f.dir.path()).relativeFilePath(program), "#!/bin/sh\ntouch \"$0.ran\"\n");
            QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
            if (what == "link")
                QVERIFY(QFile::link(program, docs));
        }
        f.window->openUrl = [&](const QUrl &url) { return f.openedUrls << url, false; }; // fails silently
        f.action("mnuDocs")->trigger();
        QCOMPARE(f.openedUrls, what == "folder" ? QList<QUrl>{QUrl::fromLocalFile(docs)} : QList<QUrl>{});
        QVERIFY(f.prompter.records.isEmpty());
    }

    void about()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        QString caption;
        QTimer::singleShot(0, [&] {
            auto *about = qobject_cast<frmAbout *>(QApplication::activeModalWidget());
            caption = about->windowTitle();
            QTest::mouseClick(about->cmdOK, Qt::LeftButton);
        });
        f.action("mnuAcercade")->trigger();
        QCOMPARE(caption, f.T("X11") + kAppTitle);
    }

    // The link's strip as the user works it: on line, a command typed and sent with Enter or the
    // keypad's Enter, an upload during which nothing else can be sent, off line again.
    void linkStrip()
    {
        Fixture f;
        f.openProject("Plant", "ZTR001-CHILLER");
        QVERIFY(f.window->startUp());
        MDITarveon &w = *f.window;
        f.dir.writeFile("ProjectsZDM/Plant/ZTR001-CHILLER.zdm", QByteArray(300, 'z'));
        QTest::mouseClick(w.chkOnline, Qt::LeftButton);
        QVERIFY(w.chkOnline->isChecked() && w.chkOnline->styleSheet().contains("rgb(0, 255, 0)"));
        QCOMPARE(w.chkOnline->text(), QString("On Line"));
        QVERIFY(!f.enabled("mnuAProject"));
        w.Timer1_Timer();
        Fixture::type(w.cboCmd, "HELP", Qt::Key_Return); // not yet: the gateway has not answered
        f.port->receive("Protocol:ZTR001.V2\r\n");
        QVERIFY(w.cmdEnviar->isEnabled() && w.cmdSendFileTarveon->isEnabled() && f.enabled("mnuVer"));
        QCOMPARE(w.cboFichero->currentText(), QString("ZTR001-CHILLER.ZDM"));
        QCOMPARE(f.port->written, QByteArray("INFO?\rONCHANGES\r"));
        f.port->written.clear();
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), " DEBUG=1 ");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QTest::mouseClick(w.cmdEnviar, Qt::LeftButton);
        QCOMPARE(f.port->written, QByteArray("HELP\rDEBUG=1\rDEBUG=1\r"));

        f.port->written.clear();
        f.prompter.msgBoxAnswers = {1};
        QTest::mouseClick(w.cmdSendFileTarveon, Qt::LeftButton);
        QCOMPARE(f.port->written, QByteArray("BUSINTOFF\rBUSEXTOFF\rSEND~300\r"));
        QVERIFY(!w.cmdSendFileTarveon->isEnabled() && !w.cmdEnviar->isEnabled());
        Fixture::type(w.cboCmd, "", Qt::Key_Return);
        f.port->receive("START\r\n");
        QVERIFY(w.ProgressBar1->isVisible() && w.shpTransfer1->isVisible() && w.shpTransfer2->isVisible());
        QCOMPARE(w.ProgressBar1->maximum(), 3343); // 300 / 128 + 1 = 3.34375 in thousandths
        QCOMPARE(w.ProgressBar1->value(), 1000);
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        f.port->receive("Bytes:128\r\n");
        QCOMPARE(w.ProgressBar1->value(), 2000);
        QVERIFY(!w.shpTransfer2->isVisible() && !w.cmdEnviar->isEnabled());
        QCOMPARE(f.port->written, QByteArray("BUSINTOFF\rBUSEXTOFF\rSEND~300\r") + QByteArray(256, 'z'));
        f.port->receive("Bytes:256\r\nSUCCES\r\n");
        QVERIFY(!w.ProgressBar1->isVisible() && !w.shpTransfer1->isVisible() && !QApplication::overrideCursor());
        QVERIFY(w.cmdEnviar->isEnabled() && w.cmdSendFileTarveon->isEnabled());

        QTest::mouseClick(w.chkOnline, Qt::LeftButton);
        QVERIFY(!w.chkOnline->isChecked() && w.chkOnline->styleSheet().isEmpty());
        QVERIFY(!w.cmdEnviar->isEnabled() && !w.cmdSendFileTarveon->isEnabled() && !f.enabled("mnuVer"));
        QVERIFY(w.cboFichero->count() == 0 && f.enabled("mnuAProject"));
        // A port that cannot be opened: the switch goes back, the message names the device.
        w.link().configurePort(PortChoice{1, "/dev/ttyUSB0", "57600,n,8,1"});
        f.port->failOpen = true;
        QTest::mouseClick(w.chkOnline, Qt::LeftButton);
        QVERIFY(!w.chkOnline->isChecked());
        QCOMPARE(f.prompter.texts().last(), f.T("LNK5") + "/dev/ttyUSB0. No such file or directory");
    }

    // The port dialog from its menu. Choosing a number uses it; a device from the command line is
    // kept out of the settings file unless typed here; nothing can be applied while on line.
    void portDialog_data()
    {
        QTest::addColumn<QString>("ini");     // settings Com, Settings, Device before
        QTest::addColumn<QString>("port");    // --port given on the command line
        QTest::addColumn<QString>("actions"); // com N, baud N, device PATH, online, cancel
        QTest::addColumn<QString>("shown");   // COM entry, baud, device as the dialog opens
        QTest::addColumn<QString>("after");   // settings Com, Settings, Device afterwards, and what opens
        QTest::newRow("stored parity and bits") << "2|9600,e,7,2|" << "" << "" << "COM 2|9600|" << "2|9600,n,8,1||/dev/ttyS1";
        QTest::newRow("last port") << "" << "" << "com 16" << "COM 1|57600|" << "16|57600,n,8,1||/dev/ttyS15";
        QTest::newRow("number over a device") << "3||/dev/ttyUSB0" << "" << "com 5" << "COM 3|57600|/dev/ttyUSB0"
                                              << "5|57600,n,8,1||/dev/ttyS4";
        QTest::newRow("one-off device") << "3||/dev/ttyUSB0" << "/dev/pts/9" << "baud 115200" << "COM 3|57600|/dev/pts/9"
                                        << "3|115200,n,8,1|/dev/ttyUSB0|/dev/pts/9";
        QTest::newRow("device typed") << "" << "/dev/pts/9" << "device /dev/ttyACM0" << "COM 1|57600|/dev/pts/9"
                                      << "1|57600,n,8,1|/dev/ttyACM0|/dev/ttyACM0";
        QTest::newRow("on line") << "4||" << "" << "online" << "COM 4|57600|" << "4|<missing>|<missing>|";
        QTest::newRow("cancelled") << "" << "" << "com 7 cancel" << "COM 1|57600|" << "<missing>|<missing>|<missing>|";
    }
    void portDialog()
    {
        QFETCH(QString, ini);
        QFETCH(QString, port);
        QFETCH(QString, actions);
        QFETCH(QString, shown);
        QFETCH(QString, after);
        const QStringList keys{"Com", "Settings", "Device"};
        Fixture f;
        for (int i = 0; i < 3; ++i)
            if (!ini.section('|', i, i).isEmpty())
                f.setting(keys[i], ini.section('|', i, i));
        f.openProject("Plant", "ZTR001-CHILLER");
        QVERIFY(f.window->startUp());
        if (!port.isEmpty())
            f.window->link().configurePort(resolvePortChoice({"tarveon-config", "--port", port}, *f.ctx));
        if (actions == "online")
            QTest::mouseClick(f.window->chkOnline, Qt::LeftButton);
        QString opened;
        QTimer::singleShot(0, [&] {
            auto *d = qobject_cast<fConfPort *>(QApplication::activeModalWidget());
            opened = d->cboCom->currentText() + '|' + d->cboBaud->currentText() + '|' + d->txtDevice->text();
            const QString what = actions.section(' ', 1, 1);
            if (actions.startsWith("com")) {
                QTest::mouseClick(d->cboCom, Qt::LeftButton); // the list opens
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Home);
                for (int i = 1; i < what.toInt(); ++i)
                    QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
                QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
            } else if (actions.startsWith("baud") || actions.startsWith("device")) {
                QWidget *field = actions.startsWith("baud") ? static_cast<QWidget *>(d->cboBaud->lineEdit()) : d->txtDevice;
                Fixture::type(field, "", Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(QApplication::focusWidget(), what);
            }
            QCOMPARE(d->cmdAceptar->isEnabled(), actions != "online");
            if (!actions.endsWith("cancel"))
                QTest::mouseClick(d->cmdAceptar, Qt::LeftButton); // does nothing while disabled
            if (d->isVisible())
                QTest::mouseClick(d->cmdSalir, Qt::LeftButton);
        });
        f.action("mnuCConexion")->trigger();
        QCOMPARE(opened, shown);
        QCOMPARE(f.stored("Com") + '|' + f.stored("Settings") + '|' + f.stored("Device") + '|', after.section('|', 0, 2) + '|');
        if (after.endsWith('|'))
            return;
        // The link opens what was chosen.
        f.port->failOpen = true;
        QTest::mouseClick(f.window->chkOnline, Qt::LeftButton);
        QCOMPARE(f.port->portName(), after.section('|', 3));
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
