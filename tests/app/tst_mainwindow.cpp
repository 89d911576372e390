// The main window as its user meets it: start-up, menus and captions, the child windows, the link's
// tool strip over an in-memory port (clicks and keys on the focused widget), and the port dialog.
#include "FakeSerialPort.h"
#include "TestSupport.h"
#include "app/IniFile.h"
#include "app/ui/MDITarveon.h"
#include "link/SerialLink.h"
#include "link/ui/fConfPort.h"

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
#include <QUrl>
#include <QtTest>

using namespace tarveon;

namespace {

// A program directory with the shipped language file under the program's name and the templates;
// the project list and the editor are recorded instead of shown, the file browser never runs.
struct Fixture {
    explicit Fixture(bool withResources = true) : dir(withResources)
    {
        QFile::copy(dir.filePath("RESOURCES.LNG"), dir.filePath("tarveon-config.LNG"));
        ctx = std::make_unique<AppContext>(dir.path(), QStringLiteral("tarveon-config"), &prompter);
        window = std::make_unique<MDITarveon>(*ctx, nullptr, port);
        window->showProjectList = [this] { onProjectList ? onProjectList() : void(); };
        window->showConfigEditor = [this](int code) { editorCodes << code; };
        window->openUrl = [this](const QUrl &url) { return openedUrls << url, false; };
    }
    void setting(const QString &key, const QString &value) { QVERIFY(IniFile(ini()).write("X103", key, value)); }
    QString stored(const QString &key) const { return IniFile(ini()).read("X103", key, "<missing>"); }
    QString ini() const { return dir.filePath("tarveon-config.ini"); }
    void openProject(const QString &protocol)
    {
        onProjectList = [=, this] {
            ctx->ProjectName = "Plant";
            ctx->ProjectProtocol = protocol;
            ctx->ProjectDescription = "Roof";
            ctx->ProtocolFamily = "ZTR001";
            ctx->ProjectDir = dir.filePath("ProjectsZDM/Plant");
        };
    }
    QAction *action(const QString &name) const { return window->findChild<QAction *>(name); }
    bool enabled(const QString &name) const { return action(name)->isEnabled(); }
    QString T(const char *key) const { return ctx->GetText(QLatin1String(key)); }
    // Clicks a field (the line of an editable combo box) and types into whatever has the focus then.
    static void type(QWidget *w, const QString &text, Qt::Key key = Qt::Key_unknown, Qt::KeyboardModifiers mod = {})
    {
        auto *combo = qobject_cast<QComboBox *>(w);
        w->window()->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(w->window()));
        QTest::mouseClick(combo && combo->lineEdit() ? combo->lineEdit() : w, Qt::LeftButton);
        QTest::keyClicks(QApplication::focusWidget(), text);
        if (key != Qt::Key_unknown)
            QTest::keyClick(QApplication::focusWidget(), key, mod);
    }

    test::TempProgramDir dir;
    RecordingPrompter prompter;
    std::unique_ptr<AppContext> ctx;
    FakeSerialPort *port = new FakeSerialPort; // owned by the window's link
    std::unique_ptr<MDITarveon> window;
    std::function<void()> onProjectList;
    QList<int> editorCodes;
    QList<QUrl> openedUrls;
};

} // namespace

