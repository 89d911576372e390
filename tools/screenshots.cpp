// Takes the manual's pictures from the real windows of the tool.
//
// usage: tarveon_screenshots PROGRAM_DIR OUT_DIR SUFFIX --port DEVICE
//
// PROGRAM_DIR is a scratch program directory (language file, templates, a "Demo" project and a
// settings file naming it as the last project); the gateway (tarveon-sim) listens on DEVICE.
// The program walks through the tool as an installer would: project list, File > Export, configuration
// editor (both pages, generate), port dialog, on line with the monitors and the signal viewer,
// upload; in the editor also the address tools (filter, fill, apply plan, the ETS address book).
// Each picture is written as OUT_DIR/<name><SUFFIX>.png. Run it under a real X server
// (xvfb-run): scripts/make-screenshots.sh does all of it.
#include "app/AppContext.h"
#include "app/Version.h"
#include "app/ui/AppIcon.h"
#include "app/ui/MDITarveon.h"
#include "app/ui/WidgetPrompter.h"
#include "link/SerialLink.h"
#include "editor/ui/EditorMenus.h"
#include "editor/ui/PlanDialog.h"
#include "editor/ui/SignalGridPage.h"
#include "editor/ui/SignalGridView.h"
#include "editor/ui/fConfKorvaneEIB.h"
#include "tools/AddressPlanCore.h"
#include "tools/ui/fProject.h"
#include "tools/ui/fVerDatosZDM.h"

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QDialog>
#include <QDir>
#include <QElapsedTimer>
#include <QMdiArea>
#include <QMenu>
#include <QMenuBar>
#include <QMdiSubWindow>
#include <QPainter>
#include <QPointer>
#include <QProgressBar>
#include <QPushButton>
#include <QTabWidget>
#include <QTextStream>
#include <QThread>
#include <QTimer>
#include <QTreeWidget>
#include <QKeyEvent>
#include <QUndoStack>
#include <cstdlib>
#include <functional>

using namespace tarveon;