class TestMainWindow : public QObject {
    Q_OBJECT
private slots:
    void startUp_data()
    {
        QTest::addColumn<QString>("templates"); // setting PathTemplates, below the program directory
        QTest::addColumn<QString>("protocol");  // of the project opened in the list; "" none
        QTest::addColumn<QList<int>>("editor"); // what the editor menu opens
        QTest::newRow("nothing set, no project") << "" << "" << QList<int>{};
        QTest::newRow("templates missing, chillers") << "nowhere" << "ZTR001-CHILLER" << QList<int>{71};
        QTest::newRow("indoor units") << "" << "ZTR001-PACKAGED" << QList<int>{70};
        QTest::newRow("hand-edited in lower case") << "" << "ztr001-packaged" << QList<int>{70};
        QTest::newRow("a protocol without editor") << "" << "EIB" << QList<int>{};
    }
    void startUp()
    {
        QFETCH(QString, templates);
        QFETCH(QString, protocol);
        QFETCH(QList<int>, editor);
        Fixture f;
        const QString tpl = f.dir.filePath(templates.isEmpty() ? "TemplatesZDM" : templates);
        f.setting("LastProject", "Old");
        if (!templates.isEmpty())
            f.setting("PathTemplates", tpl);
        if (!protocol.isEmpty())
            f.openProject(protocol);
        // What the project list finds: everything before it in the sequence is done.
        QStringList seen;
        f.onProjectList = [&, list = f.onProjectList] {
            const QRect monitor = f.window->subWindowOf(f.window->gatewayMonitor(false))->geometry();
            seen << QString::number(f.window->isVisible()) << f.ctx->ProjectName << f.ctx->ProtocolNames[47]
                 << QString("%1,%2 %3x%4").arg(monitor.x()).arg(monitor.y()).arg(monitor.width()).arg(monitor.height())
                 << QString::number(f.window->Timer1->interval() * f.window->Timer1->isActive())
                 << QString::number(f.enabled("mnuVer") + f.enabled("mnuCConexion") + f.enabled("mnuCProtocolo"))
                 << QString::number(f.prompter.records.size());
            if (list)
                list();
        };
        QVERIFY(f.window->startUp());
        // The gateway monitor at 0, 0, 7000 x 4000 twips: 467 x 267 pixels.
        QCOMPARE(seen, (QStringList{"1", "Old", "EIB", "0,0 467x267", "1000", "0", templates.isEmpty() ? "0" : "2"}));
        QCOMPARE(f.ctx->PathTemplates, tpl);
        QCOMPARE(f.ctx->PathProjects, f.dir.filePath("ProjectsZDM"));
        const QStringList messages{f.T("X99") + "\r" + tpl, "Error path Templates\r" + tpl};
        QCOMPARE(f.prompter.texts(), templates.isEmpty() ? QStringList{} : messages);
        const bool open = !protocol.isEmpty();
        QStringList panels;
        for (QLabel *panel : f.window->stsBarPanels)
            panels << panel->text();
        QCOMPARE(panels.join('|'), open ? "Plant|" + protocol + "|Roof" : "||");
        QCOMPARE(f.window->chkOnline->isEnabled() + f.enabled("mnuCConexion"), 2 * open);
        QCOMPARE(f.enabled("mnuCProtocolo"), !editor.isEmpty()); // never a menu entry that does nothing
        QCOMPARE(f.action("mnuVPExterno")->text(), open ? QString("TR-BAS-HUB...") : f.T("X58"));
        f.action("mnuCProtocolo")->trigger();
        QCOMPARE(f.editorCodes, editor);
        // The project list again: the gateway monitor's log file is closed before it opens.
        auto *log = f.window->gatewayMonitor(false)->findChild<QCheckBox *>("chkLog");
        log->setChecked(true);
        f.onProjectList = [&] { QVERIFY(!log->isChecked()); };
        f.action("mnuAProject")->trigger();
        f.action("mnuASalir")->trigger();
        QVERIFY(!f.window->isVisible());
        QCOMPARE(f.stored("LastProject"), QString(open ? "Plant" : "Old"));
        QVERIFY(!QFileInfo::exists(f.dir.filePath("ProjectsZDM"))); // start-up creates no directory
    }