namespace {

QString g_outDir;
QString g_suffix;
int g_failures = 0;

void fail(const QString &what)
{
    QTextStream(stderr) << "tarveon_screenshots: " << what << '\n';
    ++g_failures;
}

// Lets the windows lay themselves out and paint.
void settle(int ms = 300)
{
    QElapsedTimer clock;
    clock.start();
    while (clock.elapsed() < ms) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
}

bool waitFor(const std::function<bool()> &done, int ms)
{
    QElapsedTimer clock;
    clock.start();
    while (!done()) {
        if (clock.elapsed() > ms)
            return false;
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        QThread::msleep(10);
    }
    return true;
}

constexpr int kCaptionHeight = 26;

// The window as the user sees it: there is no window manager under Xvfb, so the title bar
// (icon and caption) is drawn here above the window's own picture.
QPixmap framed(QWidget *w)
{
    const QPixmap body = w->grab();
    const qreal dpr = body.devicePixelRatio();
    const QSize size(int(body.width() / dpr) + 2, int(body.height() / dpr) + kCaptionHeight + 1);
    QPixmap out(size * dpr);
    out.setDevicePixelRatio(dpr);
    out.fill(QColor(0x5a, 0x6b, 0x7d));
    QPainter p(&out);
    QLinearGradient bar(0, 0, 0, kCaptionHeight);
    bar.setColorAt(0, QColor(0x3f, 0x6f, 0xa3));
    bar.setColorAt(1, QColor(0x2c, 0x55, 0x82));
    p.fillRect(QRect(0, 0, size.width(), kCaptionHeight), bar);
    p.drawPixmap(QRect(6, 5, 16, 16), appIcon().pixmap(16, 16));
    QFont font = w->font();
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(QRect(28, 0, size.width() - 34, kCaptionHeight), Qt::AlignVCenter | Qt::AlignLeft,
               w->windowTitle());
    p.drawPixmap(1, kCaptionHeight, body);
    return out;
}

void save(const QPixmap &pixmap, const QString &name)
{
    const QString path = g_outDir + QLatin1Char('/') + name + g_suffix + QStringLiteral(".png");
    if (!pixmap.save(path, "PNG"))
        fail(QStringLiteral("cannot write ") + path);
    else
        QTextStream(stdout) << path << '\n';
}

// The main window with a dialog over it, where the dialog stands.
QPixmap mainWithDialog(QWidget *main, QWidget *dialog)
{
    QPixmap out = framed(main);
    QPainter p(&out);
    const QPoint at = dialog->frameGeometry().topLeft() - main->frameGeometry().topLeft();
    p.drawPixmap(at + QPoint(1, kCaptionHeight / 2), framed(dialog));
    return out;
}

// Runs step once the modal window name is up. The caller then opens it and blocks in its loop;
// the wait polls from the event loop and never blocks it, so a window closing meanwhile can
// finish closing.
void whenModal(const char *name, std::function<void(QWidget *)> step)
{
    auto *poll = new QTimer;
    auto *clock = new QElapsedTimer;
    clock->start();
    poll->setInterval(50);
    QObject::connect(poll, &QTimer::timeout, [poll, clock, name, step = std::move(step)] {
        QWidget *w = QApplication::activeModalWidget();
        const bool found = w && w->objectName() == QLatin1String(name) && w->isVisible();
        if (!found && clock->elapsed() < 10000)
            return;
        poll->stop();
        poll->deleteLater();
        delete clock;
        if (!found) {
            fail(QStringLiteral("window %1 did not open").arg(QLatin1String(name)));
            return;
        }
        settle();
        step(w);
    });
    poll->start();
}

// Presses button number k (1..3) of the next message dialog; before runs first (a picture),
// after once the button is pressed (the next step).
void answerMessage(int k, std::function<void(QWidget *)> before = {}, std::function<void()> after = {})
{
    whenModal("fMsgBox", [k, before = std::move(before), after = std::move(after)](QWidget *box) {
        if (before)
            before(box);
        bool pressed = false;
        const QList<QPushButton *> buttons = box->findChildren<QPushButton *>(QStringLiteral("cmd"));
        for (QPushButton *b : buttons) {
            if (b->property("index").toInt() == k - 1 && b->isVisible()) {
                b->click();
                pressed = true;
                break;
            }
        }
        if (!pressed)
            fail(QStringLiteral("message dialog without button %1").arg(k));
        if (after)
            after();
    });
}

void click(QWidget *parent, const char *name)
{
    if (auto *b = parent->findChild<QAbstractButton *>(QLatin1String(name)))
        b->click();
    else
        fail(QStringLiteral("no button %1").arg(QLatin1String(name)));
}

// The editor's address tools on the demo: the filter finding a unit by name, the Addresses menu,
// the fill and apply-plan dialogs, the ETS names offered while an address is typed. Everything is
// undone afterwards, so that the accept saves the demo as it was.
void addressTools(fConfKorvaneEIB *editor, const QString &programDir)
{
    SignalGridPage *page = editor->gridPage;
    EditorSession &session = editor->session();
    const QString name = session.deviceName(2);
    page->txtFilter->setFocus();
    page->txtFilter->setText(name);
    settle(400);
    save(framed(editor), QStringLiteral("plan-filter"));
    page->txtFilter->clear();
    settle();

    // The Addresses menu, drawn over the window as it opens.
    const int fan = session.table().findRow(1, 2);
    page->goToCell({fan, kColAddress});
    editor->menus->menuBar->setActiveAction(editor->menus->mnuAddresses->menuAction());
    settle();
    if (editor->menus->mnuAddresses->isVisible()) {
        QPixmap out = framed(editor);
        QPainter p(&out);
        p.drawPixmap(editor->menus->mnuAddresses->mapToGlobal(QPoint(0, 0)) - editor->mapToGlobal(QPoint(0, 0))
                         + QPoint(1, kCaptionHeight),
                     editor->menus->mnuAddresses->grab());
        p.end();
        save(out, QStringLiteral("plan-menu"));
    } else {
        fail(QStringLiteral("the Addresses menu did not open"));
    }
    editor->menus->mnuAddresses->close();
    editor->menus->menuBar->setActiveAction(nullptr);
    settle();

    // Fan speed of the three units on 1/2/1 .. 1/2/3.
    editor->menus->fill();
    settle();
    if (auto *fill = qobject_cast<fFillAddresses *>(editor->menus->dialog.data())) {
        fill->txtStart->setText(QStringLiteral("1/2/1"));
        settle();
        save(mainWithDialog(editor, fill), QStringLiteral("plan-fill"));
        fill->cmdAceptar->click();
        settle();
    } else {
        fail(QStringLiteral("the fill dialog did not open"));
    }
    editor->menus->applyPlan();
    settle();
    if (auto *plan = qobject_cast<fApplyPlan *>(editor->menus->dialog.data())) {
        save(mainWithDialog(editor, plan), QStringLiteral("plan-apply"));
        plan->cmdCancelar->click();
        settle();
    } else {
        fail(QStringLiteral("the apply-plan dialog did not open"));
    }

    // An ETS export with the names of the demo's setpoints, then "Room" typed into a Group cell.
    const QString ets = programDir + QStringLiteral("/ets-export.csv");
    QFile file(ets);
    if (file.open(QIODevice::WriteOnly)) {
        QByteArray bytes = "\"Group name\";\"Address\";\"Central\";\"Unfiltered\";\"Description\";\"DatapointType\"\r\n";
        for (int d = 1; d <= 3; ++d) {
            const QByteArray n = QByteArray::number(d);
            const QByteArray room = session.deviceName(d).toUtf8();
            bytes += "\"" + room + " On/Off\";\"" + n + "/0/" + n + "\";\"\";\"\";\"\";\"DPST-1-1\"\r\n";
            bytes += "\"" + room + " Setpoint\";\"" + n + "/3/" + n + "\";\"\";\"\";\"\";\"DPST-9-1\"\r\n";
        }
        file.write(bytes);
        file.close();
    }
    editor->menus->chooseFile = [ets](const QString &, const QString &, const QString &, bool) { return ets; };
    answerMessage(1);
    editor->menus->importEts();
    settle();
    const int mode = session.table().findRow(3, 2);
    page->goToCell({mode, kColAddress});
    editor->grid->setFocus();
    settle();
    // As typed: the first key starts the cell's edit, the others go into it.
    for (const QChar c : session.deviceName(1).left(4)) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(QApplication::focusWidget(), &press);
        QApplication::processEvents();
    }
    settle(500);
    if (QWidget *popup = QApplication::activePopupWidget()) {
        QPixmap out = framed(editor);
        QPainter p(&out);
        p.drawPixmap(popup->mapToGlobal(QPoint(0, 0)) - editor->mapToGlobal(QPoint(0, 0)) + QPoint(1, kCaptionHeight),
                     popup->grab());
        p.end();
        save(out, QStringLiteral("plan-ets"));
        popup->hide();
    } else {
        fail(QStringLiteral("no addresses were offered"));
    }
    QKeyEvent escape(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    QApplication::sendEvent(QApplication::focusWidget(), &escape);
    settle();
    editor->menus->undoStack->setIndex(0);
    settle();
}

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName(kAppTitle);
    app.setWindowIcon(appIcon());
    const QStringList args = app.arguments();
    if (args.size() < 4) {
        QTextStream(stderr) << "usage: tarveon_screenshots PROGRAM_DIR OUT_DIR SUFFIX --port DEVICE\n";
        return 2;
    }
    const QString programDir = QDir(args[1]).absolutePath();
    g_outDir = args[2];
    g_suffix = args[3];
    QDir().mkpath(g_outDir);

    WidgetPrompter prompter;
    AppContext ctx(programDir, QStringLiteral("tarveon-config"), &prompter);
    prompter.setContext(&ctx);
    MDITarveon window(ctx);
    prompter.setParent(&window);
    window.move(0, 0);
    // A window that never opens must not keep the script waiting.
    QTimer::singleShot(180000, [] {
        fail(QStringLiteral("timed out"));
        std::_Exit(1);
    });

    // 1. The project list at start-up, with the demo project preselected; then open it.
    whenModal("fProject", [&](QWidget *list) {
        save(mainWithDialog(&window, list), QStringLiteral("projects"));
        click(list, "cmdSelec");
    });
    if (!window.startUp()) {
        fail(QStringLiteral("the tool did not start"));
        return 1;
    }
    settle();
    if (ctx.ProjectName.isEmpty())
        fail(QStringLiteral("no project was opened"));

    // 1b. File > Export, open over the main window.
    {
        window.menuBar()->setActiveAction(window.mnuArchivo->menuAction());
        settle();
        auto *exportMenu = window.findChild<QMenu *>(QStringLiteral("mnuAExport"));
        if (exportMenu && window.mnuArchivo->isVisible()) {
            const QRect entry = window.mnuArchivo->actionGeometry(exportMenu->menuAction());
            window.mnuArchivo->setActiveAction(exportMenu->menuAction());
            exportMenu->popup(window.mnuArchivo->mapToGlobal(entry.topRight()));
            settle();
            QPixmap out = framed(&window);
            QPainter p(&out);
            for (QMenu *menu : {window.mnuArchivo, exportMenu})
                p.drawPixmap(menu->mapToGlobal(QPoint(0, 0)) - window.mapToGlobal(QPoint(0, 0))
                                 + QPoint(1, kCaptionHeight),
                             menu->grab());
            p.end();
            save(out, QStringLiteral("export-menu"));
            exportMenu->close();
        } else {
            fail(QStringLiteral("the File menu did not open"));
        }
        window.mnuArchivo->close();
        settle();
    }