    void captions()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        QString about;
        QTimer::singleShot(0, [&] {
            about = QApplication::activeModalWidget()->windowTitle();
            QApplication::activeModalWidget()->close();
        });
        f.action("mnuAcercade")->trigger();
        QFile file(TARVEON_SOURCE_DIR "/tests/data/app/mainwindow-captions.txt");
        QVERIFY(file.open(QIODevice::ReadOnly));
        for (const QString &line : QString::fromUtf8(file.readAll()).split('\n', Qt::SkipEmptyParts)) {
            if (line.startsWith('#'))
                continue;
            const QString name = line.section(' ', 0, 0);
            QString text = line.section(' ', 1);
            for (const char *key : {"X11", "X16", "X18", "X25", "X47", "X48", "X49", "X50", "X51", "X52", "X53", "X54",
                                    "X55", "X56", "X57", "X58", "X86", "X109"})
                text.replace(QString("{%1}").arg(key), f.T(key));
            QWidget *widget = name == "MDITarveon" ? f.window.get() : f.window->findChild<QWidget *>(name);
            auto *button = qobject_cast<QPushButton *>(widget);
            QCOMPARE(name == "frmAbout" ? about
                     : f.action(name)   ? f.action(name)->text()
                     : button           ? button->text()
                                        : (text.startsWith("tip ") ? "tip " + widget->toolTip() : widget->windowTitle()),
                     text);
        }
    }

    void languageMenu()
    {
        Fixture f;
        f.dir.writeFile("tarveon-config.LNG", "Key\tAlpha\tBeta\tGamma\tSoftware\r\nX1\ta1\tb1\tc1\r\nX14\tnext\tnext\tnext\r\n");
        f.setting("Language", "2");
        QVERIFY(f.window->startUp());
        QStringList shown;
        for (QAction *entry : f.window->mnuCISel)
            shown << entry->text() + (entry->isChecked() ? "*" : "");
        QCOMPARE(shown, (QStringList{"Alpha", "Beta", "Gamma*"}));
        f.prompter.clear(); // the keys this language file lacks
        f.window->mnuCISel[0]->trigger();
        QCOMPARE(f.stored("Language"), QString("0"));
        QVERIFY(f.window->mnuCISel[0]->isChecked() && !f.window->mnuCISel[2]->isChecked());
        QCOMPARE(f.prompter.texts(), QStringList{"next"});
        QCOMPARE(f.T("X1"), QString("c1")); // until the next start
    }

    void secondProgramOrNoLanguageFile()
    {
        Fixture first;
        QVERIFY(first.window->startUp());
        RecordingPrompter prompter;
        AppContext ctx(first.dir.path(), "tarveon-config", &prompter);
        MDITarveon second(ctx);
        second.showProjectList = [] { QFAIL("the second program went on"); };
        QVERIFY(!second.startUp() && prompter.records.isEmpty() && !second.isVisible());
        first.window.reset();
        MDITarveon third(ctx);
        third.showProjectList = [] {};
        QVERIFY(third.startUp());

        Fixture bare(false);
        bare.onProjectList = [] { QFAIL("went on without texts"); };
        QVERIFY(!bare.window->startUp());
        QCOMPARE(bare.prompter.records.size(), 2);
        QVERIFY(bare.ctx->PathTemplates.isEmpty()); // nothing after the language load ran
    }

    void childWindows()
    {
        Fixture f;
        QVERIFY(f.window->startUp());
        QMdiArea *area = f.window->mdiArea;
        f.action("mnuVQuil230")->trigger();
        QWidget *eib = f.window->eibMonitor(false);
        QMdiSubWindow *frame = f.window->subWindowOf(eib);
        // Brought forward again, normal after being minimised; a maximised one stays so.
        frame->showMinimized();
        f.action("mnuVPExterno")->trigger();
        f.window->ShowMonitor(47);
        QVERIFY(!frame->isMinimized() && area->activeSubWindow() == frame && eib->objectName() == "fTestEIB");
        QCOMPARE(f.window->extMonitor(false)->objectName(), QString("fTestExterno"));
        f.window->ShowChildForm(eib, 2);
        f.window->ShowChildForm(eib, 0);
        QVERIFY(frame->isMaximized());
        // Listed in the window menu, once each however often it opens.
        for (int i = 0; i < 2; ++i)
            QMetaObject::invokeMethod(f.window->mnuVentanas, "aboutToShow");
        QCOMPARE(f.window->mnuVentanas->actions().size(), 2 + 1 + 3);
        // Side by side over the whole width, one after another; then a cascade.
        f.action("mnuVMosaico")->trigger();
        int right = 0;
        for (QMdiSubWindow *w : area->subWindowList(QMdiArea::CreationOrder))
            QCOMPARE(w->geometry(), QRect(std::exchange(right, right + w->width()), 0, w->width(), area->viewport()->height()));
        QCOMPARE(right, area->viewport()->width());
        f.action("mnuVCascada")->trigger();
        QVERIFY(area->subWindowList()[0]->pos() != area->subWindowList()[1]->pos());
        // Closing discards a window; the next use makes a new one.
        frame->close();
        QTRY_VERIFY(!f.window->eibMonitor(false));
        f.window->mnuVDatos_Click();
        QVERIFY(f.window->link().viewerOpen());
        QCOMPARE(area->activeSubWindow(), f.window->subWindowOf(f.window->signalViewer(false)));
    }

    // Only a folder is handed to the file browser; a program of that name is never opened.
    void documentation()
    {
        for (const QString what : {"folder", "missing", "program", "link to a program"}) {
            Fixture f;
            QVERIFY(f.window->startUp());
            const QString docs = f.dir.filePath("DocsZDM"), program = what == "program" ? docs : f.dir.filePath("x.sh");
            if (what == "folder")
                QDir().mkpath(docs);
            else if (what != "missing")
                f.dir.writeFile(QFileInfo(program).fileName(), "#!/bin/sh\ntouch \"$0.ran\"\n");
            QFile::setPermissions(program, QFile::permissions(program) | QFileDevice::ExeOwner);
            QVERIFY(what != "link to a program" || QFile::link(program, docs));
            f.action("mnuDocs")->trigger();
            QCOMPARE(f.openedUrls, what == "folder" ? QList<QUrl>{QUrl::fromLocalFile(docs)} : QList<QUrl>{});
            QVERIFY2(f.prompter.records.isEmpty(), qPrintable(what)); // the browser failed: no message
        }
    }

    // The link's strip as the user works it: on line, a command typed and sent with Enter or the
    // keypad's Enter, an upload during which nothing else can be sent, off line again.
    void linkStrip()
    {
        Fixture f;
        f.openProject("ZTR001-CHILLER");
        QVERIFY(f.window->startUp());
        MDITarveon &w = *f.window;
        f.dir.writeFile("ProjectsZDM/Plant/ZTR001-CHILLER.zdm", QByteArray(300, 'z'));
        QTest::mouseClick(w.chkOnline, Qt::LeftButton);
        QVERIFY(w.chkOnline->isChecked() && w.chkOnline->styleSheet().contains("rgb(0, 255, 0)") && !f.enabled("mnuAProject"));
        QCOMPARE(w.chkOnline->text(), QString("On Line"));
        w.Timer1_Timer();
        Fixture::type(w.cboCmd, "HELP", Qt::Key_Return); // not yet: the gateway has not answered
        f.port->receive("Protocol:ZTR001.V2\r\n");
        QVERIFY(w.cmdEnviar->isEnabled() && w.cmdSendFileTarveon->isEnabled() && f.enabled("mnuVer"));
        QCOMPARE(w.cboFichero->currentText(), QString("ZTR001-CHILLER.ZDM"));
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_A, Qt::ControlModifier);
        QTest::keyClicks(QApplication::focusWidget(), " DEBUG=1 ");
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Enter, Qt::KeypadModifier);
        QTest::mouseClick(w.cmdEnviar, Qt::LeftButton);
        QCOMPARE(f.port->written, QByteArray("INFO?\rONCHANGES\rHELP\rDEBUG=1\rDEBUG=1\r"));

        f.port->written.clear();
        f.prompter.msgBoxAnswers = {1};
        QTest::mouseClick(w.cmdSendFileTarveon, Qt::LeftButton);
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
        QVERIFY(!w.chkOnline->isChecked() && w.chkOnline->styleSheet().isEmpty() && w.cboFichero->count() == 0);
        QVERIFY(!w.cmdEnviar->isEnabled() && !w.cmdSendFileTarveon->isEnabled() && !f.enabled("mnuVer") && f.enabled("mnuAProject"));
    }

    // The port dialog from its menu. Choosing a number uses it; a device from the command line is
    // kept out of the settings file unless typed here; nothing can be applied while on line.
    void portDialog_data()
    {
        QTest::addColumn<QString>("before");  // settings Com|Settings|Device, and --port
        QTest::addColumn<QString>("actions"); // com N, baud N, device PATH, online, cancel
        QTest::addColumn<QString>("shown");   // COM entry|baud|device as the dialog opens
        QTest::addColumn<QString>("after");   // settings Com|Settings|Device afterwards, and what opens
        QTest::newRow("stored parity and bits") << "2|9600,e,7,2||" << "" << "COM 2|9600|" << "2|9600,n,8,1||/dev/ttyS1";
        QTest::newRow("last port") << "|||" << "com 16" << "COM 1|57600|" << "16|57600,n,8,1||/dev/ttyS15";
        QTest::newRow("number over a device") << "3||/dev/ttyUSB0|" << "com 5" << "COM 3|57600|/dev/ttyUSB0"
                                              << "5|57600,n,8,1||/dev/ttyS4";
        QTest::newRow("one-off device") << "3||/dev/ttyUSB0|/dev/pts/9" << "baud 115200" << "COM 3|57600|/dev/pts/9"
                                        << "3|115200,n,8,1|/dev/ttyUSB0|/dev/pts/9";
        QTest::newRow("device typed") << "|||/dev/pts/9" << "device /dev/ttyACM0" << "COM 1|57600|/dev/pts/9"
                                      << "1|57600,n,8,1|/dev/ttyACM0|/dev/ttyACM0";
        QTest::newRow("on line") << "4|||" << "online" << "COM 4|57600|" << "4|<missing>|<missing>|";
        QTest::newRow("cancelled") << "|||" << "com 7 cancel" << "COM 1|57600|" << "<missing>|<missing>|<missing>|";
    }
    void portDialog()
    {
        QFETCH(QString, before);
        QFETCH(QString, actions);
        QFETCH(QString, shown);
        QFETCH(QString, after);
        Fixture f;
        const QStringList keys{"Com", "Settings", "Device"};
        for (int i = 0; i < 3; ++i)
            if (!before.section('|', i, i).isEmpty())
                f.setting(keys[i], before.section('|', i, i));
        f.openProject("ZTR001-CHILLER");
        QVERIFY(f.window->startUp());
        if (!before.section('|', 3).isEmpty())
            f.window->link().configurePort(resolvePortChoice({"tarveon-config", "--port", before.section('|', 3)}, *f.ctx));
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
                Fixture::type(actions.startsWith("baud") ? static_cast<QWidget *>(d->cboBaud) : d->txtDevice, "",
                              Qt::Key_A, Qt::ControlModifier);
                QTest::keyClicks(QApplication::focusWidget(), what);
            }
            QCOMPARE(d->cmdAceptar->isEnabled(), actions != "online");
            QTest::mouseClick(actions.endsWith("cancel") ? d->cmdSalir : d->cmdAceptar, Qt::LeftButton);
            if (d->isVisible()) // OK did nothing while disabled
                QTest::mouseClick(d->cmdSalir, Qt::LeftButton);
        });
        f.action("mnuCConexion")->trigger();
        QCOMPARE(opened, shown);
        QCOMPARE(f.stored("Com") + '|' + f.stored("Settings") + '|' + f.stored("Device"), after.section('|', 0, 2));
        if (after.endsWith('|'))
            return;
        f.port->failOpen = true;
        QTest::mouseClick(f.window->chkOnline, Qt::LeftButton);
        QCOMPARE(f.port->portName(), after.section('|', 3)); // the link opens what was chosen
    }
};

QTEST_MAIN(TestMainWindow)
#include "tst_mainwindow.moc"