    // 2. The configuration editor: settings page, signal grid, and generating.
    whenModal("fConfKorvaneEIB", [&](QWidget *editor) {
        save(framed(editor), QStringLiteral("editor-settings"));
        auto *tabs = editor->findChild<QTabWidget *>(QStringLiteral("TabStrip1"));
        if (tabs)
            tabs->setCurrentIndex(1);
        settle(600);
        save(framed(editor), QStringLiteral("editor-signals"));
        if (auto *configEditor = qobject_cast<fConfKorvaneEIB *>(editor))
            addressTools(configEditor, programDir);
        if (tabs)
            tabs->setCurrentIndex(0);
        settle();
        // OK: the check passes, the save question, the generate question and the report all run
        // inside the click. Saving also stores the table in the language of the run.
        answerMessage(1, {}, [] {
            answerMessage(1, {}, [] {
                answerMessage(1, [](QWidget *report) { save(framed(report), QStringLiteral("generate-report")); });
            });
        });
        QPointer<QWidget> open = editor;
        click(editor, "cmdAceptar");
        settle();
        // The editor stays open after accepting; it closes as it is.
        if (open)
            static_cast<QDialog *>(open.data())->done(0);
    });
    window.mnuCProtocolo->trigger();
    settle();

    // 3. The port dialog.
    whenModal("fConfPort", [&](QWidget *dialog) {
        save(mainWithDialog(&window, dialog), QStringLiteral("port-dialog"));
        click(dialog, "cmdSalir");
    });
    window.mnuCConexion->trigger();
    settle();

    // 4. On line: the gateway identifies itself. The frame grows so that three monitors side by
    // side show their controls whole.
    window.resize(1270, 830);
    settle();
    window.chkOnline->click();
    if (!waitFor([&] { return window.link().state() == LinkState::OnLine; }, 15000))
        fail(QStringLiteral("the gateway did not come on line"));
    settle(500);

    // 5. The monitors with their bus reports on, and the signal viewer polling.
    window.ShowMonitor(47);
    window.ShowMonitor(100);
    // They open with their bus report on; make sure of it.
    for (QWidget *monitor : {window.gatewayMonitor(false), window.eibMonitor(false), window.extMonitor(false)}) {
        if (auto *bus = monitor ? monitor->findChild<QCheckBox *>(QStringLiteral("chkBus")) : nullptr; bus && !bus->isChecked())
            bus->click();
    }
    window.mnuVMosaico_Click();
    settle(3500);
    save(framed(&window), QStringLiteral("monitors"));

    // The EIB monitor alone: frames with their names and decoded values, then its statistics.
    if (QWidget *eib = window.eibMonitor(false)) {
        if (QMdiSubWindow *frame = window.subWindowOf(eib)) {
            frame->showMaximized();
            settle(1500);
            save(framed(&window), QStringLiteral("eib-monitor"));
        }
        if (auto *stats = eib->findChild<QPushButton *>(QStringLiteral("cmdEstadisticas"))) {
            stats->click();
            settle(500);
            if (auto *dialog = eib->findChild<QDialog *>(QStringLiteral("fEstadisticasEIB"))) {
                save(framed(dialog), QStringLiteral("eib-statistics"));
                dialog->close();
            }
        }
        if (QMdiSubWindow *frame = window.subWindowOf(eib))
            frame->showNormal();
        window.mnuVMosaico_Click();
        settle();
    }

    window.mnuVDatos->trigger();
    settle(300);
    if (QWidget *viewer = window.signalViewer(false)) {
        click(viewer, "cmdRefrescar");
        settle(3000);
        if (QMdiSubWindow *frame = window.subWindowOf(viewer)) {
            frame->showMaximized();
            settle(1500);
        }
        save(framed(&window), QStringLiteral("signal-viewer"));
        // "Write value…" on the first unit's mode (row 3 of the demo).
        whenModal("fWriteValue", [&](QWidget *dialog) {
            save(mainWithDialog(&window, dialog), QStringLiteral("viewer-write"));
            static_cast<QDialog *>(dialog)->reject();
        });
        QTimer::singleShot(0, viewer, [viewer] { static_cast<fVerDatosZDM *>(viewer)->writeValueDialog(3); });
        settle(800);
        if (QMdiSubWindow *frame = window.subWindowOf(viewer))
            frame->close();
        settle();
    } else {
        fail(QStringLiteral("the signal viewer did not open"));
    }

    // 6. Upload: the question, then the exchange in the gateway monitor.
    window.mnuVMosaico_Click();
    answerMessage(1, [&](QWidget *box) { save(mainWithDialog(&window, box), QStringLiteral("upload-question")); });
    window.cmdSendFileTarveon->click();
    waitFor([&] { return window.link().state() == LinkState::OnLine && !window.ProgressBar1->isVisible(); }, 20000);
    settle(1500);
    if (auto *gatewayMonitor = window.gatewayMonitor(false)) {
        if (QMdiSubWindow *frame = window.subWindowOf(gatewayMonitor)) {
            frame->showMaximized();
            settle(500);
        }
    }
    save(framed(&window), QStringLiteral("upload"));

    // Off line and out; the scratch settings file takes the last project.
    window.chkOnline->click();
    settle();
    window.close();
    settle();
    return g_failures == 0 ? 0 : 1;
}
